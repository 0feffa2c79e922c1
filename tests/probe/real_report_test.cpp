// The parser on MediaInfo's real text reports of media made at test time, checked against
// MediaInfo's JSON output of the same file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "probe/media_lengths.h"
#include "probe/report_parser.h"
#include "support/media_fixtures.h"
#include "support/mediainfo_json.h"
#include "support/temp_dir.h"

namespace {

// Under Wine the media tools are the bridge programs beside the test executable.
bool MissingTools(std::string& why) {
#ifdef _WIN32
  for (const wchar_t* tool : {L"ffmpeg.exe", L"mediainfo.exe"}) {
    if (!FileExists(GetProgramDir() + tool)) {
      why = "no " + std::string(tool, tool + std::wcslen(tool)) + " bridge beside the tests yet";
      return true;
    }
  }
#else
  (void)why;
#endif
  return false;
}

#define SKIP_WITHOUT_TOOLS()                    \
  do {                                          \
    std::string why;                            \
    if (MissingTools(why)) GTEST_SKIP() << why; \
  } while (0)

std::string MediaInfoOutput(const TempDir&, const std::vector<std::wstring>& args) {
  return CaptureProgramOutput(L"mediainfo", args);
}

// What one probe of a file yields: the parser's record and MediaInfo's JSON tracks.
struct Probe {
  bool parsed = false;
  MediaDesc media{};
  std::vector<MediaInfoTrack> tracks;
  std::string report;
};

// Runs mediainfo on path twice, as text (parsed through media.txt, as the probe runner does)
// and as JSON.
::testing::AssertionResult ProbeFile(const TempDir& dir, const std::wstring& path, Probe& probe) {
  probe.report = MediaInfoOutput(dir, {path});
  if (probe.report.empty()) return ::testing::AssertionFailure() << "mediainfo gave no text report";
  ResetMediaDesc(probe.media);
  SetMediaPath(probe.media, path);
  probe.parsed = ParseMediaReport(dir.Write(L"media.txt", probe.report), probe.media);
  std::string json = MediaInfoOutput(dir, {L"--Output=JSON", path});
  if (!ReadMediaInfoTracks(json, probe.tracks)) return ::testing::AssertionFailure() << "unreadable JSON";
  return ::testing::AssertionSuccess();
}

std::vector<const MediaInfoTrack*> TracksOf(const Probe& probe, const std::string& type) {
  std::vector<const MediaInfoTrack*> found;
  for (const MediaInfoTrack& track : probe.tracks)
    if (track.type == type) found.push_back(&track);
  return found;
}

// The report writes milliseconds rounded and the parser keeps the whole seconds.
int ReportSeconds(double seconds) { return static_cast<int>(std::floor(seconds + 0.0005)); }

int ExpectedVideoCodec(const std::string& format) {
  static const std::map<std::string, int> codes{
      {"AVC", VCODEC_H264}, {"HEVC", VCODEC_H265}, {"VP9", VCODEC_VP9},  {"VP8", VCODEC_VP8},
      {"GIF", VCODEC_GIF},  {"WMV2", VCODEC_WMV},  {"VC-1", VCODEC_VC1}, {"AV1", VCODEC_AV1}};
  auto found = codes.find(format);
  return found == codes.end() ? VCODEC_NONE : found->second;
}

// MPEG video and audio are told apart by their version and layer.
int ExpectedVideoCodec(const MediaInfoTrack& track) {
  if (track.Field("Format") == "MPEG Video")
    return track.Field("Format_Version") == "1" ? VCODEC_MPEG1 : VCODEC_MPEG2;
  return ExpectedVideoCodec(track.Field("Format"));
}

int ExpectedAudioCodec(const MediaInfoTrack& track) {
  static const std::map<std::string, int> codes{
      {"AAC", ACODEC_AAC},   {"AC-3", ACODEC_AC3}, {"E-AC-3", ACODEC_AC3},
      {"Opus", ACODEC_OPUS}, {"DTS", ACODEC_DTS},  {"Vorbis", ACODEC_OGG},
      {"FLAC", ACODEC_FLAC}, {"PCM", ACODEC_PCM},  {"WMA", ACODEC_WMA}};
  const std::string format = track.Field("Format");
  if (format == "MPEG Audio") {
    const std::string layer = track.Field("Format_Profile");
    return layer == "Layer 3" ? ACODEC_MP3 : layer == "Layer 2" ? ACODEC_MP2 : ACODEC_NONE;
  }
  auto found = codes.find(format);
  return found == codes.end() ? ACODEC_NONE : found->second;
}

// JSON gives ISO 639 codes where the text report names the language in English.
int ExpectedLanguage(const std::string& iso) {
  static const std::map<std::string, int> codes{
      {"ko", LANGUAGE_KOREAN},  {"en", LANGUAGE_ENGLISH}, {"ja", LANGUAGE_JAPANESE}, {"zh", LANGUAGE_CHINESE},
      {"es", LANGUAGE_SPANISH}, {"fr", LANGUAGE_FRENCH},  {"it", LANGUAGE_ITALIAN},  {"de", LANGUAGE_GERMAN}};
  auto found = codes.find(iso.substr(0, 2));
  return found == codes.end() ? LANGUAGE_NONE : found->second;
}

// Sizes are written with three significant digits; a size in plain bytes reads as KiB.
void ExpectSize(int64_t parsed, double bytes, const char* what) {
  if (bytes < 1024) {
    EXPECT_NEAR(static_cast<double>(parsed), bytes * 1024, 1024) << what;
  } else {
    EXPECT_NEAR(static_cast<double>(parsed), bytes, bytes * 0.006) << what;
  }
}

// Bit rates are written in kb/s with three significant digits; the parser keeps the integer part.
void ExpectBitRate(int parsed, double bitsPerSecond, const char* what) {
  double kilobits = bitsPerSecond / 1000;
  EXPECT_NEAR(parsed, kilobits, std::max(1.0, kilobits * 0.006)) << what;
}

// Compares everything the parser reads with the JSON of the same file.
void ExpectMatchesJson(const Probe& probe) {
  const MediaDesc& media = probe.media;
  std::vector<const MediaInfoTrack*> general = TracksOf(probe, "General");
  ASSERT_EQ(general.size(), 1u);
  ExpectSize(media.fileSize, general[0]->Number("FileSize"), "file size");
  EXPECT_EQ(media.durationSec, ReportSeconds(general[0]->Number("Duration"))) << "file duration";

  std::vector<const MediaInfoTrack*> video = TracksOf(probe, "Video");
  std::vector<const MediaInfoTrack*> image = TracksOf(probe, "Image");
  if (!video.empty()) {
    const MediaInfoTrack& track = *video.front();
    EXPECT_EQ(media.video.codec, ExpectedVideoCodec(track));
    EXPECT_EQ(media.video.width, static_cast<int>(track.Number("Width")));
    EXPECT_EQ(media.video.height, static_cast<int>(track.Number("Height")));
    EXPECT_NEAR(media.video.frameRate, track.Number("FrameRate"), 0.001);
    EXPECT_EQ(media.video.bitDepth, static_cast<int>(track.Number("BitDepth")));
    EXPECT_EQ(media.video.durationSec, ReportSeconds(track.Number("Duration"))) << "video duration";
    if (!track.Field("BitRate").empty()) ExpectBitRate(media.video.bitRate, track.Number("BitRate"), "video");
    if (!track.Field("StreamSize").empty())
      ExpectSize(media.video.streamSize, track.Number("StreamSize"), "video stream size");
  } else if (!image.empty()) {
    const MediaInfoTrack& track = *image.front();
    EXPECT_EQ(media.video.codec, ExpectedVideoCodec(track.Field("Format")));
    EXPECT_EQ(media.video.width, static_cast<int>(track.Number("Width")));
    EXPECT_EQ(media.video.height, static_cast<int>(track.Number("Height")));
  } else {
    EXPECT_EQ(media.video.width, 0);
    EXPECT_EQ(media.video.codec, VCODEC_NONE);
  }

  std::vector<const MediaInfoTrack*> audio = TracksOf(probe, "Audio");
  int described = std::min(static_cast<int>(audio.size()), MAX_AUDIO_TRACKS);
  ASSERT_EQ(media.audioCount, described);
  for (int i = 0; i < described; ++i) {
    SCOPED_TRACE("audio track " + std::to_string(i + 1));
    const MediaInfoTrack& track = *audio[i];
    const AudioTrackDesc& parsed = media.audio[i];
    EXPECT_EQ(parsed.codec, ExpectedAudioCodec(track));
    EXPECT_EQ(parsed.sampleRate, static_cast<int>(track.Number("SamplingRate")));
    EXPECT_EQ(parsed.channels, static_cast<int>(track.Number("Channels")));
    EXPECT_EQ(parsed.sampleRate, static_cast<int>(track.Number("SamplingRate")));
    EXPECT_EQ(parsed.language, ExpectedLanguage(track.Field("Language")));
    EXPECT_EQ(parsed.durationSec, ReportSeconds(track.Number("Duration")));
    if (!track.Field("StreamSize").empty())
      ExpectSize(parsed.streamSize, track.Number("StreamSize"), "audio");
    if (!track.Field("BitRate").empty()) {
      ExpectBitRate(parsed.bitRate, track.Number("BitRate"), "audio");
    } else if (track.Field("StreamSize").empty()) {
      EXPECT_EQ(parsed.bitRate, 0) << "no rate and no size to estimate one from";
    }
  }
  EXPECT_EQ(media.subtitleCount, static_cast<int>(TracksOf(probe, "Text").size()));
  EXPECT_EQ(probe.parsed, media.audioCount > 0 || media.video.width > 0);
}

struct SampleCase {
  Sample sample;
  const wchar_t* file;
  const char* name;
};

void PrintTo(const SampleCase& c, std::ostream* out) { *out << c.name; }

class RealReport : public ::testing::TestWithParam<SampleCase> {};

}  // namespace

