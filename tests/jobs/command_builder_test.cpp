#include "jobs/command_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>

#include "base/file_util.h"
#include "base/text.h"
#include "exec/command_line_split.h"
#include "job_test_support.h"
#include "jobs/job_settings.h"
#include "jobs/merge_commands.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"

namespace {

struct CommandCase {
  const char* name;
  std::wstring input;                  // created in the test folder
  std::vector<std::wstring> existing;  // further files created there
  MediaDesc media;
  std::function<void(JobSettings&)> setup;
  std::wstring expected;  // "<dir>" stands for the test folder, "<out>" for its folder "out"
};

MediaDesc Clip() { return MediaBuilder().Video(VCODEC_H264, 1920).Track(ACODEC_AAC, 2, 192).Get(); }
MediaDesc ClipWith(std::function<void(MediaBuilder&)> tracks) {
  MediaBuilder media;
  media.Video(VCODEC_H264, 1920);
  tracks(media);
  return media.Get();
}
void Defaults(JobSettings&) {}

// "<out>" replaced by the output folder "out" of the test folder dir (with "" for dir: the
// name relative to it).
std::wstring ExpandOut(std::wstring text, const std::wstring& dir) {
  const std::wstring mark = L"<out>", out = dir + L"out" + kPathSeparator;
  for (size_t at = text.find(mark); at != std::wstring::npos; at = text.find(mark, at + out.size()))
    text.replace(at, mark.size(), out);
  return text;
}

// Builds case.expected's command from a fresh folder holding the case's files. A setup that
// sets an output folder gets the folder "out" of the test folder.
void CheckCase(const CommandCase& c) {
  SCOPED_TRACE(c.name);
  TempDir dir;
  JobSettings settings;
  c.setup(settings);
  const std::wstring out = dir.Folder(L"out");
  if (!settings.outputFolder.empty()) settings.outputFolder = out;
  dir.Write(c.input);
  for (const std::wstring& name : c.existing) dir.Write(ExpandOut(name, L""));
  FakeProbe probe;
  probe.media = c.media;
  std::wstring cmdSet;
  std::wstring result;
  CRunBuilds builder(settings, cmdSet, probe.Function());
  ASSERT_TRUE(builder.BuildCommand(dir.File(c.input), &result, false));
  EXPECT_EQ(cmdSet, Expand(ExpandOut(c.expected, dir.Path()), dir.Path()));
  EXPECT_EQ(result, cmdSet);
  ASSERT_EQ(probe.probedPaths.size(), 1u);
  EXPECT_EQ(probe.probedPaths[0], dir.File(c.input));
}

TEST(BuildCommand, VideoOptions) {
  const std::vector<CommandCase> cases = {
      {"defaults: H.264 1920 wide, one stereo 192 kb/s track",
       L"clip.mp4",
       {},
       Clip(),
       Defaults,
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"compatibility mode names no decoder",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) { s.gpuCompatMode = true; },
       L"FFMpeg.exe -hwaccel cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  -b:v 3000k    "
       L"-map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"GPU off",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) {
         s.useGpu = false;
         s.gpuCompatMode = true;
       },
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v libx265  -b:v 3000k    -map 0:a:0 -c:a aac "
       L"-b:a 128k   \"<dir>clip_(02).mp4\""},
      {"H.265 input to H.264 on the GPU",
       L"clip.mp4",
       {},
       MediaBuilder().Video(VCODEC_H265, 1280).Track(ACODEC_AAC, 2, 192).Get(),
       [](JobSettings& s) { s.outputCodec = OUT_H264; },
       L"FFMpeg.exe -hwaccel cuvid -c:v hevc_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v h264_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"pixel format, H.265 on the GPU",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) { s.pixelFormatCompat = true; },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc "
       L"-pix_fmt p010le  -b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"pixel format, H.265 without GPU",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) {
         s.pixelFormatCompat = true;
         s.useGpu = false;
       },
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v libx265 -pix_fmt yuv420p  -b:v 3000k    "
       L"-map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"pixel format, H.264 on the GPU",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) {
         s.pixelFormatCompat = true;
         s.outputCodec = OUT_H264;
       },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v h264_nvenc "
       L"-pix_fmt yuv420p  -b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"pixel format, H.264 without GPU",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) {
         s.pixelFormatCompat = true;
         s.outputCodec = OUT_H264;
         s.useGpu = false;
       },
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v libx264 -pix_fmt yuv420p  -b:v 3000k    "
       L"-map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"bit rate and quantiser together",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) { s.useQuantizer = true; },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k -qp 28   -map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"quantiser only",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) {
         s.useVideoBitRate = false;
         s.useQuantizer = true;
         s.quantizer = 30;
       },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc   "
       L"-qp 30   -map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"video copy drops encoder, rates and GPU decoding",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) {
         s.copyVideo = true;
         s.useQuantizer = true;
       },
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v copy     -map 0:a:0 -c:a aac -b:a 128k   "
       L"\"<dir>clip_(02).mp4\""},
      {"1080-line scaling while encoding",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) { s.scale1080 = true; },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k  -vf scale=-1:1080    -map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"video extract of an MKV",
       L"movie.mkv",
       {},
       Clip(),
       [](JobSettings& s) { s.jobKind = JOB_VIDEO_EXTRACT; },
       L"FFMpeg.exe  -y  -i \"<dir>movie.mkv\"   -map 0:v:0  -c:v copy      \"<dir>movie_(02).mp4\""},
      {"video extract with scaling keeps the filter beside the copy",
       L"movie.mkv",
       {},
       Clip(),
       [](JobSettings& s) {
         s.jobKind = JOB_VIDEO_EXTRACT;
         s.scale1080 = true;
       },
       L"FFMpeg.exe  -y  -i \"<dir>movie.mkv\"   -map 0:v:0  -c:v copy   -vf scale=-1:1080     "
       L"\"<dir>movie_(02).mp4\""},
      {"GIF output from H.264 on the GPU",
       L"clip.mp4",
       {},
       MediaBuilder().Video(VCODEC_H264, 1920).Track(ACODEC_AAC, 2, 192).Subtitles(1).Get(),
       [](JobSettings& s) {
         s.outputCodec = OUT_GIF;
         s.containerMkv = true;
       },
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"   -r 10    \"<dir>clip_(02).gif\""},
      {"GIF input converted to H.264",
       L"anim.gif",
       {},
       MediaBuilder().Video(VCODEC_GIF, 160).Track(ACODEC_AAC, 2, 192).Get(),
       [](JobSettings& s) { s.outputCodec = OUT_H264; },
       L"FFMpeg.exe -f gif -y  -i \"<dir>anim.gif\"       \"<dir>anim_(02).mp4\""},
      {"output H.265 of an audio-only input",
       L"song.mp3",
       {},
       MediaBuilder().Track(ACODEC_MP3, 2, 192).Get(),
       Defaults,
       L"FFMpeg.exe  -y  -i \"<dir>song.mp3\"      -map 0:a:0 -c:a aac -b:a 128k   \"<dir>song_(02).mp4\""},
  };
  for (const CommandCase& c : cases) CheckCase(c);
}

