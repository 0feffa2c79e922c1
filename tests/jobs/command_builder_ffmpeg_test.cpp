// The commands the builder makes, run through the command interpreter by the real ffmpeg on
// clips generated at test time, with the real probe before and MediaInfo's JSON report after.
// Encoding is on the processor: there is no NVIDIA card here, so GPU commands are checked as
// text only (by the unit tests).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "exec/command_interpreter.h"
#include "exec/program_lookup.h"
#include "job_test_support.h"
#include "jobs/command_builder.h"
#include "support/media_fixtures.h"
#include "support/mediainfo_json.h"
#include "support/temp_dir.h"

namespace {

// What one command did.
struct Outcome {
  bool built = false;
  std::wstring command;
  std::wstring output;  // the last quoted path of the command
  int status = -1;
  std::vector<MediaInfoTrack> tracks;

  std::vector<const MediaInfoTrack*> Tracks(const std::string& type) const {
    std::vector<const MediaInfoTrack*> found;
    for (const MediaInfoTrack& track : tracks)
      if (track.type == type) found.push_back(&track);
    return found;
  }
  std::string Field(const std::string& type, const std::string& name, size_t index = 0) const {
    std::vector<const MediaInfoTrack*> found = Tracks(type);
    return index < found.size() ? found[index]->Field(name) : std::string();
  }
  double Number(const std::string& type, const std::string& name, size_t index = 0) const {
    return std::atof(Field(type, name, index).c_str());
  }
};

const wchar_t kPause[] = L" & pause";

std::wstring WithoutPause(std::wstring command) {
  const size_t length = std::wcslen(kPause);
  if (command.size() >= length && command.compare(command.size() - length, length, kPause) == 0)
    command.resize(command.size() - length);
  return command;
}

std::wstring LastQuotedPath(const std::wstring& command) {
  const std::wstring line = WithoutPause(command);
  const size_t end = line.rfind(L'"');
  if (end == std::wstring::npos || end == 0) return std::wstring();
  const size_t begin = line.rfind(L'"', end - 1);
  return begin == std::wstring::npos ? std::wstring() : line.substr(begin + 1, end - begin - 1);
}

class RealCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    EnterProgramDir();
    if (FfmpegProgramPath().empty() || MediaInfoProgramPath().empty())
      GTEST_SKIP() << "ffmpeg or MediaInfo missing";
    settings_.useGpu = false;
  }

  std::wstring Input(Sample kind, const std::wstring& name, int seconds = 2) {
    const std::wstring path = dir_.File(name);
    EXPECT_TRUE(MakeSample(kind, path, seconds)) << name;
    return path;
  }

  // Builds the command of input with the real probe, runs it (a merge's own pause aside: a run
  // without a terminal has nobody to press a key) and reads MediaInfo's report of the output.
  Outcome Run(const std::wstring& input) {
    Outcome outcome;
    std::wstring cmdSet;
    outcome.built = CRunBuilds(settings_, cmdSet).BuildCommand(input, &outcome.command, false);
    if (!outcome.built) return outcome;
    outcome.output = LastQuotedPath(outcome.command);
    outcome.status = RunCommandLine(WithoutPause(outcome.command));
    if (outcome.status == 0 && FileExists(outcome.output)) {
      ReadMediaInfoTracks(CaptureProgramOutput(L"mediainfo", {L"--Output=JSON", outcome.output}),
                          outcome.tracks);
    }
    return outcome;
  }

  std::wstring Expected(const std::wstring& text) const { return Expand(text, dir_.Path()); }

  TempDir dir_;
  JobSettings settings_;
};

// The output of a command that ffmpeg refused: missing or empty.
bool NoOutput(const Outcome& outcome) {
  return !FileExists(outcome.output) || GetFileLength(outcome.output) == 0;
}