// A length of the JSON (seconds with three decimals) in milliseconds; kLengthNotGiven when it
// gives none.
int64_t JsonMs(const MediaInfoTrack& track) {
  if (track.Field("Duration").empty()) return kLengthNotGiven;
  return static_cast<int64_t>(std::floor(track.Number("Duration") * 1000 + 0.5));
}

// Compares the measured lengths and stream counts with the JSON of the same file.
void ExpectLengthsMatchJson(const Probe& probe, const CMediaLengths& lengths) {
  std::vector<const MediaInfoTrack*> general = TracksOf(probe, "General");
  ASSERT_EQ(general.size(), 1u);
  EXPECT_TRUE(lengths.described);
  EXPECT_EQ(lengths.fileMs, JsonMs(*general[0]));
  std::vector<const MediaInfoTrack*> video = TracksOf(probe, "Video");
  std::vector<const MediaInfoTrack*> audio = TracksOf(probe, "Audio");
  EXPECT_EQ(lengths.videoCount, static_cast<int>(video.size() + TracksOf(probe, "Image").size()));
  EXPECT_EQ(lengths.audioCount, static_cast<int>(audio.size()));
  EXPECT_EQ(lengths.videoMs, video.empty() ? kLengthNotGiven : JsonMs(*video.front()));
  for (size_t i = 0; i < MAX_AUDIO_TRACKS; ++i)
    EXPECT_EQ(lengths.audioMs[i], i < audio.size() ? JsonMs(*audio[i]) : kLengthNotGiven)
        << "track " << i + 1;
}