TEST(BuildCommand, AudioOptions) {
  const std::vector<CommandCase> cases = {
      {"MP3 output: quality 4 for a rate outside 1 to 9, also for a track without rate",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Track(ACODEC_AAC, 2, 192).Track(ACODEC_AAC, 2, 0); }),
       [](JobSettings& s) { s.outputCodec = OUT_MP3; },
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"      -map 0:a:0 -c:a libmp3lame -q:a 4  -map 0:a:1 -c:a "
       L"libmp3lame -q:a 4   \"<dir>clip_(02).mp3\""},
      {"MP3 output: rate 2 is the quality",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) {
         s.outputCodec = OUT_MP3;
         s.audioBitRate = 2;
       },
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"      -map 0:a:0 -c:a libmp3lame -q:a 2   "
       L"\"<dir>clip_(02).mp3\""},
      {"WAV: a low-rate track keeps the previous track's option",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Track(ACODEC_AAC, 2, 192).Track(ACODEC_AAC, 2, 128); }),
       [](JobSettings& s) { s.outputCodec = OUT_WAV; },
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"      -map 0:a:0 -c:a pcm_s16le -b:a 128k  -map 0:a:1 -c:a "
       L"pcm_s16le -b:a 128k   \"<dir>clip_(02).wav\""},
      {"WAV: a low-rate first track has no option",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Track(ACODEC_AAC, 2, 128).Track(ACODEC_AAC, 2, 192); }),
       [](JobSettings& s) { s.outputCodec = OUT_WAV; },
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"      -map 0:a:0 -c:a pcm_s16le   -map 0:a:1 -c:a pcm_s16le "
       L"-b:a 128k   \"<dir>clip_(02).wav\""},
      {"a low-rate track is copied, and so is every later one",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Track(ACODEC_AAC, 2, 128).Track(ACODEC_AAC, 2, 192); }),
       Defaults,
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a copy   -map 0:a:1 -c:a copy    \"<dir>clip_(02).mp4\""},
      {"forced encoding of a low-rate track",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Track(ACODEC_AAC, 2, 128); }),
       [](JobSettings& s) { s.forceAudioEncode = true; },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"a track without rate is copied",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Track(ACODEC_AAC, 2, 0); }),
       Defaults,
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a copy    \"<dir>clip_(02).mp4\""},
      {"6 channels at 640 kb/s: 60 per channel",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Track(ACODEC_AC3, 6, 640); }),
       Defaults,
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a aac -b:a 360k   \"<dir>clip_(02).mp4\""},
      {"6 channels mixed down to two",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Track(ACODEC_AC3, 6, 640); }),
       [](JobSettings& s) { s.downmixStereo = true; },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k -ac 2   \"<dir>clip_(02).mp4\""},
      // A probed channel count saturates at INT32_MAX; the rate it gives saturates too.
      {"a channel count beyond any rate",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Track(ACODEC_AC3, INT32_MAX, 640); }),
       [](JobSettings& s) { s.forceAudioEncode = true; },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v "
       L"3000k    -map 0:a:0 -c:a aac -b:a 2147483647k   \"<dir>clip_(02).mp4\""},
      {"... also when the tracks collapse into one mapping",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Tracks(7, ACODEC_AC3, INT32_MAX, 640); }),
       [](JobSettings& s) { s.forceAudioEncode = true; },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v "
       L"3000k    -map 0:a -c:a aac -b:a 2147483647k   \"<dir>clip_(02).mp4\""},
      {"mono 96 kb/s counts as two channels and is copied",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Track(ACODEC_AAC, 1, 96); }),
       Defaults,
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a copy    \"<dir>clip_(02).mp4\""},
      {"seven stereo tracks collapse into one mapping",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Tracks(7, ACODEC_AAC, 2, 192); }),
       Defaults,
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"seven 6-channel tracks collapse at the largest channel count",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Tracks(7, ACODEC_AC3, 6, 640); }),
       Defaults,
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a -c:a aac -b:a 360k   \"<dir>clip_(02).mp4\""},
      {"a collapse keeps the down-mix of multi-channel tracks",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Tracks(7, ACODEC_AC3, 6, 640); }),
       [](JobSettings& s) { s.downmixStereo = true; },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a -c:a aac -b:a 128k -ac 2   \"<dir>clip_(02).mp4\""},
      {"seven low-rate tracks collapse as a copy",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Tracks(7, ACODEC_AAC, 2, 128); }),
       Defaults,
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a -c:a copy    \"<dir>clip_(02).mp4\""},
      {"track selection on the first file of a run",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Tracks(3, ACODEC_AAC, 2, 192); }),
       [](JobSettings& s) {
         s.allAudioTracks = false;
         s.selectedAudioTracks = {1, 2};
       },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:1 -c:a aac -b:a 128k  -map 0:a:2 -c:a aac -b:a 128k   "
       L"\"<dir>clip_(02).mp4\""},
      {"the selection does not hold for later files of a run",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Tracks(3, ACODEC_AAC, 2, 192); }),
       [](JobSettings& s) {
         s.allAudioTracks = false;
         s.selectedAudioTracks = {1, 2};
         s.firstFileOfBatch = false;
       },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k  -map 0:a:1 -c:a aac -b:a 128k  -map 0:a:2 -c:a aac "
       L"-b:a 128k   \"<dir>clip_(02).mp4\""},
      {"no row checked on the first file: no audio at all",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Tracks(3, ACODEC_AAC, 2, 192); }),
       [](JobSettings& s) {
         s.allAudioTracks = false;
         s.selectedAudioTracks.clear();
       },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k     \"<dir>clip_(02).mp4\""},
      {"audio copy",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Tracks(2, ACODEC_AC3, 6, 640); }),
       [](JobSettings& s) {
         s.copyAudio = true;
         s.downmixStereo = true;
       },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a copy   -map 0:a:1 -c:a copy    \"<dir>clip_(02).mp4\""},
      {"Vorbis without AAC and container",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) { s.audioAac = false; },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a libvorbis -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"MP3 audio wins over AAC",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) { s.audioMp3 = true; },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a libmp3lame -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"an MKV container selects AAC",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) {
         s.audioAac = false;
         s.containerMkv = true;
       },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mkv\""},
  };
  for (const CommandCase& c : cases) CheckCase(c);
}