TEST_F(RealCommand, ConvertToH264WithAac) {
  const std::wstring input = Input(Sample::NOISY_H264_MP4, L"noisy.mp4");
  settings_.outputCodec = OUT_H264;
  settings_.videoBitRate = 300;
  const Outcome out = Run(input);
  ASSERT_TRUE(out.built);
  EXPECT_EQ(out.command, Expected(L"FFMpeg.exe  -y  -i \"<dir>noisy.mp4\"   -map 0:v:0  -c:v libx264  -b:v "
                                  L"300k    -map 0:a:0 -c:a aac -b:a 128k   \"<dir>noisy_(02).mp4\""));
  ASSERT_EQ(out.status, 0);
  EXPECT_EQ(out.Field("Video", "Format"), "AVC");
  EXPECT_GT(out.Number("Video", "BitRate"), 150000);
  EXPECT_LT(out.Number("Video", "BitRate"), 450000);
  ASSERT_EQ(out.Tracks("Audio").size(), 1u);
  EXPECT_EQ(out.Field("Audio", "Format"), "AAC");
  EXPECT_EQ(out.Field("Audio", "Channels"), "2");
  EXPECT_NEAR(out.Number("Audio", "BitRate"), 128000, 20000);
}

TEST_F(RealCommand, ConvertToH265WithMp3Audio) {
  const std::wstring input = Input(Sample::NOISY_H264_MP4, L"noisy.mp4");
  settings_.videoBitRate = 300;
  settings_.audioMp3 = true;
  const Outcome out = Run(input);
  ASSERT_TRUE(out.built);
  EXPECT_EQ(out.command, Expected(L"FFMpeg.exe  -y  -i \"<dir>noisy.mp4\"   -map 0:v:0  -c:v libx265  -b:v "
                                  L"300k    -map 0:a:0 -c:a libmp3lame -b:a 128k   \"<dir>noisy_(02).mp4\""));
  ASSERT_EQ(out.status, 0);
  EXPECT_EQ(out.Field("Video", "Format"), "HEVC");
  EXPECT_GT(out.Number("Video", "BitRate"), 150000);
  EXPECT_LT(out.Number("Video", "BitRate"), 450000);
  EXPECT_EQ(out.Field("Audio", "Format"), "MPEG Audio");
  EXPECT_EQ(out.Field("Audio", "Channels"), "2");
}

TEST_F(RealCommand, SixChannelsCopiedEncodedAndMixedDown) {
  const std::wstring input = Input(Sample::H265_AC3_51_MKV, L"surround.mkv");
  settings_.copyVideo = true;
  // 448 kb/s over 6 channels is 74 per channel: not above 80, so the track is copied.
  Outcome copied = Run(input);
  ASSERT_TRUE(copied.built);
  EXPECT_EQ(copied.command, Expected(L"FFMpeg.exe  -y  -i \"<dir>surround.mkv\"   -map 0:v:0  -c:v copy     "
                                     L"-map 0:a:0 -c:a copy    \"<dir>surround_(02).mkv\""));
  ASSERT_EQ(copied.status, 0);
  EXPECT_EQ(copied.Field("Audio", "Format"), "AC-3");
  EXPECT_EQ(copied.Field("Audio", "Channels"), "6");

  settings_.forceAudioEncode = true;
  Outcome kept = Run(input);
  ASSERT_TRUE(kept.built);
  EXPECT_EQ(kept.command, Expected(L"FFMpeg.exe  -y  -i \"<dir>surround.mkv\"   -map 0:v:0  -c:v copy     "
                                   L"-map 0:a:0 -c:a aac -b:a 360k   \"<dir>surround_(03).mkv\""));
  ASSERT_EQ(kept.status, 0);
  EXPECT_EQ(kept.Field("Audio", "Format"), "AAC");
  EXPECT_EQ(kept.Field("Audio", "Channels"), "6");

  // Counted as two channels, 448 kb/s is 224 per channel: encoded, and mixed down.
  settings_.forceAudioEncode = false;
  settings_.downmixStereo = true;
  Outcome mixed = Run(input);
  ASSERT_TRUE(mixed.built);
  EXPECT_EQ(mixed.command, Expected(L"FFMpeg.exe  -y  -i \"<dir>surround.mkv\"   -map 0:v:0  -c:v copy     "
                                    L"-map 0:a:0 -c:a aac -b:a 128k -ac 2   \"<dir>surround_(04).mkv\""));
  ASSERT_EQ(mixed.status, 0);
  EXPECT_EQ(mixed.Field("Audio", "Format"), "AAC");
  EXPECT_EQ(mixed.Field("Audio", "Channels"), "2");
  EXPECT_EQ(mixed.Field("Video", "Format"), "HEVC");
}