TEST_P(RealReport, AgreesWithMediaInfoJson) {
  SKIP_WITHOUT_TOOLS();
  const SampleCase& c = GetParam();
  TempDir dir;
  std::wstring path = dir.File(c.file);
  ASSERT_TRUE(MakeSample(c.sample, path)) << "ffmpeg could not make " << c.name;
  Probe probe;
  ASSERT_TRUE(ProbeFile(dir, path, probe));
  ExpectMatchesJson(probe);
  if (HasFailure()) ADD_FAILURE() << "text report:\n" << probe.report;
  // The lengths to the millisecond, as MediaInfo's own template gives them; MediaInfo is the
  // program folder's, as for the program.
  EnterProgramDir();
  CMediaLengths lengths;
  EXPECT_TRUE(MeasureMediaFile(path, lengths));
  ExpectLengthsMatchJson(probe, lengths);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, RealReport,
    ::testing::Values(SampleCase{Sample::H264_AAC_MP4, L"clip.mp4", "H264_AAC_MP4"},
                      SampleCase{Sample::H265_AC3_51_MKV, L"clip.mkv", "H265_AC3_51_MKV"},
                      SampleCase{Sample::THREE_AUDIO_TWO_SUBS_MKV, L"three.mkv", "THREE_AUDIO_TWO_SUBS_MKV"},
                      SampleCase{Sample::VP9_OPUS_WEBM, L"clip.webm", "VP9_OPUS_WEBM"},
                      SampleCase{Sample::ANIMATED_GIF, L"clip.gif", "ANIMATED_GIF"},
                      SampleCase{Sample::MP3_ONLY, L"tone.mp3", "MP3_ONLY"},
                      SampleCase{Sample::SEVEN_AUDIO_MKV, L"seven.mkv", "SEVEN_AUDIO_MKV"},
                      SampleCase{Sample::TWELVE_AUDIO_MKV, L"twelve.mkv", "TWELVE_AUDIO_MKV"},
                      SampleCase{Sample::WMV_WMA, L"clip.wmv", "WMV_WMA"},
                      SampleCase{Sample::MPEG2_MP2_PS, L"clip.mpg", "MPEG2_MP2_PS"},
                      SampleCase{Sample::VP8_VORBIS_WEBM, L"vp8.webm", "VP8_VORBIS_WEBM"},
                      SampleCase{Sample::FLAC_ONLY, L"song.flac", "FLAC_ONLY"},
                      SampleCase{Sample::PCM_WAV, L"voice.wav", "PCM_WAV"}),
    [](const ::testing::TestParamInfo<SampleCase>& info) { return std::string(info.param.name); });