TEST(BuildCommand, AudioExtractRangeAndSubtitles) {
  const MediaDesc talk =
      MediaBuilder().Video(VCODEC_H264, 1280).Track(ACODEC_AAC, 2, 192).Track(ACODEC_AC3, 6, 448).Get();
  const std::vector<CommandCase> cases = {
      {"audio extract is named after the first track's codec",
       L"talk.mkv",
       {},
       talk,
       [](JobSettings& s) {
         s.jobKind = JOB_AUDIO_EXTRACT;
         s.allAudioTracks = false;
         s.selectedAudioTracks = {0};
       },
       L"FFMpeg.exe  -y  -i \"<dir>talk.mkv\"      -map 0:a:0 -c:a copy    \"<dir>talk_(02).AAC\""},
      {"audio extract keeps the number of the first naming",
       L"talk.mkv",
       {L"talk_(02).mkv"},
       talk,
       [](JobSettings& s) {
         s.jobKind = JOB_AUDIO_EXTRACT;
         s.allAudioTracks = false;
         s.selectedAudioTracks = {0};
       },
       L"FFMpeg.exe  -y  -i \"<dir>talk.mkv\"      -map 0:a:0 -c:a copy    \"<dir>talk_(03).AAC\""},
      {"audio extract of a codec without a name goes into Matroska audio",
       L"talk.mkv",
       {},
       MediaBuilder().Video(VCODEC_H264, 1280).Track(ACODEC_NONE, 2, 192).Get(),
       [](JobSettings& s) { s.jobKind = JOB_AUDIO_EXTRACT; },
       L"FFMpeg.exe  -y  -i \"<dir>talk.mkv\"      -map 0:a:0 -c:a copy    \"<dir>talk_(02).MKA\""},
      {"range, fast seek",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) {
         s.applyRange = true;
         s.rangeStart = {0, 1, 0};
         s.rangeEnd = {0, 2, 30};
       },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y -ss 0:1:0 -i \"<dir>clip.mp4\"  -t 90 -map 0:v:0  -c:v "
       L"hevc_nvenc  -b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"range, accurate seek",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) {
         s.applyRange = true;
         s.rangeAccurate = true;
         s.rangeStart = {0, 1, 0};
         s.rangeEnd = {0, 2, 30};
       },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\" -ss 0:1:0 -t 90 -map 0:v:0  -c:v "
       L"hevc_nvenc  -b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"range copy, end before start: seek from the start",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) {
         s.applyRange = true;
         s.rangeCopy = true;
         s.rangeStart = {1, 2, 3};
         s.rangeEnd = {0, 0, 0};
       },
       L"FFMpeg.exe  -y -ss 1:2:3 -i \"<dir>clip.mp4\"  -t 3723 -map 0:v:0  -c:v copy     -map 0:a:0 -c:a "
       L"copy    \"<dir>clip_(02).mp4\""},
      {"range of no length",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) {
         s.applyRange = true;
         s.rangeStart = {0, 1, 0};
         s.rangeEnd = {0, 0, 60};
       },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"range not applied",
       L"clip.mp4",
       {},
       Clip(),
       [](JobSettings& s) {
         s.rangeStart = {0, 1, 0};
         s.rangeEnd = {0, 2, 0};
       },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\""},
      {"subtitles into MKV",
       L"movie.mkv",
       {},
       MediaBuilder().Video(VCODEC_H264, 1920).Track(ACODEC_AAC, 2, 192).Subtitles(2).Get(),
       Defaults,
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>movie.mkv\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k  -map 0:s -c:s copy \"<dir>movie_(02).mkv\""},
      {"no subtitles into MP4",
       L"movie.mkv",
       {},
       MediaBuilder().Video(VCODEC_H264, 1920).Track(ACODEC_AAC, 2, 192).Subtitles(2).Get(),
       [](JobSettings& s) { s.containerMp4 = true; },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>movie.mkv\"   -map 0:v:0  -c:v hevc_nvenc  "
       L"-b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k   \"<dir>movie_(02).mp4\""},
      {"an input name ending in a dot gives an empty output",
       L"clip.",
       {},
       Clip(),
       Defaults,
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.\"   -map 0:v:0  -c:v hevc_nvenc  -b:v "
       L"3000k    -map 0:a:0 -c:a aac -b:a 128k   \"\""},
      {"... or the bare container extension",
       L"clip.",
       {},
       Clip(),
       [](JobSettings& s) { s.containerMp4 = true; },
       L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.\"   -map 0:v:0  -c:v hevc_nvenc  -b:v "
       L"3000k    -map 0:a:0 -c:a aac -b:a 128k   \".mp4\""},
  };
  for (const CommandCase& c : cases) CheckCase(c);
}