TEST_F(RealCommand, LowRateMonoTrackIsCopied) {
  const std::wstring input = Input(Sample::MONO_AAC_M4A_MP4, L"mono.mp4");
  settings_.copyVideo = true;
  const Outcome out = Run(input);
  ASSERT_TRUE(out.built);
  EXPECT_EQ(out.command, Expected(L"FFMpeg.exe  -y  -i \"<dir>mono.mp4\"   -map 0:v:0  -c:v copy     -map "
                                  L"0:a:0 -c:a copy    \"<dir>mono_(02).mp4\""));
  ASSERT_EQ(out.status, 0);
  EXPECT_EQ(out.Field("Audio", "Format"), "AAC");
  EXPECT_EQ(out.Field("Audio", "Channels"), "1");  // copied as it was, not made stereo
}

TEST_F(RealCommand, MkvKeepsSubtitlesAndEveryTrack) {
  const std::wstring input = Input(Sample::THREE_AUDIO_TWO_SUBS_MKV, L"movie.mkv");
  settings_.copyVideo = true;
  const Outcome out = Run(input);
  ASSERT_TRUE(out.built);
  EXPECT_NE(out.command.find(L"-map 0:s -c:s copy"), std::wstring::npos) << out.command;
  ASSERT_EQ(out.status, 0);
  EXPECT_EQ(out.Field("General", "Format"), "Matroska");
  EXPECT_EQ(out.Tracks("Text").size(), 2u);
  EXPECT_EQ(out.Tracks("Audio").size(), 3u);
}

TEST_F(RealCommand, TrackSelectionHoldsForTheFirstFileOnly) {
  const std::wstring input = Input(Sample::THREE_AUDIO_TWO_SUBS_MKV, L"movie.mkv");
  settings_.copyVideo = true;
  settings_.containerMp4 = true;
  settings_.forceAudioEncode = true;  // the report gives these tracks no bit rate
  settings_.allAudioTracks = false;
  settings_.selectedAudioTracks = {1, 2};
  settings_.firstFileOfBatch = true;
  const Outcome first = Run(input);
  ASSERT_TRUE(first.built);
  EXPECT_EQ(first.command,
            Expected(L"FFMpeg.exe  -y  -i \"<dir>movie.mkv\"   -map 0:v:0  -c:v copy     -map 0:a:1 -c:a aac "
                     L"-b:a 128k  -map 0:a:2 -c:a aac -b:a 128k   \"<dir>movie_(02).mp4\""));
  ASSERT_EQ(first.status, 0);
  ASSERT_EQ(first.Tracks("Audio").size(), 2u);
  EXPECT_EQ(first.Field("Audio", "Language", 0), "ja");
  EXPECT_EQ(first.Field("Audio", "Language", 1), "fr");

  settings_.firstFileOfBatch = false;
  const Outcome later = Run(input);
  ASSERT_EQ(later.status, 0);
  EXPECT_EQ(later.Tracks("Audio").size(), 3u);
}