// The JSON cross-check above says nothing when both sides miss a field; these pin the values the
// rest of the program relies on.
TEST(RealReport, KnownValuesOfTheSamples) {
  SKIP_WITHOUT_TOOLS();
  TempDir dir;
  Probe probe;

  ASSERT_TRUE(MakeSample(Sample::H265_AC3_51_MKV, dir.File(L"ac3.mkv")));
  ASSERT_TRUE(ProbeFile(dir, dir.File(L"ac3.mkv"), probe));
  EXPECT_TRUE(probe.parsed);
  EXPECT_EQ(probe.media.video.codec, VCODEC_H265);
  EXPECT_EQ(probe.media.video.width, 320);
  EXPECT_EQ(probe.media.video.height, 240);
  EXPECT_EQ(probe.media.durationSec, 2);
  ASSERT_EQ(probe.media.audioCount, 1);
  EXPECT_EQ(probe.media.audio[0].codec, ACODEC_AC3);
  EXPECT_EQ(probe.media.audio[0].channels, 6);
  EXPECT_EQ(probe.media.audio[0].language, LANGUAGE_KOREAN);
  EXPECT_EQ(probe.media.audio[0].bitRate, 448);

  ASSERT_TRUE(MakeSample(Sample::THREE_AUDIO_TWO_SUBS_MKV, dir.File(L"three.mkv")));
  ASSERT_TRUE(ProbeFile(dir, dir.File(L"three.mkv"), probe));
  ASSERT_EQ(probe.media.audioCount, 3);
  EXPECT_EQ(probe.media.audio[0].language, LANGUAGE_ENGLISH);
  EXPECT_EQ(probe.media.audio[1].language, LANGUAGE_JAPANESE);
  EXPECT_EQ(probe.media.audio[2].language, LANGUAGE_FRENCH);
  EXPECT_EQ(probe.media.subtitleCount, 2);

  ASSERT_TRUE(MakeSample(Sample::ANIMATED_GIF, dir.File(L"anim.gif")));
  ASSERT_TRUE(ProbeFile(dir, dir.File(L"anim.gif"), probe));
  EXPECT_TRUE(probe.parsed);
  EXPECT_EQ(probe.media.video.codec, VCODEC_GIF);
  EXPECT_EQ(probe.media.video.width, 160);
  EXPECT_EQ(probe.media.audioCount, 0);

  ASSERT_TRUE(MakeSample(Sample::MP3_ONLY, dir.File(L"tone.mp3")));
  ASSERT_TRUE(ProbeFile(dir, dir.File(L"tone.mp3"), probe));
  EXPECT_TRUE(probe.parsed);
  EXPECT_EQ(probe.media.video.width, 0);
  ASSERT_EQ(probe.media.audioCount, 1);
  EXPECT_EQ(probe.media.audio[0].codec, ACODEC_MP3);
  EXPECT_EQ(probe.media.audio[0].bitRate, 192);
}

TEST(RealReport, TwelveTracksDescribeTheFirstTenUntouched) {
  SKIP_WITHOUT_TOOLS();
  TempDir dir;
  Probe probe;
  ASSERT_TRUE(MakeSample(Sample::TWELVE_AUDIO_MKV, dir.File(L"twelve.mkv")));
  ASSERT_TRUE(ProbeFile(dir, dir.File(L"twelve.mkv"), probe));
  ASSERT_NE(probe.report.find("Audio #12"), std::string::npos);
  EXPECT_TRUE(probe.parsed);
  ASSERT_EQ(probe.media.audioCount, MAX_AUDIO_TRACKS);
  // Tracks 11 and 12 are 5.1; had they been written over tracks 1 and 2, 6 would show there.
  for (int i = 0; i < MAX_AUDIO_TRACKS; ++i)
    EXPECT_EQ(probe.media.audio[i].channels, i % 2 == 0 ? 1 : 2) << i;
}