// Extracted audio goes into a file that holds what it copies: one track into the file of its
// codec's own name where that holds it, several tracks or a track no such file holds into
// Matroska audio; neither holds signed 8-bit PCM, which is encoded.
TEST(BuildCommand, AudioExtractNamesAFileThatHoldsTheTracks) {
  const auto extract = [](std::vector<uint32_t> tracks) {
    return [tracks](JobSettings& s) {
      s.jobKind = JOB_AUDIO_EXTRACT;
      s.allAudioTracks = tracks.empty();
      s.selectedAudioTracks = tracks;
    };
  };
  const struct {
    int32_t codec, bitDepth, sampleFormat;
    const wchar_t* tail;
  } singles[] = {
      {ACODEC_PCM, 16, 0, L"copy    \"<dir>in_(02).WAV\""},
      {ACODEC_PCM, 8, SAMPLE_UNSIGNED, L"copy    \"<dir>in_(02).WAV\""},
      {ACODEC_PCM, 16, SAMPLE_BIG_ENDIAN, L"copy    \"<dir>in_(02).MKA\""},
      {ACODEC_PCM, 8, 0, L"aac -b:a 128k   \"<dir>in_(02).MKA\""},
      {ACODEC_FLAC, 16, 0, L"copy    \"<dir>in_(02).FLAC\""},
      {ACODEC_WMA, 16, 0, L"copy    \"<dir>in_(02).WMA\""},
      {ACODEC_MP2, 0, 0, L"copy    \"<dir>in_(02).MP2\""},
  };
  for (const auto& one : singles) {
    SCOPED_TRACE(testing::Message() << "codec " << one.codec << ", " << one.bitDepth << " bits");
    CheckCase({"one track",
               L"in.mka",
               {},
               MediaBuilder().Track(one.codec, 2, 128).Samples(8000, one.bitDepth, one.sampleFormat).Get(),
               extract({}),
               std::wstring(L"FFMpeg.exe  -y  -i \"<dir>in.mka\"      -map 0:a:0 -c:a ") + one.tail});
  }
  const MediaDesc talk =
      MediaBuilder().Video(VCODEC_H264, 1280).Track(ACODEC_AAC, 2, 192).Track(ACODEC_AC3, 6, 448).Get();
  const std::wstring both =
      L"FFMpeg.exe  -y  -i \"<dir>talk.mkv\"      -map 0:a:0 -c:a copy   -map 0:a:1 -c:a copy    ";
  const std::vector<CommandCase> cases = {
      {"every track of two", L"talk.mkv", {}, talk, extract({}), both + L"\"<dir>talk_(02).MKA\""},
      {"the second track alone is named after its own codec",
       L"talk.mkv",
       {},
       talk,
       extract({1}),
       L"FFMpeg.exe  -y  -i \"<dir>talk.mkv\"      -map 0:a:1 -c:a copy    \"<dir>talk_(02).AC3\""},
      {"a taken name is numbered on in lower case",
       L"talk.mkv",
       {L"talk_(02).MKA", L"talk_(02).mka"},
       talk,
       extract({0, 1}),
       both + L"\"<dir>talk_(03).mka\""},
  };
  for (const CommandCase& c : cases) CheckCase(c);
}

// A copy goes only into a file that holds it: audio the output cannot hold is encoded to AAC
// (PCM into a WAV, MP3 into an MP3) at the chosen rate; video goes into Matroska instead, or is
// encoded by the chosen codec on the CPU where MP4 is ticked. Copies the output holds stay.
TEST(BuildCommand, CopiesOnlyIntoAFileThatHoldsThem) {
  const auto cpu = [](std::function<void(JobSettings&)> more) {
    return [more](JobSettings& s) {
      s.useGpu = false;
      more(s);
    };
  };
  const auto copyInto = [cpu](int32_t outputCodec) {
    return cpu([outputCodec](JobSettings& s) {
      s.outputCodec = outputCodec;
      s.copyAudio = true;
    });
  };
  const auto extract = [cpu](bool mp4, int32_t outputCodec = OUT_H265) {
    return cpu([mp4, outputCodec](JobSettings& s) {
      s.jobKind = JOB_VIDEO_EXTRACT;
      s.containerMp4 = mp4;
      s.outputCodec = outputCodec;
    });
  };
  const auto song = [](int32_t codec, int32_t bitRate, int32_t rate, int32_t channels = 2) {
    return MediaBuilder().Track(codec, channels, bitRate).Samples(rate).Get();
  };
  const auto video = [](int32_t codec, int32_t audio) {
    return MediaBuilder().Video(codec, 320).Track(audio, 2, 128).Samples(44100).Get();
  };
  const std::wstring songIn = L"FFMpeg.exe  -y  -i \"<dir>song.mka\"      -map 0:a:0 -c:a ";
  const std::wstring webmIn = L"FFMpeg.exe  -y  -i \"<dir>clip.webm\"   -map 0:v:0  -c:v ";
  const std::vector<CommandCase> cases = {
      {"a low-rate WMA track into MP4",
       L"song.mka",
       {},
       song(ACODEC_WMA, 128, 44100),
       cpu(Defaults),
       songIn + L"aac -b:a 128k   \"<dir>song_(02).mp4\""},
      {"MP3 of 8 kHz into MP4",
       L"song.mka",
       {},
       song(ACODEC_MP3, 32, 8000, 1),
       cpu(Defaults),
       songIn + L"aac -b:a 128k   \"<dir>song_(02).mp4\""},
      {"MP3 of 16 kHz stays a copy",
       L"song.mka",
       {},
       song(ACODEC_MP3, 32, 16000, 1),
       cpu(Defaults),
       songIn + L"copy    \"<dir>song_(02).mp4\""},
      {"Vorbis into MP4",
       L"song.mka",
       {},
       song(ACODEC_OGG, 64, 8000),
       cpu(Defaults),
       songIn + L"aac -b:a 128k   \"<dir>song_(02).mp4\""},
      {"six channels of FLAC copied by choice into MP4, mixed down",
       L"song.mka",
       {},
       song(ACODEC_FLAC, 900, 44100, 6),
       cpu([](JobSettings& s) { s.copyAudio = s.downmixStereo = true; }),
       songIn + L"aac -b:a 128k -ac 2   \"<dir>song_(02).mp4\""},
      {"AAC copied into an MP3 output",
       L"song.mka",
       {},
       song(ACODEC_AAC, 192, 44100),
       copyInto(OUT_MP3),
       songIn + L"libmp3lame -q:a 4   \"<dir>song_(02).mp3\""},
      {"AAC copied into a WAV output",
       L"song.mka",
       {},
       song(ACODEC_AAC, 192, 44100),
       copyInto(OUT_WAV),
       songIn + L"pcm_s16le -b:a 128k   \"<dir>song_(02).wav\""},
      {"PCM copied into a WAV output stays a copy",
       L"song.mka",
       {},
       song(ACODEC_PCM, 1411, 44100),
       copyInto(OUT_WAV),
       songIn + L"copy    \"<dir>song_(02).wav\""},
      {"only the track the output cannot hold is encoded",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) {
         m.Track(ACODEC_AAC, 2, 192).Track(ACODEC_WMA, 2, 128).Track(ACODEC_AAC, 2, 128);
       }),
       cpu([](JobSettings& s) { s.copyVideo = true; }),
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v copy     -map 0:a:0 -c:a aac -b:a 128k  "
       L"-map 0:a:1 "
       L"-c:a aac -b:a 128k  -map 0:a:2 -c:a copy    \"<dir>clip_(02).mp4\""},
      {"seven tracks in one copy, one the output cannot hold",
       L"clip.mp4",
       {},
       ClipWith([](MediaBuilder& m) { m.Tracks(6, ACODEC_AAC, 2, 128).Track(ACODEC_WMA, 6, 128); }),
       cpu([](JobSettings& s) { s.copyVideo = true; }),
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v copy     -map 0:a -c:a aac -b:a 360k   "
       L"\"<dir>clip_(02).mp4\""},
      {"video extract of VP8 into Matroska",
       L"clip.webm",
       {},
       video(VCODEC_VP8, ACODEC_OGG),
       extract(false),
       webmIn + L"copy      \"<dir>clip_(02).mkv\""},
      {"... numbered on where that name is taken",
       L"clip.webm",
       {L"clip_(02).mkv"},
       video(VCODEC_VP8, ACODEC_OGG),
       extract(false),
       webmIn + L"copy      \"<dir>clip_(03).mkv\""},
      {"... encoded on the CPU where MP4 is ticked, whatever the GPU box says",
       L"clip.webm",
       {},
       video(VCODEC_VP8, ACODEC_OGG),
       [](JobSettings& s) { s.jobKind = JOB_VIDEO_EXTRACT, s.containerMp4 = true; },
       webmIn + L"libx265  -b:v 3000k     \"<dir>clip_(02).mp4\""},
      {"... and into Matroska where no codec is chosen to encode it with",
       L"clip.webm",
       {},
       video(VCODEC_VP8, ACODEC_OGG),
       extract(true, OUT_NONE),
       webmIn + L"copy      \"<dir>clip_(02).mkv\""},
      {"video extract of VP9 stays in MP4",
       L"clip.webm",
       {},
       video(VCODEC_VP9, ACODEC_OPUS),
       extract(false),
       webmIn + L"copy      \"<dir>clip_(02).mp4\""},
      {"range copy of a WMV into Matroska, which holds its WMA",
       L"clip.wmv",
       {},
       video(VCODEC_WMV, ACODEC_WMA),
       cpu([](JobSettings& s) {
         s.applyRange = s.rangeCopy = true;
         s.rangeEnd = {0, 0, 2};
       }),
       L"FFMpeg.exe  -y -ss 0:0:0 -i \"<dir>clip.wmv\"  -t 2 -map 0:v:0  -c:v copy     -map 0:a:0 -c:a copy  "
       L"  "
       L"\"<dir>clip_(02).mkv\""},
  };
  for (const CommandCase& c : cases) CheckCase(c);
}