TEST_F(RealCommand, MoreThanFiveTracksCollapse) {
  const std::wstring input = Input(Sample::SEVEN_AUDIO_MKV, L"seven.mkv");
  settings_.copyVideo = true;
  settings_.forceAudioEncode = true;  // the report gives these tracks no bit rate
  const Outcome out = Run(input);
  ASSERT_TRUE(out.built);
  EXPECT_EQ(out.command, Expected(L"FFMpeg.exe  -y  -i \"<dir>seven.mkv\"   -map 0:v:0  -c:v copy     -map "
                                  L"0:a -c:a aac -b:a 128k   \"<dir>seven_(02).mkv\""));
  ASSERT_EQ(out.status, 0);
  const auto audio = out.Tracks("Audio");
  ASSERT_EQ(audio.size(), 7u);
  for (const MediaInfoTrack* track : audio) {
    EXPECT_EQ(track->Field("Format"), "AAC");
    EXPECT_EQ(track->Field("Channels"), "2");
  }
}

TEST_F(RealCommand, GifOutputHasNoAudio) {
  const std::wstring input = Input(Sample::H264_AAC_MP4, L"clip.mp4");
  settings_.outputCodec = OUT_GIF;
  const Outcome out = Run(input);
  ASSERT_TRUE(out.built);
  EXPECT_EQ(out.command, Expected(L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"   -r 10    \"<dir>clip_(02).gif\""));
  ASSERT_EQ(out.status, 0);
  EXPECT_EQ(out.Field("General", "Format"), "GIF");
  EXPECT_TRUE(out.Tracks("Audio").empty());
}

TEST_F(RealCommand, GifInputConvertedToH264) {
  const std::wstring input = Input(Sample::ANIMATED_GIF, L"anim.gif");
  settings_.outputCodec = OUT_H264;
  const Outcome out = Run(input);
  ASSERT_TRUE(out.built);
  EXPECT_EQ(out.command,
            Expected(L"FFMpeg.exe -f gif -y  -i \"<dir>anim.gif\"       \"<dir>anim_(02).mp4\""));
  ASSERT_EQ(out.status, 0);
  EXPECT_EQ(out.Field("Video", "Format"), "AVC");
  EXPECT_EQ(out.Field("Video", "Width"), "160");
}

TEST_F(RealCommand, WavAndMp3Outputs) {
  const std::wstring input = Input(Sample::H264_AAC_MP4, L"clip.mp4");
  settings_.outputCodec = OUT_WAV;
  const Outcome wav = Run(input);
  ASSERT_TRUE(wav.built);
  EXPECT_EQ(wav.command, Expected(L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"      -map 0:a:0 -c:a pcm_s16le -b:a "
                                  L"128k   \"<dir>clip_(02).wav\""));
  ASSERT_EQ(wav.status, 0);
  EXPECT_EQ(wav.Field("General", "Format"), "Wave");
  EXPECT_EQ(wav.Field("Audio", "Format"), "PCM");
  EXPECT_EQ(wav.Field("Audio", "Channels"), "2");
  EXPECT_TRUE(wav.Tracks("Video").empty());

  settings_.outputCodec = OUT_MP3;
  const Outcome mp3 = Run(input);
  ASSERT_TRUE(mp3.built);
  EXPECT_EQ(mp3.command, Expected(L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"      -map 0:a:0 -c:a libmp3lame "
                                  L"-q:a 4   \"<dir>clip_(02).mp3\""));
  ASSERT_EQ(mp3.status, 0);
  EXPECT_EQ(mp3.Field("Audio", "Format"), "MPEG Audio");
  EXPECT_EQ(mp3.Field("Audio", "Channels"), "2");
  EXPECT_TRUE(mp3.Tracks("Video").empty());
}

