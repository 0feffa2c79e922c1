// The container table and the copies it steers, against the real ffmpeg and MediaInfo on
// media made at test time: every row is held by ffmpeg (and a row's condition refuses what
// ffmpeg refuses), and each job writes a file that plays for as long as its input on media
// whose streams some container cannot hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "exec/command_interpreter.h"
#include "exec/program_lookup.h"
#include "job_test_support.h"
#include "jobs/container_codecs.h"
#include "probe/probe_runner.h"
#include "support/media_fixtures.h"
#include "support/mediainfo_json.h"
#include "support/temp_dir.h"

namespace {

constexpr double kSeconds = 2.0;     // every clip's length
constexpr double kTolerance = 0.35;  // MP3's and Vorbis' padding, a frame of video

ClipRecipe AudioClip(std::vector<std::wstring> encoder, int sampleRate, int channels) {
  ClipRecipe clip;
  clip.audioOptions = std::move(encoder);
  clip.sampleRate = sampleRate;
  clip.channels = channels;
  return clip;
}

// A stream of every kind the table names, at sample rates and channel counts its encoder
// takes, and PCM in every layout: each the one stream of a file of the given extension
// (QuickTime holds PCM of every layout; Matroska the rest of the audio).
struct StreamSample {
  const char* name;
  const wchar_t* extension;
  ClipRecipe clip;
};

std::vector<StreamSample> StreamSamples() {
  const std::vector<std::pair<int, int>> video = {{0, 0}};
  const std::vector<std::pair<int, int>> three = {{8000, 1}, {22050, 2}, {48000, 6}};
  const struct {
    const char* name;
    const wchar_t* extension;
    std::vector<std::wstring> encoder;
    std::vector<std::pair<int, int>> shapes;  // sample rate and channels of audio
  } kinds[] = {
      {"aac", L"mka", {L"-c:a", L"aac"}, three},
      {"ac3", L"mka", {L"-c:a", L"ac3"}, {{32000, 1}, {48000, 6}}},
      {"dts", L"mka", {L"-c:a", L"dca", L"-strict", L"-2"}, {{8000, 1}, {48000, 6}}},
      {"mp3", L"mka", {L"-c:a", L"libmp3lame"}, {{8000, 1}, {16000, 2}, {48000, 2}}},
      {"mp2", L"mka", {L"-c:a", L"mp2"}, {{16000, 1}, {48000, 2}}},
      {"vorbis", L"mka", {L"-c:a", L"libvorbis"}, three},
      {"opus", L"mka", {L"-c:a", L"libopus"}, three},
      {"flac", L"mka", {L"-c:a", L"flac"}, three},
      {"wma", L"mka", {L"-c:a", L"wmav2"}, {{8000, 1}, {44100, 2}}},
      {"pcm_s16le", L"mov", {L"-c:a", L"pcm_s16le"}, three},
      {"pcm_u8", L"mov", {L"-c:a", L"pcm_u8"}, {{8000, 1}}},
      {"pcm_s8", L"mov", {L"-c:a", L"pcm_s8"}, {{8000, 1}}},
      {"pcm_f32le", L"mov", {L"-c:a", L"pcm_f32le"}, {{44100, 2}}},
      {"pcm_s24be", L"mov", {L"-c:a", L"pcm_s24be"}, {{48000, 2}}},
      {"pcm_f32be", L"mov", {L"-c:a", L"pcm_f32be"}, {{44100, 2}}},
      {"alac, which the probe does not name", L"mov", {L"-c:a", L"alac"}, {{44100, 2}}},
      {"h264", L"mkv", {L"-c:v", L"libx264", L"-preset", L"ultrafast", L"-pix_fmt", L"yuv420p"}, video},
      {"h265", L"mkv", {L"-c:v", L"libx265", L"-preset", L"ultrafast"}, video},
      {"vp9", L"webm", {L"-c:v", L"libvpx-vp9", L"-deadline", L"realtime", L"-cpu-used", L"8"}, video},
      {"vp8", L"webm", {L"-c:v", L"libvpx", L"-deadline", L"realtime", L"-cpu-used", L"8"}, video},
      {"xvid", L"avi", {L"-c:v", L"mpeg4", L"-vtag", L"xvid"}, video},
      {"dx50", L"avi", {L"-c:v", L"mpeg4", L"-vtag", L"DX50"}, video},
      {"mpeg-4 visual", L"mp4", {L"-c:v", L"mpeg4"}, video},
      {"ms-mpeg4", L"avi", {L"-c:v", L"msmpeg4"}, video},
      {"mpeg-1", L"mkv", {L"-c:v", L"mpeg1video"}, video},
      {"mpeg-2", L"mkv", {L"-c:v", L"mpeg2video"}, video},
      {"wmv", L"wmv", {L"-c:v", L"wmv2"}, video},
      {"av1", L"mkv", {L"-c:v", L"libsvtav1", L"-preset", L"12"}, video},
      {"mjpeg", L"avi", {L"-c:v", L"mjpeg"}, video},
      {"theora, which the probe does not name", L"ogv", {L"-c:v", L"libtheora"}, video},
  };
  std::vector<StreamSample> samples;
  for (const auto& kind : kinds) {
    for (const auto& [rate, channels] : kind.shapes) {
      ClipRecipe clip = AudioClip(kind.encoder, rate, channels);
      if (rate == 0) std::swap(clip.audioOptions, clip.videoOptions);
      samples.push_back({kind.name, kind.extension, clip});
    }
  }
  return samples;
}

// The extension that makes ffmpeg write the container.
std::wstring ExtensionOf(int32_t container, bool video) {
  static const std::map<int32_t, std::wstring> extensions = {
      {CONTAINER_MP4, L"mp4"},   {CONTAINER_WAV, L"wav"},   {CONTAINER_MP3, L"mp3"}, {CONTAINER_MP2, L"mp2"},
      {CONTAINER_ADTS, L"aac"},  {CONTAINER_AC3, L"ac3"},   {CONTAINER_DTS, L"dts"}, {CONTAINER_OGG, L"ogg"},
      {CONTAINER_OPUS, L"opus"}, {CONTAINER_FLAC, L"flac"}, {CONTAINER_ASF, L"wma"}};
  if (container == CONTAINER_MATROSKA) return video ? L"mkv" : L"mka";
  return extensions.at(container);
}

// What ffprobe finds in a file: its streams' codecs, its audio tracks' languages, and how long
// its packets last, from the first one's start to the last one's end. ffprobe rather than
// MediaInfo: MediaInfo gives no length for a raw AAC stream, nor a format name for every stream
// of Matroska.
struct Streams {
  std::string codecs;  // every stream's, in order, with a blank between them
  std::vector<std::string> languages;
  double seconds = 0.0;
};

Streams ReadStreams(const std::wstring& path) {
  Streams streams;
  CJsonValue root;
  const std::string json = CaptureProgramOutput(
      L"ffprobe", {L"-v", L"error", L"-show_entries",
                   L"stream=codec_type,codec_name:stream_tags=language:packet=pts_time,duration_time", L"-of",
                   L"json", path});
  if (!ParseJson(json, root)) return streams;
  const auto text = [](const CJsonValue& item, const char* name) {
    const CJsonValue* value = item.Find(name);
    return value != nullptr ? value->text : std::string();
  };
  if (const CJsonValue* list = root.Find("streams")) {
    for (const CJsonValue& stream : list->items) {
      streams.codecs += (streams.codecs.empty() ? "" : " ") + text(stream, "codec_name");
      if (text(stream, "codec_type") != "audio") continue;
      const CJsonValue* tags = stream.Find("tags");
      streams.languages.push_back(tags != nullptr ? text(*tags, "language") : std::string());
    }
  }
  double first = 1e9, last = 0.0;
  if (const CJsonValue* list = root.Find("packets")) {
    for (const CJsonValue& packet : list->items) {
      const std::string pts = text(packet, "pts_time");
      if (pts.empty() || pts == "N/A") continue;
      const double start = std::atof(pts.c_str());
      first = std::min(first, start);
      last = std::max(last, start + std::atof(text(packet, "duration_time").c_str()));
    }
  }
  if (last > first) streams.seconds = last - first;
  return streams;
}

// Whether ffmpeg decodes the whole file without an error.
bool Plays(const std::wstring& path) { return RunFfmpeg({L"-xerror", L"-i", path, L"-f", L"null", L"-"}); }

class RealContainers : public ::testing::Test {
 protected:
  void SetUp() override {
    EnterProgramDir();
    if (FfmpegProgramPath().empty() || MediaInfoProgramPath().empty())
      GTEST_SKIP() << "ffmpeg or MediaInfo missing";
  }
  TempDir dir_;
};

// A copy the table says a container holds is written, keeps its format and length, and
// decodes; a track a row's condition refuses (a sample rate below its floor, a PCM layout)
// is refused by ffmpeg too.
TEST_F(RealContainers, EveryRowHoldsWhatItSaysAndRefusesWhatItRefuses) {
  const std::vector<StreamSample> samples = StreamSamples();
  std::vector<MediaDesc> probed(samples.size());
  std::vector<Streams> sources(samples.size());
  for (size_t i = 0; i < samples.size(); ++i) {
    const std::wstring source = dir_.File(L"source" + std::to_wstring(i) + L"." + samples[i].extension);
    ASSERT_TRUE(MakeClip(samples[i].clip, source)) << samples[i].name;
    ASSERT_TRUE(ProbeMediaFile(source, probed[i])) << samples[i].name;
    sources[i] = ReadStreams(source);
  }
  int copies = 0, refusals = 0;
  for (const ContainerCodecRow& row : ContainerCodecRows()) {
    for (size_t i = 0; i < samples.size(); ++i) {
      const MediaDesc& media = probed[i];
      const bool video = media.audioCount == 0;
      const int32_t codec = video ? media.video.codec : media.audio[0].codec;
      if (row.codec != CODEC_ANY && row.codec != codec) continue;
      const bool held = video ? ContainerHoldsVideo(row.container, codec)
                              : ContainerHoldsAudio(row.container, media.audio[0]);
      const std::wstring source = media.filePath;
      const std::wstring copy =
          dir_.File(L"copy" + std::to_wstring(copies + refusals) + L"." + ExtensionOf(row.container, video));
      SCOPED_TRACE(testing::Message() << samples[i].name << " into " << WideToUtf8(copy) << " at "
                                      << (video ? 0 : media.audio[0].sampleRate) << " Hz, "
                                      << (video ? 0 : media.audio[0].channels) << " channels");
      const bool written =
          RunFfmpeg({L"-i", source, L"-map", video ? L"0:v:0" : L"0:a:0", L"-c", L"copy", copy}) &&
          GetFileLength(copy) > 0;
      if (!held) {
        ++refusals;
        EXPECT_FALSE(written && Plays(copy)) << "the table refuses what ffmpeg holds";
        continue;
      }
      ++copies;
      ASSERT_TRUE(written);
      const Streams& before = sources[i];
      const Streams after = ReadStreams(copy);
      // MP4 marks MPEG audio of every layer alike (mp4a-6B), so ffprobe names layer 2 "mp3" there;
      // MediaInfo still reads layer 2, and it decodes as it is.
      const bool mp2InMp4 = row.container == CONTAINER_MP4 && before.codecs == "mp2";
      EXPECT_EQ(after.codecs, mp2InMp4 ? "mp3" : before.codecs);
      EXPECT_NEAR(after.seconds, before.seconds, kTolerance);
      EXPECT_TRUE(Plays(copy));
    }
  }
  // Each kind of condition met a track it refuses.
  EXPECT_GE(refusals, 5);
  EXPECT_GT(copies, 80);
}

// One job on one file whose streams some container cannot hold: the command is built by the
// real probe and run as a run runs it; its output is named as expected, holds the expected
// streams and plays for as long as the input.
struct JobCase {
  const char* name;
  std::function<bool(const std::wstring&)> make;
  const wchar_t* input;
  std::function<void(JobSettings&)> setup;
  const wchar_t* outputEnd;  // the output name's end, extension included
  std::string streams;       // its streams' codecs as ffprobe names them, in order
  double seconds = kSeconds;
  std::vector<std::string> languages = {};  // its audio tracks' languages, where the row checks them
};

std::function<bool(const std::wstring&)> From(Sample sample) {
  return [sample](const std::wstring& path) { return MakeSample(sample, path); };
}

std::function<bool(const std::wstring&)> From(ClipRecipe clip) {
  return [clip](const std::wstring& path) { return MakeClip(clip, path); };
}

std::function<void(JobSettings&)> Job(int32_t kind, std::function<void(JobSettings&)> more = nullptr) {
  return [kind, more](JobSettings& s) {
    s.jobKind = kind;
    s.useGpu = false;
    if (more) more(s);
  };
}

TEST_F(RealContainers, EveryJobWritesAFileThatHoldsWhatItCopies) {
  const ClipRecipe mp3Of8kHz = AudioClip({L"-c:a", L"libmp3lame", L"-b:a", L"16k"}, 8000, 1);
  const ClipRecipe bigEndianPcm = AudioClip({L"-c:a", L"pcm_s16be"}, 44100, 2);
  const ClipRecipe alac = AudioClip({L"-c:a", L"alac"}, 44100, 2);
  const ClipRecipe vorbisOf8kHz = AudioClip({L"-c:a", L"libvorbis"}, 8000, 1);
  const ClipRecipe wma = AudioClip({L"-c:a", L"wmav2", L"-b:a", L"128k"}, 44100, 2);
  const auto copyVideo = [](JobSettings& s) { s.copyVideo = true; };
  const auto copyVideoIntoMp4 = [](JobSettings& s) {
    s.copyVideo = true;
    s.containerMp4 = true;
  };
  const auto rangeCopy = [](JobSettings& s) {
    s.applyRange = true;
    s.rangeCopy = true;
    s.rangeEnd = {0, 0, 1};
  };
  const auto secondTrack = [](JobSettings& s) {
    s.allAudioTracks = false;
    s.selectedAudioTracks = {1};
  };
  const std::vector<JobCase> cases = {
      {"convert FLAC", From(Sample::FLAC_ONLY), L"song.flac", Job(JOB_CONVERT), L"_(02).mp4", "aac"},
      {"convert WMA", From(wma), L"song.wma", Job(JOB_CONVERT), L"_(02).mp4", "aac"},
      {"convert an 8 kHz MP3", From(mp3Of8kHz), L"voice.mp3", Job(JOB_CONVERT), L"_(02).mp4", "aac"},
      {"convert an 8 kHz Vorbis", From(vorbisOf8kHz), L"voice.ogg", Job(JOB_CONVERT), L"_(02).mp4", "aac"},
      {"convert a WMV", From(Sample::WMV_WMA), L"clip.wmv", Job(JOB_CONVERT), L"_(02).mp4", "hevc aac"},
      {"convert VP8, video copied", From(Sample::VP8_VORBIS_WEBM), L"clip.webm", Job(JOB_CONVERT, copyVideo),
       L"_(02).mkv", "vp8 vorbis"},
      {"convert VP8, video copied, MP4 ticked", From(Sample::VP8_VORBIS_WEBM), L"clip.webm",
       Job(JOB_CONVERT, copyVideoIntoMp4), L"_(02).mp4", "hevc aac"},
      {"convert a WMV, range copied", From(Sample::WMV_WMA), L"clip.wmv", Job(JOB_CONVERT, rangeCopy),
       L"_(02).mkv", "wmv2 wmav2", 1.0},
      {"extract VP8", From(Sample::VP8_VORBIS_WEBM), L"clip.webm", Job(JOB_VIDEO_EXTRACT), L"_(02).mkv",
       "vp8"},
      {"extract WMV", From(Sample::WMV_WMA), L"clip.wmv", Job(JOB_VIDEO_EXTRACT), L"_(02).mkv", "wmv2"},
      {"extract VP8, MP4 ticked", From(Sample::VP8_VORBIS_WEBM), L"clip.webm",
       Job(JOB_VIDEO_EXTRACT, [](JobSettings& s) { s.containerMp4 = true; }), L"_(02).mp4", "hevc"},
      {"extract PCM", From(Sample::PCM_WAV), L"voice.wav", Job(JOB_AUDIO_EXTRACT), L"_(02).WAV", "pcm_s16le"},
      {"extract FLAC", From(Sample::FLAC_ONLY), L"song.flac", Job(JOB_AUDIO_EXTRACT), L"_(02).FLAC", "flac"},
      {"extract WMA", From(Sample::WMV_WMA), L"clip.wmv", Job(JOB_AUDIO_EXTRACT), L"_(02).WMA", "wmav2"},
      {"extract Opus", From(Sample::VP9_OPUS_WEBM), L"clip.webm", Job(JOB_AUDIO_EXTRACT), L"_(02).OPUS",
       "opus"},
      {"extract Vorbis", From(Sample::VP8_VORBIS_WEBM), L"clip.webm", Job(JOB_AUDIO_EXTRACT), L"_(02).OGG",
       "vorbis"},
      {"extract MP2", From(Sample::MPEG2_MP2_PS), L"clip.mpg", Job(JOB_AUDIO_EXTRACT), L"_(02).MP2", "mp2"},
      {"extract three tracks",
       From(Sample::THREE_AUDIO_TWO_SUBS_MKV),
       L"movie.mkv",
       Job(JOB_AUDIO_EXTRACT),
       L"_(02).MKA",
       "aac aac aac",
       kSeconds,
       {"eng", "jpn", "fre"}},
      {"extract the second of three tracks", From(Sample::THREE_AUDIO_TWO_SUBS_MKV), L"movie.mkv",
       Job(JOB_AUDIO_EXTRACT, secondTrack), L"_(02).AAC", "aac"},
      {"extract big-endian PCM", From(bigEndianPcm), L"voice.mov", Job(JOB_AUDIO_EXTRACT), L"_(02).MKA",
       "pcm_s16be"},
      {"extract a codec the probe does not name", From(alac), L"song.m4a", Job(JOB_AUDIO_EXTRACT),
       L"_(02).MKA", "alac"},
  };
  for (const JobCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::wstring input = dir.File(c.input);
    ASSERT_TRUE(c.make(input));
    JobSettings settings;
    c.setup(settings);
    std::wstring cmdSet;
    CRunBuilds builds(settings, cmdSet);
    ASSERT_TRUE(builds.BuildCommand(input, nullptr, false));
    const std::wstring output = builds.LastOutputPath();
    SCOPED_TRACE(WideToUtf8(cmdSet));
    const std::wstring end = c.outputEnd;
    ASSERT_GE(output.size(), end.size());
    EXPECT_EQ(output.substr(output.size() - end.size()), end);
    ASSERT_EQ(RunCommandLine(cmdSet), 0);
    const Streams streams = ReadStreams(output);
    EXPECT_EQ(streams.codecs, c.streams);
    EXPECT_NEAR(streams.seconds, c.seconds, kTolerance);
    EXPECT_TRUE(Plays(output));
    if (!c.languages.empty()) {
      EXPECT_EQ(streams.languages, c.languages);
    }
  }
}

}  // namespace