// Every file a command writes goes into the output folder, named as beside its input and
// numbered on past what that folder holds; the input is read where it is.
TEST(BuildCommand, OutputFolder) {
  const auto into = [](std::function<void(JobSettings&)> more) {
    return [more](JobSettings& s) {
      s.outputFolder = L"out";
      s.useGpu = false;
      more(s);
    };
  };
  const std::vector<CommandCase> cases = {
      {"convert",
       L"clip.mp4",
       {},
       Clip(),
       into(Defaults),
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v libx265  -b:v 3000k    -map 0:a:0 -c:a aac "
       L"-b:a 128k   \"<out>clip_(02).mp4\""},
      {"convert, numbered past the folder's files",
       L"clip.mp4",
       {L"<out>clip_(02).mp4", L"clip_(03).mp4"},
       Clip(),
       into(Defaults),
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v libx265  -b:v 3000k    -map 0:a:0 -c:a aac "
       L"-b:a 128k   \"<out>clip_(03).mp4\""},
      {"a video extract kept in MKV, numbered there",
       L"clip.mkv",
       {L"<out>clip_(02).mkv"},
       Clip(),
       into([](JobSettings& s) {
         s.jobKind = JOB_VIDEO_EXTRACT;
         s.containerMkv = true;
       }),
       L"FFMpeg.exe  -y  -i \"<dir>clip.mkv\"   -map 0:v:0  -c:v copy      \"<out>clip_(03).mkv\""},
      {"audio extract",
       L"clip.mp4",
       {L"<out>clip_(02).AAC", L"<out>clip_(02).aac"},
       Clip(),
       into([](JobSettings& s) { s.jobKind = JOB_AUDIO_EXTRACT; }),
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"      -map 0:a:0 -c:a copy    \"<out>clip_(03).aac\""},
      {"merge of files: the intermediate",
       L"clip.mp4",
       {L"clip.ts"},
       Clip(),
       into([](JobSettings& s) { s.jobKind = JOB_MERGE_FILES; }),
       L"FFMpeg.exe -y -i \"<dir>clip.mp4\" -c copy  -f mpegts \"<out>clip.ts\""},
      {"no output folder: beside the input, as ever",
       L"clip.mp4",
       {L"<out>clip_(02).mp4"},
       Clip(),
       [](JobSettings& s) { s.useGpu = false; },
       L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v libx265  -b:v 3000k    -map 0:a:0 -c:a aac "
       L"-b:a 128k   \"<dir>clip_(02).mp4\""},
  };
  for (const CommandCase& c : cases) CheckCase(c);
}

TEST(BuildCommand, Mp3QualityValues) {
  const std::vector<std::pair<int, std::wstring>> values = {{1, L"1"}, {2, L"2"},  {9, L"9"},  {10, L"4"},
                                                            {0, L"4"}, {-3, L"4"}, {128, L"4"}};
  for (const auto& value : values) {
    CommandCase c{"MP3 quality",
                  L"clip.mp4",
                  {},
                  Clip(),
                  [&](JobSettings& s) {
                    s.outputCodec = OUT_MP3;
                    s.audioBitRate = value.first;
                  },
                  L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"      -map 0:a:0 -c:a libmp3lame -q:a " +
                      value.second + L"   \"<dir>clip_(02).mp3\""};
    SCOPED_TRACE(value.first);
    CheckCase(c);
  }
}

TEST(BuildCommand, Mp3TracesTheRateOncePerEncodedTrack) {
  TempDir dir;
  JobSettings settings;
  settings.outputCodec = OUT_MP3;
  FakeProbe probe;
  probe.media = ClipWith([](MediaBuilder& m) { m.Tracks(3, ACODEC_AAC, 2, 192); });
  std::wstring cmdSet;
  TraceCapture trace;
  ASSERT_TRUE(
      CRunBuilds(settings, cmdSet, probe.Function()).BuildCommand(dir.Write(L"clip.mp4"), nullptr, false));
  EXPECT_EQ(trace.Count(L"samp = 128"), 3u);
}