TEST_F(RealCommand, VideoExtractCopiesTheVideoOnly) {
  const std::wstring input = Input(Sample::H264_AAC_MP4, L"clip.mp4");
  settings_.jobKind = JOB_VIDEO_EXTRACT;
  const Outcome out = Run(input);
  ASSERT_TRUE(out.built);
  EXPECT_EQ(
      out.command,
      Expected(L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v copy      \"<dir>clip_(02).mp4\""));
  ASSERT_EQ(out.status, 0);
  std::vector<MediaInfoTrack> source;
  ASSERT_TRUE(ReadMediaInfoTracks(CaptureProgramOutput(L"mediainfo", {L"--Output=JSON", input}), source));
  std::string sourceVideoSize;
  for (const MediaInfoTrack& track : source)
    if (track.type == "Video") sourceVideoSize = track.Field("StreamSize");
  EXPECT_EQ(out.Field("Video", "Format"), "AVC");
  EXPECT_EQ(out.Field("Video", "StreamSize"), sourceVideoSize);  // the same bytes, copied
  EXPECT_TRUE(out.Tracks("Audio").empty());
}

TEST_F(RealCommand, AudioExtractIsNamedAfterTheCodec) {
  const std::wstring input = Input(Sample::H264_AAC_MP4, L"clip.mp4");
  settings_.jobKind = JOB_AUDIO_EXTRACT;
  const Outcome out = Run(input);
  ASSERT_TRUE(out.built);
  EXPECT_EQ(
      out.command,
      Expected(L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"      -map 0:a:0 -c:a copy    \"<dir>clip_(02).AAC\""));
  ASSERT_EQ(out.status, 0);
  EXPECT_TRUE(FileExists(dir_.File(L"clip_(02).AAC")));
  EXPECT_EQ(out.Field("General", "Format"), "ADTS");
  EXPECT_EQ(out.Field("Audio", "Format"), "AAC");
  EXPECT_EQ(out.Field("Audio", "Channels"), "2");
  EXPECT_TRUE(out.Tracks("Video").empty());
}

TEST_F(RealCommand, RangeCutInBothSeekModes) {
  const std::wstring input = Input(Sample::H264_AAC_MP4, L"long.mp4", 6);
  settings_.outputCodec = OUT_H264;
  settings_.applyRange = true;
  settings_.rangeStart = {0, 0, 1};
  settings_.rangeEnd = {0, 0, 4};
  for (bool accurate : {false, true}) {
    SCOPED_TRACE(accurate ? "accurate seek" : "fast seek");
    settings_.rangeAccurate = accurate;
    const Outcome out = Run(input);
    ASSERT_TRUE(out.built);
    EXPECT_NE(out.command.find(accurate ? L"\" -ss 0:0:1 -t 3 " : L" -y -ss 0:0:1 -i \""), std::wstring::npos)
        << out.command;
    ASSERT_EQ(out.status, 0);
    EXPECT_NEAR(out.Number("General", "Duration"), 3.0, 1.0);
    EXPECT_EQ(out.Field("Video", "Format"), "AVC");
  }
}

TEST_F(RealCommand, ScalesTo1080Lines) {
  const std::wstring input = Input(Sample::H264_AAC_MP4, L"small.mp4", 1);
  settings_.outputCodec = OUT_H264;
  settings_.scale1080 = true;
  const Outcome out = Run(input);
  ASSERT_TRUE(out.built);
  ASSERT_EQ(out.status, 0);
  EXPECT_EQ(out.Field("Video", "Height"), "1080");
  EXPECT_EQ(out.Field("Video", "Width"), "1440");
}

TEST_F(RealCommand, MergeVideoAndAudio) {
  const std::wstring movie = Input(Sample::H264_AAC_MP4, L"movie.mp4");
  const std::wstring song = Input(Sample::MP3_ONLY, L"song.mp3");
  settings_.jobKind = JOB_MERGE_VIDEO_AUDIO;
  settings_.files = {song, movie};
  const Outcome out = Run(L"unused");
  ASSERT_TRUE(out.built);
  EXPECT_EQ(out.command, Expected(L"ffmpeg -i \"<dir>movie.mp4\" -i \"<dir>song.mp3\" -map 0 -map 1 -c copy  "
                                  L"-strict -2 \"<dir>movie_(02).mp4\" & pause"));
  ASSERT_EQ(out.status, 0);
  EXPECT_EQ(out.Tracks("Video").size(), 1u);
  ASSERT_EQ(out.Tracks("Audio").size(), 2u);
  EXPECT_EQ(out.Field("Audio", "Format", 0), "AAC");
  EXPECT_EQ(out.Field("Audio", "Format", 1), "MPEG Audio");
}