TEST(RealReport, HangulInTheReportLeavesTheRestReadable) {
  // The Windows build reads MediaInfo's UTF-8 in the ANSI code page (949 under a Korean
  // locale), so the title below arrives as other characters; keys and figures are ASCII.
  SKIP_WITHOUT_TOOLS();
  TempDir dir;
  ASSERT_TRUE(MakeSample(Sample::H265_AC3_51_MKV, dir.File(L"plain.mkv")));
  std::wstring metadata = dir.Write(L"meta.txt",
                                    ";FFMETADATA1\ntitle=\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 "
                                    "\xEC\xA0\x9C\xEB\xAA\xA9 \xEA\xB0\x80\xEB\x82\x98"
                                    "A\n");
  std::wstring titled = dir.File(L"titled.mkv");
  ASSERT_TRUE(RunFfmpeg({L"-i", dir.File(L"plain.mkv"), L"-i", metadata, L"-map_metadata", L"1", L"-map",
                         L"0", L"-c", L"copy", titled}));
  Probe probe;
  ASSERT_TRUE(ProbeFile(dir, titled, probe));
  ASSERT_NE(probe.report.find("\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4"), std::string::npos)
      << "the report should carry the Hangul title";
  ExpectMatchesJson(probe);
  EXPECT_EQ(probe.media.audio[0].language, LANGUAGE_KOREAN);
}

TEST(MediaInfoJson, ReadsWhatMediaInfoWrites) {
  const std::string json =
      "{\"media\": {\"@ref\": \"a\\\\b \\\"c\\\".mkv\", \"track\": [\n"
      "  {\"@type\": \"General\", \"FileSize\": \"123382\", \"extra\": {\"x\": \"1\"}},\n"
      "  {\"@type\": \"Audio\", \"Title\": \"\\uD55C\\uAD6D \\ud83c\\udfb5\", \"Channels\": \"6\","
      " \"n\": -1.5e2, \"t\": true, \"z\": null, \"list\": []}]}}";
  std::vector<MediaInfoTrack> tracks;
  ASSERT_TRUE(ReadMediaInfoTracks(json, tracks));
  ASSERT_EQ(tracks.size(), 2u);
  EXPECT_EQ(tracks[0].type, "General");
  EXPECT_EQ(tracks[0].Number("FileSize"), 123382.0);
  EXPECT_EQ(tracks[0].Field("extra"), "") << "nested objects are left out";
  EXPECT_EQ(tracks[1].Field("Title"), "\xED\x95\x9C\xEA\xB5\xAD \xF0\x9F\x8E\xB5");
  EXPECT_EQ(tracks[1].Number("Channels"), 6.0);
  EXPECT_EQ(tracks[1].Number("Title"), 0.0);
  EXPECT_EQ(tracks[1].Field("missing"), "");

  CJsonValue root;
  ASSERT_TRUE(ParseJson(json, root));
  EXPECT_EQ(root.Find("media")->Find("@ref")->text, "a\\b \"c\".mkv");
  const CJsonValue& audio = root.Find("media")->Find("track")->items[1];
  EXPECT_EQ(audio.Find("n")->number, -150.0);
  EXPECT_TRUE(audio.Find("t")->boolean);
  EXPECT_EQ(audio.Find("z")->kind, CJsonValue::JSON_NULL);
  EXPECT_EQ(audio.Find("list")->kind, CJsonValue::JSON_ARRAY);
}

TEST(MediaInfoJson, RejectsWhatIsNotJson) {
  const std::string deep(200, '[');
  const char* bad[] = {"",
                       "{",
                       "{\"a\": }",
                       "{\"a\" 1}",
                       "[1, 2",
                       "\"open",
                       "{\"a\": 01x}",
                       "[1] [2]",
                       "{\"a\": \"\\q\"}",
                       "\"\\ud800\"",
                       "tru",
                       "{\"a\": \"\x01\"}",
                       "-",
                       "1.",
                       deep.c_str()};
  for (const char* text : bad) {
    CJsonValue value;
    value.text = "kept";
    EXPECT_FALSE(ParseJson(text, value)) << text;
    EXPECT_EQ(value.text, "kept");
  }
  std::vector<MediaInfoTrack> tracks(1);
  EXPECT_FALSE(ReadMediaInfoTracks("{\"creatingLibrary\": {}}", tracks));
  EXPECT_EQ(tracks.size(), 1u);
}