TEST(BuildCommand, PauseSuffixAndTraces) {
  TempDir dir;
  JobSettings settings;
  FakeProbe probe;
  probe.media = Clip();
  std::wstring cmdSet;
  TraceCapture trace;
  ASSERT_TRUE(
      CRunBuilds(settings, cmdSet, probe.Function()).BuildCommand(dir.Write(L"clip.mp4"), nullptr, true));
  const std::wstring expected = Expand(
      L"FFMpeg.exe -hwaccel cuvid -c:v h264_cuvid -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v hevc_nvenc  "
      L"-b:v 3000k    -map 0:a:0 -c:a aac -b:a 128k   \"<dir>clip_(02).mp4\" & pause",
      dir.Path());
  EXPECT_EQ(cmdSet, expected);
  EXPECT_TRUE(trace.Contains(L"입력 코덱 = 1, 1, 1"));
  EXPECT_EQ(trace.Count(L"CmdSet=" + expected), 1u);
  EXPECT_EQ(trace.Lines().back(), L"CmdSet=" + expected + L"\n");
}

TEST(BuildCommand, OutputKindFollowsTheOutputCodec) {
  TempDir dir;
  const std::wstring input = dir.Write(L"clip.mp4");
  FakeProbe probe;
  probe.media = MediaBuilder().Get();
  struct Step {
    int32_t codec;
    int32_t kind;
  };
  // OUT_NONE keeps whatever the previous build derived.
  const Step steps[] = {{OUT_WAV, OUTPUT_AUDIO},  {OUT_NONE, OUTPUT_AUDIO}, {OUT_GIF, OUTPUT_VIDEO},
                        {OUT_NONE, OUTPUT_VIDEO}, {OUT_MP3, OUTPUT_AUDIO},  {OUT_H264, OUTPUT_VIDEO},
                        {OUT_H265, OUTPUT_VIDEO}};
  JobSettings settings;
  std::wstring cmdSet;
  CRunBuilds builder(settings, cmdSet, probe.Function());
  for (const Step& step : steps) {
    settings.outputCodec = step.codec;
    TraceCapture trace;
    EXPECT_TRUE(builder.BuildCommand(input, nullptr, false));
    // The builder derives the kind without writing it; the window keeps it as the window did.
    EXPECT_EQ(OutputKindOf(settings), step.kind) << step.codec;
    settings.outputKind = OutputKindOf(settings);
    EXPECT_EQ(settings.outputKind, step.kind) << step.codec;
    EXPECT_TRUE(trace.Contains(L"입력 코덱 = 0, 0, " + std::to_wstring(step.kind)));
  }
}

TEST(BuildCommand, ProbeFailureChangesNothing) {
  TempDir dir;
  JobSettings settings;
  FakeProbe probe;
  probe.succeeds = false;
  std::wstring cmdSet = L"earlier command";
  std::wstring result = L"earlier result";
  TraceCapture trace;
  EXPECT_FALSE(
      CRunBuilds(settings, cmdSet, probe.Function()).BuildCommand(dir.Write(L"clip.mp4"), &result, true));
  EXPECT_EQ(cmdSet, L"earlier command");
  EXPECT_EQ(result, L"earlier result");
  EXPECT_FALSE(trace.ContainsText(L"CmdSet="));
  EXPECT_FALSE(trace.ContainsText(L"입력 코덱"));
  // The file is probed before anything is named: a file MediaInfo cannot read names nothing.
  EXPECT_FALSE(trace.ContainsText(L"GetOutputFileName"));
  EXPECT_EQ(probe.probedPaths.size(), 1u);
}

// Whatever a POSIX name holds, the command text gives it back as exactly one argument of the
// program, by the rules the interpreter splits with, and nothing in it starts another command.
TEST(BuildCommand, EveryNameStaysOneArgument) {
  TempDir dir;
  FakeProbe probe;
  probe.media = Clip();
  const wchar_t* const names[] = {
      L"a\" -f null - & rm \".mp4", L"a & touch pwned & b.mp4\\", L"a \\\\ & x & b.mp4\\\\",
      L"a \\\" & x & \\\" b.mp4",   L"tab\tand\nnewline.mp4",     L"plain name.mp4",
  };
  for (const wchar_t* name : names) {
    const std::wstring input = dir.File(name);
    for (int32_t kind : {JOB_CONVERT, JOB_VIDEO_EXTRACT, JOB_AUDIO_EXTRACT, JOB_MERGE_FILES}) {
      SCOPED_TRACE(testing::Message() << WideToUtf8(name) << ", job " << kind);
      JobSettings settings;
      settings.jobKind = kind;
      std::wstring cmdSet;
      CRunBuilds builder(settings, cmdSet, probe.Function());
      ASSERT_TRUE(builder.BuildCommand(input, nullptr, true));
      std::vector<CommandWords> commands = SplitCommandSequence(cmdSet);
      ASSERT_EQ(commands.size(), 2u) << WideToUtf8(cmdSet);
      EXPECT_EQ(commands[1].words, std::vector<std::wstring>{L"pause"});
      const std::vector<std::wstring>& words = commands[0].words;
      auto at = std::find(words.begin(), words.end(), L"-i");
      ASSERT_NE(at, words.end());
      ASSERT_NE(at + 1, words.end());
      EXPECT_EQ(*(at + 1), input);
      EXPECT_EQ(words.back(), builder.LastOutputPath());
    }
  }
}

// A command whose output name was taken before it started is made again with the next free
// name: the output alone changes, whatever the names hold, for every kind of command made.
TEST(WithOutputName, OnlyTheOutputChanges) {
  TempDir dir;
  FakeProbe probe;
  probe.media = Clip();
  const std::wstring other = dir.File(L"b & touch x \" \\.mp4");
  for (const wchar_t* name :
       {L"a\" -f null - & rm \".mp4", L"a & touch pwned & b.mp4\\", L"plain name.mp4"}) {
    const std::wstring input = dir.File(name);
    std::vector<std::pair<std::wstring, std::wstring>> made;  // text, output
    for (int32_t kind : {JOB_CONVERT, JOB_VIDEO_EXTRACT, JOB_AUDIO_EXTRACT, JOB_MERGE_FILES}) {
      for (bool pause : {false, true}) {
        JobSettings settings;
        settings.jobKind = kind;
        std::wstring cmdSet;
        CRunBuilds builder(settings, cmdSet, probe.Function());
        ASSERT_TRUE(builder.BuildCommand(input, nullptr, pause));
        made.emplace_back(cmdSet, builder.LastOutputPath());
      }
    }
    JobSettings merge;
    merge.jobKind = JOB_MERGE_VIDEO_AUDIO;
    merge.files = {input, dir.File(L"song & x.mp3")};
    const MediaDesc video = Clip();
    CBuiltCommand av = BuildMergeVideoAudioCommand(merge, &video);
    if (av.Made()) made.emplace_back(av.text, av.output);  // a name ending in "\\" is no video
    made.emplace_back(MakeJoinCommand({input + L".ts", other}, input + L"_ALL.mp4"), input + L"_ALL.mp4");
    for (const auto& [text, output] : made) {
      SCOPED_TRACE(WideToUtf8(text));
      const std::wstring renamed = output + L"_(03).mp4";
      const std::wstring changed = WithOutputName(text, output, renamed);
      std::vector<CommandWords> before = SplitCommandSequence(text), after = SplitCommandSequence(changed);
      ASSERT_FALSE(before.empty());
      ASSERT_EQ(after.size(), before.size());
      ASSERT_EQ(before[0].words.back(), output);
      before[0].words.back() = renamed;
      for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(after[i].words, before[i].words);
      // Named back, it is the text it was.
      EXPECT_EQ(WithOutputName(changed, renamed, output), text);
      // A text that does not end with that output is not touched.
      EXPECT_EQ(WithOutputName(text, other, renamed), L"");
    }
  }
}