TEST_F(RealCommand, RemuxToTransportStream) {
  const std::wstring input = Input(Sample::H264_AAC_MP4, L"one.mp4");
  settings_.jobKind = JOB_MERGE_FILES;
  const Outcome out = Run(input);
  ASSERT_TRUE(out.built);
  EXPECT_EQ(out.command, Expected(L"FFMpeg.exe -y -i \"<dir>one.mp4\" -c copy  -f mpegts \"<dir>one.ts\""));
  ASSERT_EQ(out.status, 0);
  EXPECT_EQ(out.Field("General", "Format"), "MPEG-TS");
  EXPECT_EQ(out.Field("Video", "Format"), "AVC");
  EXPECT_EQ(out.Field("Audio", "Format"), "AAC");
}

// Combinations the rules build as asked and ffmpeg refuses; the command is not changed.
TEST_F(RealCommand, RefusedCombinationsAreBuiltAsAsked) {
  const std::wstring clip = Input(Sample::H264_AAC_MP4, L"clip.mp4");
  {
    SCOPED_TRACE("a scale filter with a video copy");
    settings_.jobKind = JOB_VIDEO_EXTRACT;
    settings_.scale1080 = true;
    const Outcome out = Run(clip);
    ASSERT_TRUE(out.built);
    EXPECT_EQ(out.command, Expected(L"FFMpeg.exe  -y  -i \"<dir>clip.mp4\"   -map 0:v:0  -c:v copy   -vf "
                                    L"scale=-1:1080     \"<dir>clip_(02).mp4\""));
    EXPECT_NE(out.status, 0);
    EXPECT_TRUE(NoOutput(out));
  }
  settings_ = JobSettings();
  settings_.useGpu = false;
  const std::wstring three = Input(Sample::THREE_AUDIO_TWO_SUBS_MKV, L"three.mkv");
  for (int32_t codec : {OUT_WAV, OUT_MP3}) {
    SCOPED_TRACE(codec == OUT_WAV ? "three tracks into one WAV" : "three tracks into one MP3");
    settings_.outputCodec = codec;
    const Outcome out = Run(three);
    ASSERT_TRUE(out.built);
    EXPECT_NE(out.command.find(L" -map 0:a:2 "), std::wstring::npos) << out.command;
    EXPECT_NE(out.status, 0);
    EXPECT_TRUE(NoOutput(out));
  }
  {
    SCOPED_TRACE("WAV audio copied into an MP4");
    const std::wstring wav = dir_.File(L"voice.wav");
    ASSERT_TRUE(RunFfmpeg({L"-f", L"lavfi", L"-i", L"sine=duration=2", L"-c:a", L"pcm_s16le", wav}));
    settings_ = JobSettings();
    settings_.jobKind = JOB_MERGE_VIDEO_AUDIO;
    settings_.files = {clip, wav};
    // The refused extract above may or may not have left an empty clip_(02).mp4.
    const std::wstring name = FileExists(dir_.File(L"clip_(02).mp4")) ? L"clip_(03).mp4" : L"clip_(02).mp4";
    const Outcome out = Run(L"unused");
    ASSERT_TRUE(out.built);
    EXPECT_EQ(
        out.command,
        Expected(
            L"ffmpeg -i \"<dir>clip.mp4\" -i \"<dir>voice.wav\" -map 0 -map 1 -c copy  -strict -2 \"<dir>" +
            name + L"\" & pause"));
    EXPECT_NE(out.status, 0);
    EXPECT_TRUE(NoOutput(out));
  }
}

}  // namespace