// How long an output must last: the longest stream the command surely keeps, cut to the range;
// 0 where that cannot be told. A measured length counts to the millisecond, else the report's
// whole seconds.
TEST(ExpectedOutputMs, TheLongestKeptStreamCutToTheRange) {
  // 40 s in all, its video 30 s, its two tracks 20 s and 35 s.
  MediaDesc clip =
      MediaBuilder().Video(VCODEC_H264, 1920).Track(ACODEC_AAC, 2, 192).Track(ACODEC_AAC, 2, 192).Get();
  clip.durationSec = 40;
  clip.video.durationSec = 30;
  clip.audio[0].durationSec = 20;
  clip.audio[1].durationSec = 35;
  // The same, measured: each a fraction of a second longer than its whole seconds.
  MediaDesc measured = clip;
  measured.exact.fileMs = 40600;
  measured.exact.videoMs = 30400;
  measured.exact.audioMs[0] = 20250;
  measured.exact.audioMs[1] = 35900;
  MediaDesc song = MediaBuilder().Track(ACODEC_MP3, 2, 192).Get();
  song.durationSec = song.audio[0].durationSec = 25;
  MediaDesc blip = MediaBuilder().Video(VCODEC_H264, 1920).Track(ACODEC_AAC, 2, 192).Get();
  blip.exact.fileMs = blip.exact.videoMs = blip.exact.audioMs[0] = 800;  // the report's 0 s
  MediaDesc unknown = MediaBuilder().Video(VCODEC_H264, 1920).Track(ACODEC_AAC, 2, 192).Get();
  MediaDesc gif = MediaBuilder().Video(VCODEC_GIF, 320).Get();
  gif.durationSec = gif.video.durationSec = 3;
  auto range = [](int from, int to) {
    return [from, to](JobSettings& s) {
      s.applyRange = true;
      s.rangeStart.minutes = static_cast<uint16_t>(from / 60);
      s.rangeStart.seconds = static_cast<uint16_t>(from % 60);
      s.rangeEnd.minutes = static_cast<uint16_t>(to / 60);
      s.rangeEnd.seconds = static_cast<uint16_t>(to % 60);
    };
  };
  const struct {
    const char* what;
    int32_t jobKind;
    const MediaDesc& media;
    std::function<void(JobSettings&)> setup;
    int64_t expected;
  } cases[] = {
      {"convert keeps the video", JOB_CONVERT, clip, Defaults, 30000},
      {"video extract", JOB_VIDEO_EXTRACT, clip, Defaults, 30000},
      {"audio extract: the first track taken", JOB_AUDIO_EXTRACT, clip, Defaults, 20000},
      {"audio extract of the second track only, in the first file of a run", JOB_AUDIO_EXTRACT, clip,
       [](JobSettings& s) {
         s.allAudioTracks = false;
         s.selectedAudioTracks = {1};
       },
       35000},
      {"convert to MP3 keeps no video", JOB_CONVERT, clip, [](JobSettings& s) { s.outputCodec = OUT_MP3; },
       20000},
      {"an audio file", JOB_CONVERT, song, [](JobSettings& s) { s.outputCodec = OUT_WAV; }, 25000},
      {"the remux of a merge keeps it all", JOB_MERGE_FILES, clip, range(5, 10), 30000},
      {"the merge of video and audio: the video file", JOB_MERGE_VIDEO_AUDIO, clip, Defaults, 30000},
      {"a range inside", JOB_CONVERT, clip, range(10, 25), 15000},
      {"a range past the end", JOB_CONVERT, clip, range(20, 90), 10000},
      {"a range not applied", JOB_CONVERT, clip,
       [&range](JobSettings& s) {
         range(20, 25)(s);
         s.applyRange = false;
       },
       30000},
      {"a range after the end", JOB_CONVERT, clip, range(45, 50), 0},
      {"measured: the video to the millisecond", JOB_CONVERT, measured, Defaults, 30400},
      {"measured: the first track", JOB_AUDIO_EXTRACT, measured, Defaults, 20250},
      {"measured: a range past the end of the video", JOB_CONVERT, measured, range(20, 90), 10400},
      {"measured: a range inside", JOB_CONVERT, measured, range(10, 25), 15000},
      {"an 800 ms clip the report reads as 0 s", JOB_CONVERT, blip, Defaults, 800},
      {"no length in the description", JOB_CONVERT, unknown, Defaults, 0},
      {"a GIF output", JOB_CONVERT, clip, [](JobSettings& s) { s.outputCodec = OUT_GIF; }, 0},
      {"a GIF input", JOB_CONVERT, gif, Defaults, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    JobSettings settings;
    settings.jobKind = c.jobKind;
    c.setup(settings);
    EXPECT_EQ(ExpectedOutputMs(settings, c.media), c.expected);
  }
  // The build hands it on with its command.
  TempDir dir;
  FakeProbe probe;
  probe.media = clip;
  JobSettings settings;
  range(10, 25)(settings);
  EXPECT_EQ(ProbeAndBuild(settings, dir.Write(L"clip.mp4"), probe.Function(), COutputReservations(), false)
                .expectedMs,
            15000);
}

// An extract of a stream the file does not hold is refused for that file, before anything runs;
// a convert takes what there is.
TEST(NothingToExtract, AnExtractNeedsWhatItExtracts) {
  const MediaDesc sound = MediaBuilder().Track(ACODEC_FLAC, 2, 900).Get();
  const MediaDesc silent = MediaBuilder().Video(VCODEC_H264, 640).Get();
  const struct {
    int32_t jobKind;
    MediaDesc media;
    TextId refusal;  // TXT_NONE: a command is made
  } cases[] = {
      {JOB_VIDEO_EXTRACT, sound, TXT_REFUSE_NO_VIDEO_TO_EXTRACT},
      {JOB_AUDIO_EXTRACT, silent, TXT_REFUSE_NO_AUDIO_TO_EXTRACT},
      {JOB_VIDEO_EXTRACT, silent, TXT_NONE},
      {JOB_AUDIO_EXTRACT, sound, TXT_NONE},
      {JOB_CONVERT, sound, TXT_NONE},
      {JOB_CONVERT, silent, TXT_NONE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.jobKind);
    TempDir dir;
    FakeProbe probe;
    probe.media = c.media;
    JobSettings settings;
    settings.jobKind = c.jobKind;
    const std::wstring input = dir.Write(L"in.mkv");
    CBuiltCommand built = ProbeAndBuild(settings, input, probe.Function(), COutputReservations(), false);
    EXPECT_EQ(built.refusal.text, c.refusal);
    EXPECT_EQ(built.text.empty(), c.refusal != TXT_NONE);
    EXPECT_EQ(built.refusal.file, c.refusal != TXT_NONE ? input : std::wstring());
  }
}

// A range that starts at or after the file's end is refused for that file, naming both times;
// one that only ends past it runs to the end. Without a measured length only a start past
// what the report's whole seconds (whole minutes from an hour on) can stand for is refused.
TEST(RangeAfterEnd, RefusesOnlyARangeThatStartsAtOrAfterTheEnd) {
  auto with = [](int32_t seconds, int64_t exactMs) {
    MediaDesc media = MediaBuilder().Video(VCODEC_H264, 640).Track(ACODEC_AAC, 2, 128).Get();
    media.durationSec = media.video.durationSec = media.audio[0].durationSec = seconds;
    media.exact.fileMs = exactMs;
    return media;
  };
  const struct {
    const char* what;
    int32_t jobKind;
    MediaDesc media;
    int fromSeconds, toSeconds;  // the range, from the start of the file
    const wchar_t* start;        // the times the refusal names; null: no refusal
    const wchar_t* end;
  } cases[] = {
      {"5 s clip, range from 10 s", JOB_CONVERT, with(5, 5000), 10, 20, L"0:00:10", L"0:00:05"},
      {"5 s clip, range from 5 s: at the end", JOB_CONVERT, with(5, 5000), 5, 20, L"0:00:05", L"0:00:05"},
      {"5.4 s clip, range from 5 s: 0.4 s to give", JOB_CONVERT, with(5, 5400), 5, 20, nullptr, nullptr},
      {"5.4 s clip, range from 6 s", JOB_AUDIO_EXTRACT, with(5, 5400), 6, 8, L"0:00:06", L"0:00:05.400"},
      {"a range that ends past the end", JOB_VIDEO_EXTRACT, with(5, 5000), 3, 60, nullptr, nullptr},
      {"not measured: 5 s may be 5.9 s", JOB_CONVERT, with(5, 0), 5, 20, nullptr, nullptr},
      {"not measured, from an hour on: past the minute", JOB_CONVERT, with(3660, 0), 3720, 3730, L"1:02:00",
       L"1:01:00"},
      {"a merge takes whole files", JOB_MERGE_FILES, with(5, 5000), 10, 20, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    JobSettings settings;
    settings.jobKind = c.jobKind;
    settings.applyRange = true;
    settings.rangeStart.hours = static_cast<uint16_t>(c.fromSeconds / 3600);
    settings.rangeStart.minutes = static_cast<uint16_t>(c.fromSeconds / 60 % 60);
    settings.rangeStart.seconds = static_cast<uint16_t>(c.fromSeconds % 60);
    settings.rangeEnd.hours = static_cast<uint16_t>(c.toSeconds / 3600);
    settings.rangeEnd.minutes = static_cast<uint16_t>(c.toSeconds / 60 % 60);
    settings.rangeEnd.seconds = static_cast<uint16_t>(c.toSeconds % 60);
    const CRefusal refusal = RangeAfterEnd(settings, c.media, L"/v/clip.mp4");
    if (c.start == nullptr) {
      EXPECT_FALSE(refusal.Refused()) << WideToUtf8(RefusalText(refusal, kUiLanguageEnglish));
      continue;
    }
    EXPECT_EQ(RefusalText(refusal, kUiLanguageEnglish), std::wstring(L"/v/clip.mp4: the range starts at ") +
                                                            c.start + L", but the file ends at " + c.end);
    // The build makes no command for it, and says why.
    TempDir dir;
    FakeProbe probe;
    probe.media = c.media;
    CBuiltCommand built =
        ProbeAndBuild(settings, dir.Write(L"clip.mp4"), probe.Function(), COutputReservations(), false);
    EXPECT_EQ(built.text, L"");
    EXPECT_EQ(built.refusal.text, TXT_REFUSE_RANGE_AFTER_END);
  }
}

// A command that encodes its video with NVENC says so, for the run to keep within the GPU's
// encode sessions; a copy, the CPU's encoder and a remux do not.
TEST(GpuEncode, OnlyAnNvencEncode) {
  const struct {
    const char* what;
    int32_t jobKind;
    std::function<void(JobSettings&)> setup;
    bool gpuEncode;
  } cases[] = {
      {"convert on the GPU", JOB_CONVERT, Defaults, true},
      {"on the CPU", JOB_CONVERT, [](JobSettings& s) { s.useGpu = false; }, false},
      {"video copied", JOB_CONVERT, [](JobSettings& s) { s.copyVideo = true; }, false},
      {"remux of a merge", JOB_MERGE_FILES, Defaults, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    FakeProbe probe;
    probe.media = MediaBuilder().Video(VCODEC_H264, 1920).Track(ACODEC_AAC, 2, 192).Get();
    JobSettings settings;
    settings.jobKind = c.jobKind;
    c.setup(settings);
    CBuiltCommand built =
        ProbeAndBuild(settings, dir.Write(L"clip.mp4"), probe.Function(), COutputReservations(), false);
    ASSERT_TRUE(built.Made());
    EXPECT_EQ(built.gpuEncode, c.gpuEncode) << WideToUtf8(built.text);
  }
}

}  // namespace
