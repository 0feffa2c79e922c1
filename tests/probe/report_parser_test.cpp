#include "probe/report_parser.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/text.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"

namespace {

// One report line as MediaInfo lays it out: the key padded so the colons line up.
std::string Row(const std::string& key, const std::string& value) {
  std::string line = key;
  if (line.size() < 41) line.append(41 - line.size(), ' ');
  return line + ": " + value + "\n";
}

std::string Header(const std::string& name) { return name + "\n"; }

// Every figure of the record, in field order, for whole-record comparisons that ignore padding.
std::vector<double> Figures(const MediaDesc& media);

// Writes the report to media.txt in a fresh folder and parses it. The same report parsed from
// memory (its traces kept apart) must give the same answer and record: reading the file is all
// that ParseMediaReport adds.
bool ParseText(const std::string& report, MediaDesc& media) {
  MediaDesc fromMemory = media;
  bool parsedFromMemory = false;
  {
    TraceCapture aside;
    parsedFromMemory = ParseMediaReportText(report, fromMemory);
  }
  TempDir dir;
  bool parsed = ParseMediaReport(dir.Write(L"media.txt", report), media);
  EXPECT_EQ(parsedFromMemory, parsed);
  EXPECT_EQ(Figures(fromMemory), Figures(media));
  EXPECT_STREQ(fromMemory.filePath, media.filePath);
  return parsed;
}

// Feeds one "key : value" line (or a header) to MediaLineMatch.
int Feed(const std::wstring& text, int section, MediaDesc& media) {
  ReportLine line;
  SplitReportLine(text, line);
  return MediaLineMatch(line, section, media);
}

MediaDesc Fresh() {
  MediaDesc media;
  ResetMediaDesc(media);
  return media;
}

template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);  // embedded NULs included
}

// Every figure of the record, in field order, for whole-record comparisons that ignore padding.
std::vector<double> Figures(const MediaDesc& media) {
  std::vector<double> out{static_cast<double>(media.fileSize),
                          static_cast<double>(media.durationSec),
                          static_cast<double>(media.video.streamSize),
                          static_cast<double>(media.video.durationSec),
                          static_cast<double>(media.video.codec),
                          static_cast<double>(media.video.bitRate),
                          static_cast<double>(media.video.width),
                          static_cast<double>(media.video.height),
                          media.video.frameRate,
                          static_cast<double>(media.video.bitDepth)};
  for (const AudioTrackDesc& track : media.audio) {
    out.insert(out.end(), {static_cast<double>(track.streamSize), static_cast<double>(track.durationSec),
                           static_cast<double>(track.codec), static_cast<double>(track.bitRate),
                           static_cast<double>(track.channels), static_cast<double>(track.language),
                           static_cast<double>(track.sampleRate), static_cast<double>(track.bitDepth),
                           static_cast<double>(track.sampleFormat)});
  }
  out.push_back(media.audioCount);
  out.push_back(media.subtitleCount);
  return out;
}

// Unset but for the path.
bool IsAllZero(const MediaDesc& media, const std::wstring& path = L"") {
  return media.filePath == path && Figures(media) == Figures(Fresh());
}

}  // namespace

TEST(SplitReportLine, CutsKeyValueAndLeadingNumber) {
  struct Case {
    const wchar_t* line;
    const wchar_t* key;
    const wchar_t* value;
    int number;
  } cases[] = {
      {L"Width                                    : 1 920 pixels", L"Width", L"1 920 pixels", 1920},
      {L"Bit rate                                 : 5 000 kb/s", L"Bit rate", L"5 000 kb/s", 5000},
      {L"Bit rate : 12.5 Mb/s", L"Bit rate", L"12.5 Mb/s", 12},
      {L"Channel(s) : 6 channels", L"Channel(s)", L"6 channels", 6},
      {L"Delay relative to video : -23 ms", L"Delay relative to video", L"-23 ms", -23},
      {L"Count : +7", L"Count", L"+7", 7},
      {L"Format : AAC LC", L"Format", L"AAC LC", 0},
      // The first colon splits; later ones belong to the value.
      {L"Encoded date : 2023-01-01 12:00:00", L"Encoded date", L"2023-01-01 12:00:00", 2023},
      {L"\tGeneral  ", L"General", L"", 0},
      {L"  Audio #2", L"Audio #2", L"", 0},
      {L"", L"", L"", 0},
      {L"X", L"", L"", 0},  // a single character is no line
      {L"Title :", L"Title", L"", 0},
      {L"Title : ", L"Title", L"", 0},
      {L"Key:X", L"Key", L"", 0},  // the character after the colon is always skipped
      {L"Key:XY", L"Key", L"Y", 0},
      {L": 42", L"", L"42", 42},
      {L"Width : 99999999999999999999 pixels", L"Width", L"99999999999999999999 pixels", INT_MAX},
      {L"Width : -99999999999999999999", L"Width", L"-99999999999999999999", INT_MIN},
      {L"Width : 2147483647", L"Width", L"2147483647", INT_MAX},
      {L"Width : 2147483648", L"Width", L"2147483648", INT_MAX},
      {L"Width : -2147483648", L"Width", L"-2147483648", INT_MIN},
  };
  for (const Case& c : cases) {
    ReportLine out{L"old", L"old", 99};
    SplitReportLine(c.line, out);
    EXPECT_EQ(out.key, c.key) << c.line;
    EXPECT_EQ(out.value, c.value) << c.line;
    EXPECT_EQ(out.number, c.number) << c.line;
  }
}

TEST(MediaLineMatch, HeadersSelectSectionsByCaseInsensitivePrefix) {
  struct Case {
    const wchar_t* header;
    int before;
    int countBefore;
    int after;
    int countAfter;
  } cases[] = {
      {L"General", SECTION_NONE, 0, SECTION_GENERAL, 0},
      {L"video", SECTION_GENERAL, 0, SECTION_VIDEO, 0},
      {L"Image", SECTION_GENERAL, 0, SECTION_IMAGE, 0},
      {L"Text #2", SECTION_TEXT, 0, SECTION_TEXT, 0},
      {L"TEXT", SECTION_VIDEO, 0, SECTION_TEXT, 0},
      {L"Menu", SECTION_TEXT, 0, SECTION_TEXT, 0},  // unknown headers keep the section before
      {L"Chapters", SECTION_VIDEO, 0, SECTION_VIDEO, 0},
      {L"Audio", SECTION_VIDEO, 0, SECTION_AUDIO_FIRST, 1},
      {L"Audio #1", SECTION_VIDEO, 0, SECTION_AUDIO_FIRST, 1},
      {L"Audio #2", SECTION_AUDIO_FIRST, 1, 12, 2},
      {L"Audio #2", SECTION_VIDEO, 0, 12, 2},  // a first header numbered 2 still is track 2
      {L"Audio #1", 13, 3, SECTION_AUDIO_FIRST, 1},
      {L"Audio #9", 18, 8, 19, 9},
      {L"Audio #10", 19, 9, SECTION_AUDIO_LAST, 10},
      {L"Audio #11", SECTION_AUDIO_LAST, 10, SECTION_AUDIO_BEYOND, 10},
      {L"Audio #99999999999999", SECTION_AUDIO_LAST, 10, SECTION_AUDIO_BEYOND, 10},
      // An unnumbered header after numbered ones reads as track 0 and selects nothing.
      {L"Audio", 13, 3, 10, 0},
  };
  for (const Case& c : cases) {
    MediaDesc media = Fresh();
    media.audioCount = c.countBefore;
    EXPECT_EQ(Feed(c.header, c.before, media), c.after) << c.header;
    EXPECT_EQ(media.audioCount, c.countAfter) << c.header;
  }
}

TEST(MediaLineMatch, SectionsThatSelectNothingStoreNothing) {
  const wchar_t* lines[] = {L"Width : 1 920 pixels", L"Format : AAC",   L"ID : 3",
                            L"File size : 1 MiB",    L"Duration : 1 h", L"Channel(s) : 2 channels"};
  for (int section : {static_cast<int>(SECTION_NONE), 10, static_cast<int>(SECTION_AUDIO_BEYOND), 4, 31, -5,
                      INT_MAX, INT_MIN}) {
    MediaDesc media = Fresh();
    for (const wchar_t* line : lines) EXPECT_EQ(Feed(line, section, media), section);
    EXPECT_TRUE(IsAllZero(media)) << section;
  }
}

TEST(MediaLineMatch, GeneralSizeRule) {
  struct Case {
    const wchar_t* value;
    int64_t bytes;
  } cases[] = {
      {L"1.36 GiB", 1460288880},
      {L"700 MiB", 734003200},
      {L"867 Bytes", 887808},  // no unit word counts as KiB
      {L"51.5 KiB", 52736},
      {L"2.5 TiB", 2560},
      {L"1 234 MiB", 1048576},  // the figure stops at the blank
      {L"unknown", 0},
      {L"-1 KiB", -1024},
      {L"1e300 GiB", INT64_MAX},
      {L"-1e300 GiB", INT64_MIN},
      {L"99999999999999999999999999999999 GiB", INT64_MAX},
      {L"inf GiB", 0},
      {L"nan MiB", 0},
      {L".5 MiB", 524288},
      {L"2e1 KiB", 20480},
  };
  for (const Case& c : cases) {
    MediaDesc media = Fresh();
    Feed(std::wstring(L"File size : ") + c.value, SECTION_GENERAL, media);
    EXPECT_EQ(media.fileSize, c.bytes) << c.value;
  }
}

TEST(MediaLineMatch, GeneralDurationRuleAndItsTrace) {
  struct Case {
    const wchar_t* value;
    int seconds;
    const wchar_t* trace;
  } cases[] = {
      {L"1 h 25 min", 5100, L"시간 = Duration, 1 H 25 MIN,  1/25/0 , 5100"},
      {L"2 min 5 s", 125, L"시간 = Duration, 2 MIN 5 S,  0/2/5 , 125"},
      {L"45 s 120 ms", 45, L"시간 = Duration, 45 S 120 MS,  0/0/45 , 45"},
      // Amounts are read from three characters before the unit: a third digit is lost.
      {L"125 min", 1500, L"시간 = Duration, 125 MIN,  0/25/0 , 1500"},
      {L"2 s 0 ms", 2, L"시간 = Duration, 2 S 0 MS,  0/0/2 , 2"},
      {L"10 min 15 s", 615, L"시간 = Duration, 10 MIN 15 S,  0/10/15 , 615"},
      {L"12 h 3 min", 43380, L"시간 = Duration, 12 H 3 MIN,  12/3/0 , 43380"},
      {L"s 5", 0, L"시간 = Duration, S 5,  0/0/0 , 0"},  // a unit at the start has no amount
      {L"999999999999 h", 356400, L"시간 = Duration, 999999999999 H,  99/0/0 , 356400"},
      // No value makes the line a header too, but one that names no section: it is still
      // matched as General's "Duration".
      {L"", 0, L"시간 = Duration, ,  0/0/0 , 0"},
  };
  for (const Case& c : cases) {
    TraceCapture trace;
    MediaDesc media = Fresh();
    Feed(std::wstring(L"Duration : ") + c.value, SECTION_GENERAL, media);
    EXPECT_EQ(media.durationSec, c.seconds) << c.value;
    ASSERT_EQ(trace.Lines().size(), 1u) << c.value;
    EXPECT_EQ(trace.Lines()[0], std::wstring(c.trace) + L"\n");
  }
}

TEST(MediaLineMatch, VideoFigures) {
  MediaDesc media = Fresh();
  const wchar_t* lines[] = {L"Bit rate : 12.5 Mb/s",      L"Width : 1 920 pixels",
                            L"Height : 1 080 pixels",     L"Frame rate : 23.976 (24000/1001) FPS",
                            L"Bit depth : 10 bits",       L"Stream size : 1.21 GiB (91%)",
                            L"Duration : 1 h 25 min",     L"Original width : 24 676 pixels",
                            L"Maximum bit rate : 40 Mb/s"};
  for (const wchar_t* line : lines) EXPECT_EQ(Feed(line, SECTION_VIDEO, media), SECTION_VIDEO);
  EXPECT_EQ(media.video.bitRate, 12);
  EXPECT_EQ(media.video.width, 1920);
  EXPECT_EQ(media.video.height, 1080);
  EXPECT_DOUBLE_EQ(media.video.frameRate, 23.976);
  EXPECT_EQ(media.video.bitDepth, 10);
  EXPECT_EQ(media.video.streamSize, 1299227607);
  EXPECT_EQ(media.video.durationSec, 5100);
  EXPECT_EQ(media.durationSec, 0) << "only General's duration is the file's";

  Feed(L"Frame rate : Variable", SECTION_VIDEO, media);
  EXPECT_EQ(media.video.frameRate, 0.0);
}

TEST(MediaLineMatch, VideoFormatComesBeforeCodecId) {
  struct Case {
    std::vector<const wchar_t*> lines;
    int codec;
  } cases[] = {
      {{L"Format : MPEG-4 Visual", L"Codec ID : XVID"}, VCODEC_XVID},
      {{L"Format : AVC", L"Codec ID : XVID"}, VCODEC_H264},
      {{L"Format : AVC", L"Codec ID : V_MPEGH/ISO/HEVC"}, VCODEC_H264},
      {{L"Codec ID : DX50"}, VCODEC_DX50},
      {{L"Codec ID : V_MPEGH/ISO/HEVC"}, VCODEC_H265},
      {{L"Codec ID : avc1"}, VCODEC_H264},
      {{L"Format : HEVC"}, VCODEC_H265},
      {{L"Format : VP9"}, VCODEC_VP9},
      {{L"Format : VP8"}, VCODEC_VP8},
      {{L"Format : VP7"}, VCODEC_NONE},  // VP7 is known to images only
      {{L"Format : ProRes", L"Codec ID : apch"}, VCODEC_NONE},
      {{L"Format : AVC", L"Format : ProRes"}, VCODEC_H264},  // no match leaves the codec
      // Formats a copy must know; MPEG-4 Visual is refined by its codec ID.
      {{L"Format : MPEG-4 Visual", L"Codec ID : mp4v-20"}, VCODEC_MPEG4},
      {{L"Format : MPEG-4 Visual", L"Codec ID : MP43"}, VCODEC_MSMPEG4},
      {{L"Format : xvid", L"Codec ID : xvid"}, VCODEC_XVID},
      {{L"Format : MPEG Video", L"Format version : Version 2"}, VCODEC_MPEG2},
      {{L"Format : MPEG Video", L"Format version : Version 1"}, VCODEC_MPEG1},
      {{L"Format : VC-1", L"Codec ID : WMV3"}, VCODEC_VC1},
      {{L"Format : WMV2"}, VCODEC_WMV},
      {{L"Format : AV1"}, VCODEC_AV1},
      {{L"Format : vp09"}, VCODEC_VP9},
      {{L"Format : JPEG"}, VCODEC_MJPEG},
      {{L"Format : JPEG 2000"}, VCODEC_NONE},
      {{L"Format : HEVC", L"Codec ID : MP43"}, VCODEC_H265},
  };
  for (const Case& c : cases) {
    MediaDesc media = Fresh();
    for (const wchar_t* line : c.lines) Feed(line, SECTION_VIDEO, media);
    EXPECT_EQ(media.video.codec, c.codec) << c.lines[0];
  }
}

TEST(MediaLineMatch, ImageFormatAndSize) {
  struct Case {
    const wchar_t* format;
    int codec;
  } cases[] = {{L"GIF", VCODEC_GIF}, {L"VP7", VCODEC_VP7}, {L"AVC", VCODEC_H264}, {L"HEVC", VCODEC_H265},
               {L"VP9", VCODEC_VP9}, {L"VP8", VCODEC_VP8}, {L"PNG", VCODEC_NONE}, {L"JPEG", VCODEC_NONE}};
  for (const Case& c : cases) {
    MediaDesc media = Fresh();
    Feed(std::wstring(L"Format : ") + c.format, SECTION_IMAGE, media);
    EXPECT_EQ(media.video.codec, c.codec) << c.format;
  }
  MediaDesc media = Fresh();
  Feed(L"Width : 160 pixels", SECTION_IMAGE, media);
  Feed(L"Height : 120 pixels", SECTION_IMAGE, media);
  Feed(L"Bit depth : 8 bits", SECTION_IMAGE, media);
  EXPECT_EQ(media.video.width, 160);
  EXPECT_EQ(media.video.height, 120);
  EXPECT_EQ(media.video.bitDepth, 0) << "images read only format and size";
}

TEST(MediaLineMatch, AudioFormatsByFirstMatch) {
  struct Case {
    const wchar_t* format;
    int codec;
  } cases[] = {
      {L"DTS", ACODEC_DTS},        {L"DTS XLL", ACODEC_DTS}, {L"AC-3", ACODEC_AC3},
      {L"E-AC-3", ACODEC_AC3},     {L"AAC LC", ACODEC_AAC},  {L"Opus", ACODEC_OPUS},
      {L"MPEG Audio", ACODEC_MP3}, {L"Ogg", ACODEC_OGG},     {L"Vorbis", ACODEC_OGG},
      {L"PCM", ACODEC_PCM},        {L"FLAC", ACODEC_FLAC},   {L"aac", ACODEC_AAC},
      {L"WMA", ACODEC_WMA},        {L"ADPCM", ACODEC_NONE},  {L"ALAC", ACODEC_NONE},
      {L"AAC / AC-3", ACODEC_AC3},  // the word earlier in the list wins, not the one earlier in the value
  };
  for (const Case& c : cases) {
    MediaDesc media = Fresh();
    Feed(std::wstring(L"Format : ") + c.format, SECTION_AUDIO_FIRST, media);
    EXPECT_EQ(media.audio[0].codec, c.codec) << c.format;
  }
}

TEST(MediaLineMatch, AudioLanguagesByFirstMatch) {
  struct Case {
    const wchar_t* language;
    int code;
  } cases[] = {
      {L"Korean", LANGUAGE_KOREAN},       {L"English", LANGUAGE_ENGLISH},
      {L"Japanese", LANGUAGE_JAPANESE},   {L"Chinese", LANGUAGE_CHINESE},
      {L"Spanish", LANGUAGE_SPANISH},     {L"French", LANGUAGE_FRENCH},
      {L"Italian", LANGUAGE_ITALIAN},     {L"German", LANGUAGE_GERMAN},
      {L"Portuguese", LANGUAGE_NONE},     {L"English (US)", LANGUAGE_ENGLISH},
      {L"Swiss German", LANGUAGE_GERMAN}, {L"English / Korean", LANGUAGE_KOREAN},
  };
  for (const Case& c : cases) {
    MediaDesc media = Fresh();
    Feed(std::wstring(L"Language : ") + c.language, 13, media);
    EXPECT_EQ(media.audio[2].language, c.code) << c.language;
  }
}

TEST(MediaLineMatch, AudioFiguresGoToTheSectionsTrackAndAreTraced) {
  TraceCapture trace;
  MediaDesc media = Fresh();
  const wchar_t* lines[] = {L"Channel(s) : 6 channels", L"Bit rate : 1 536 kb/s",
                            L"Stream size : 110 KiB (92%)", L"Duration : 2 min 5 s", L"ID : 2"};
  for (const wchar_t* line : lines) EXPECT_EQ(Feed(line, 12, media), 12);
  const AudioTrackDesc& track = media.audio[1];
  EXPECT_EQ(track.channels, 6);
  EXPECT_EQ(track.bitRate, 1536);
  EXPECT_EQ(track.streamSize, 110 * 1024);
  EXPECT_EQ(track.durationSec, 125);
  EXPECT_EQ(media.audio[0].channels, 0);
  EXPECT_EQ(media.subtitleCount, 0);
  EXPECT_EQ(trace.Count(L"MediaLineMatch- AUDIO- 12, 1"), 5u);
  EXPECT_EQ(trace.Lines().size(), 5u);
}

// What decides which file holds a copy of a track: the MPEG audio layer, the sample rate and
// PCM's layout.
TEST(MediaLineMatch, AudioLayerRateAndSampleLayout) {
  struct Case {
    std::vector<const wchar_t*> lines;
    std::vector<int> expected;  // codec, sample rate, bit depth, sample format
  } cases[] = {
      {{L"Format : MPEG Audio", L"Format version : Version 1", L"Format profile : Layer 3"},
       {ACODEC_MP3, 0, 0, 0}},
      {{L"Format : MPEG Audio", L"Format profile : Layer 2", L"Sampling rate : 48.0 kHz"},
       {ACODEC_MP2, 48000, 0, 0}},
      {{L"Format : AAC LC", L"Format profile : Layer 2"}, {ACODEC_AAC, 0, 0, 0}},
      {{L"Format : MPEG Audio", L"Sampling rate : 8 000 Hz"}, {ACODEC_MP3, 8000, 0, 0}},
      {{L"Format : WMA", L"Sampling rate : 22.05 kHz", L"Bit depth : 16 bits"}, {ACODEC_WMA, 22050, 16, 0}},
      {{L"Format : PCM", L"Format settings : Little / Signed", L"Sampling rate : 11.025 kHz"},
       {ACODEC_PCM, 11025, 0, 0}},
      {{L"Format : PCM", L"Format settings : Big / Signed", L"Bit depth : 24 bits"},
       {ACODEC_PCM, 0, 24, SAMPLE_BIG_ENDIAN}},
      {{L"Format : PCM", L"Format settings : Unsigned", L"Bit depth : 8 bits"},
       {ACODEC_PCM, 0, 8, SAMPLE_UNSIGNED}},
      {{L"Format : PCM", L"Format profile : Float", L"Format settings : Big"},
       {ACODEC_PCM, 0, 0, SAMPLE_FLOAT | SAMPLE_BIG_ENDIAN}},
      {{L"Format : PCM", L"Format settings : Big / Signed", L"Codec ID : fl32"},
       {ACODEC_PCM, 0, 0, SAMPLE_FLOAT | SAMPLE_BIG_ENDIAN}},
      {{L"Format : PCM", L"Codec ID : A_PCM/FLOAT/IEEE"}, {ACODEC_PCM, 0, 0, SAMPLE_FLOAT}},
      {{L"Format : AC-3", L"Sampling rate : 48.0 kHz / 24.0 kHz"}, {ACODEC_AC3, 48000, 0, 0}},
      {{L"Format : AC-3", L"Sampling rate : unknown"}, {ACODEC_AC3, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lines[0] << ", " << c.lines[1]);
    MediaDesc media = Fresh();
    for (const wchar_t* line : c.lines) Feed(line, SECTION_AUDIO_FIRST, media);
    const AudioTrackDesc& track = media.audio[0];
    EXPECT_EQ(std::vector<int>({track.codec, track.sampleRate, track.bitDepth, track.sampleFormat}),
              c.expected);
  }
}

TEST(MediaLineMatch, TextSectionsCountIdLines) {
  MediaDesc media = Fresh();
  Feed(L"ID : 5", SECTION_TEXT, media);
  Feed(L"Format : UTF-8", SECTION_TEXT, media);
  Feed(L"Unique ID : 123", SECTION_TEXT, media);
  Feed(L"ID : 6", SECTION_TEXT, media);
  EXPECT_EQ(media.subtitleCount, 2);
  EXPECT_EQ(media.video.codec, 0);
}

TEST(ParseMediaReport, ReadsAWholeReport) {
  std::string report =
      Header("General") + Row("Complete name", "C:\\v\\clip.mp4") + Row("File size", "700 MiB") +
      Row("Duration", "1 h 25 min") + Row("Overall bit rate", "1 152 kb/s") + "\n" + Header("Video") +
      Row("ID", "1") + Row("Format", "AVC") + Row("Codec ID", "avc1") + Row("Duration", "1 h 25 min") +
      Row("Bit rate", "1 000 kb/s") + Row("Width", "1 920 pixels") + Row("Height", "1 080 pixels") +
      Row("Frame rate", "25.000 FPS") + Row("Bit depth", "8 bits") + Row("Stream size", "608 MiB (87%)") +
      "\n" + Header("Audio") + Row("ID", "2") + Row("Format", "AAC LC") + Row("Duration", "1 h 25 min") +
      Row("Bit rate", "192 kb/s") + Row("Channel(s)", "2 channels") + Row("Stream size", "91.7 MiB (13%)") +
      "\n\n";
  TraceCapture trace;
  MediaDesc media = Fresh();
  SetMediaPath(media, L"C:\\v\\clip.mp4");
  ASSERT_TRUE(ParseText(report, media));
  EXPECT_STREQ(media.filePath, L"C:\\v\\clip.mp4");
  EXPECT_EQ(media.fileSize, 734003200);
  EXPECT_EQ(media.durationSec, 5100);
  EXPECT_EQ(media.video.codec, VCODEC_H264);
  EXPECT_EQ(media.video.width, 1920);
  EXPECT_EQ(media.video.height, 1080);
  EXPECT_EQ(media.video.bitRate, 1000);
  EXPECT_DOUBLE_EQ(media.video.frameRate, 25.0);
  EXPECT_EQ(media.video.bitDepth, 8);
  EXPECT_EQ(media.video.durationSec, 5100);
  EXPECT_EQ(media.video.streamSize, 608LL * 1024 * 1024);
  EXPECT_EQ(media.audioCount, 1);
  EXPECT_EQ(media.audio[0].codec, ACODEC_AAC);
  EXPECT_EQ(media.audio[0].bitRate, 192);
  EXPECT_EQ(media.audio[0].channels, 2);
  EXPECT_EQ(media.subtitleCount, 0);

  // The traces, in order: the line count, General's duration, then one per audio line.
  std::vector<std::wstring> lines = trace.Lines();
  ASSERT_EQ(lines.size(), 2u + 7u);
  EXPECT_EQ(lines[0], L"count = 27\n");
  EXPECT_EQ(lines[1], L"시간 = Duration, 1 H 25 MIN,  1/25/0 , 5100\n");
  for (size_t i = 2; i < lines.size(); ++i) EXPECT_EQ(lines[i], L"MediaLineMatch- AUDIO- 11, 0\n");
}

TEST(ParseMediaReport, NumberedAudioTracksFillTheirEntries) {
  std::string report = Header("General") + Row("File size", "1 MiB");
  const char* languages[] = {"English", "Japanese", "French"};
  for (int n = 1; n <= 3; ++n) {
    report += "\n" + Header("Audio #" + std::to_string(n)) + Row("Format", n == 2 ? "AC-3" : "AAC LC") +
              Row("Channel(s)", std::to_string(n * 2) + " channels") + Row("Language", languages[n - 1]) +
              Row("Bit rate", std::to_string(100 * n) + " kb/s");
  }
  MediaDesc media = Fresh();
  ASSERT_TRUE(ParseText(report, media));
  ASSERT_EQ(media.audioCount, 3);
  const int codecs[] = {ACODEC_AAC, ACODEC_AC3, ACODEC_AAC};
  const int codes[] = {LANGUAGE_ENGLISH, LANGUAGE_JAPANESE, LANGUAGE_FRENCH};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(media.audio[i].codec, codecs[i]) << i;
    EXPECT_EQ(media.audio[i].channels, (i + 1) * 2) << i;
    EXPECT_EQ(media.audio[i].language, codes[i]) << i;
    EXPECT_EQ(media.audio[i].bitRate, 100 * (i + 1)) << i;
  }
  EXPECT_EQ(media.audio[3].channels, 0);
}

TEST(ParseMediaReport, TracksBeyondTheTenthAreSkippedWithoutOverwriting) {
  TraceCapture trace;
  std::string report = Header("General") + Row("File size", "1 MiB") + "\n" + Header("Video") +
                       Row("Width", "320 pixels") + "\n";
  for (int n = 1; n <= 12; ++n)
    report += Header("Audio #" + std::to_string(n)) + Row("Channel(s)", std::to_string(n) + " channels") +
              Row("Bit rate", std::to_string(1000 + n) + " kb/s") + "\n";
  MediaDesc media = Fresh();
  ASSERT_TRUE(ParseText(report, media));
  EXPECT_EQ(media.audioCount, MAX_AUDIO_TRACKS);
  for (int i = 0; i < MAX_AUDIO_TRACKS; ++i) {
    EXPECT_EQ(media.audio[i].channels, i + 1) << i;
    EXPECT_EQ(media.audio[i].bitRate, 1001 + i) << i;
  }
  EXPECT_EQ(trace.Count(L"MediaLineMatch- AUDIO- 20, 9"), 3u);
  EXPECT_FALSE(trace.ContainsText(L"AUDIO- 21")) << "the eleventh track is not worked on";
}

TEST(ParseMediaReport, AnUnnumberedAudioHeaderIsTrackOne) {
  MediaDesc media = Fresh();
  ASSERT_TRUE(ParseText(
      Header("General") + Header("Audio") + Row("Format", "MPEG Audio") + Row("Channel(s)", "2 channels"),
      media));
  EXPECT_EQ(media.audioCount, 1);
  EXPECT_EQ(media.audio[0].codec, ACODEC_MP3);
  EXPECT_EQ(media.audio[0].channels, 2);
}

TEST(ParseMediaReport, SubtitlesCountTextIdsAndAMenuAfterThem) {
  std::string report = Header("General") + "\n" + Header("Video") + Row("ID", "1") +
                       Row("Width", "320 pixels") + "\n" + Header("Text #1") + Row("ID", "5") +
                       Row("Format", "UTF-8") + "\n" + Header("Text #2") + Row("ID", "6") + "\n" +
                       Header("Menu") + Row("ID", "7") + Row("00:00:00.000", "Chapter 1") + "\n";
  MediaDesc media = Fresh();
  ASSERT_TRUE(ParseText(report, media));
  EXPECT_EQ(media.subtitleCount, 3);  // the menu's lines are read as the Text section's
  EXPECT_EQ(media.video.width, 320);
}

TEST(ParseMediaReport, EstimatesMissingAudioBitRates) {
  std::string report = Header("General") + Header("Video") + Row("Duration", "50 s") + Header("Audio #1") +
                       Row("Stream size", "10 MiB") + Row("Duration", "1 min 40 s") + Header("Audio #2") +
                       Row("Stream size", "10 MiB") + Header("Audio #3") + Row("Stream size", "10 MiB") +
                       Row("Bit rate", "128 kb/s") + Header("Audio #4") + Row("Duration", "9 s");
  MediaDesc media = Fresh();
  ASSERT_TRUE(ParseText(report, media));
  ASSERT_EQ(media.audioCount, 4);
  EXPECT_EQ(media.audio[0].bitRate, 12509);  // 10485760 / 100 * 0.1193
  EXPECT_EQ(media.audio[1].bitRate, 25019);  // the video's 50 s stand in for its own
  EXPECT_EQ(media.audio[2].bitRate, 128);    // a given rate is kept
  EXPECT_EQ(media.audio[3].bitRate, 0);      // no size

  MediaDesc noDuration = Fresh();
  ASSERT_TRUE(ParseText(Header("General") + Header("Audio") + Row("Stream size", "10 MiB"), noDuration));
  EXPECT_EQ(noDuration.audio[0].bitRate, 0);

  MediaDesc huge = Fresh();
  ASSERT_TRUE(
      ParseText(Header("Audio") + Row("Stream size", "1e18 GiB") + Row("Duration", "1 s") + "\n", huge));
  EXPECT_EQ(huge.audio[0].bitRate, INT_MAX);
}

TEST(ParseMediaReport, FailsWithoutAudioOrPictureButKeepsWhatItRead) {
  MediaDesc media = Fresh();
  EXPECT_FALSE(ParseText(Header("General") + Row("File size", "1.36 GiB") + Row("Duration", "2 min 5 s") +
                             Row("Format", "MPEG-4"),
                         media));
  EXPECT_EQ(media.fileSize, 1460288880);
  EXPECT_EQ(media.durationSec, 125);

  MediaDesc image = Fresh();
  EXPECT_TRUE(ParseText(
      Header("General") + Header("Image") + Row("Format", "GIF") + Row("Width", "160 pixels"), image));
  EXPECT_EQ(image.video.codec, VCODEC_GIF);
}

TEST(ParseMediaReport, IgnoresLinesBeforeTheFirstHeader) {
  MediaDesc media = Fresh();
  EXPECT_FALSE(ParseText(Row("Width", "1 920 pixels") + Row("File size", "1 MiB") + Row("ID", "1") +
                             Header("General") + Row("Format", "MPEG-4"),
                         media));
  EXPECT_TRUE(IsAllZero(media));
}

TEST(ParseMediaReport, ClearsEverythingButThePath) {
  MediaDesc media;
  std::memset(&media, 0x5A, sizeof media);
  SetMediaPath(media, L"/v/clip.mkv");
  ASSERT_TRUE(ParseText(Header("Video") + Row("Width", "640 pixels") + "\n", media));
  EXPECT_STREQ(media.filePath, L"/v/clip.mkv");
  MediaDesc expected = Fresh();
  expected.video.width = 640;
  EXPECT_EQ(Figures(media), Figures(expected));
}

TEST(ParseMediaReport, BadReportsFailOrYieldWhatIsThere) {
  TempDir dir;
  struct Case {
    const char* name;
    std::string content;
    bool ok;
    const wchar_t* countTrace;
  } cases[] = {
      {"empty", "", false, L"count = 0"},
      {"two lines", "Video\nWidth : 640 pixels\n", false, L"count = 2"},
      {"no line feed", "Video\nHeight : 480 pixels\nWidth : 640 pixels", true, L"count = 3"},
      {"cut in a line", "Video\nHeight : 480 pixels\nWidth : 640 pix", true, L"count = 3"},
      {"CR LF", "Video\r\nHeight : 480 pixels\r\nWidth : 640 pixels\r\n", true, L"count = 3"},
      {"binary", Bytes("\x00\xff\xfe:\x01\n\x80\x81\x82 : \x00\n\x7f\n\xc3"), false, L"count = 4"},
      {"NUL in a line", Bytes("Video\nWi\0dth : 9\nWidth : 640 pixels\n"), true, L"count = 3"},
      {"colons only", ":\n::\n:::\n : \n", false, L"count = 4"},
  };
  for (const Case& c : cases) {
    MediaDesc media = Fresh();
    {
      TraceCapture trace;
      EXPECT_EQ(ParseMediaReportText(c.content, media), c.ok) << c.name << ", from memory";
      EXPECT_TRUE(trace.Contains(c.countTrace)) << c.name << ", from memory";
    }
    MediaDesc fromMemory = media;
    TraceCapture trace;
    std::wstring path = dir.Write(std::wstring(c.name, c.name + std::strlen(c.name)) + L".txt", c.content);
    EXPECT_EQ(ParseMediaReport(path, media), c.ok) << c.name;
    EXPECT_TRUE(trace.Contains(c.countTrace)) << c.name;
    EXPECT_EQ(Figures(media), Figures(fromMemory)) << c.name;
    if (c.ok) {
      EXPECT_EQ(media.video.width, 640) << c.name;
    }
  }

  TraceCapture trace;
  MediaDesc media = Fresh();
  SetMediaPath(media, L"kept");
  EXPECT_FALSE(ParseMediaReport(dir.File(L"missing.txt"), media));
  EXPECT_FALSE(ParseMediaReport(L"", media));
  EXPECT_FALSE(trace.ContainsText(L"count")) << "nothing read, nothing counted";
  EXPECT_FALSE(ParseMediaReport(dir.Path(), media)) << "a folder is no report";
  EXPECT_STREQ(media.filePath, L"kept");
  EXPECT_TRUE(IsAllZero(media, L"kept"));
}

TEST(ParseMediaReport, ReadsAtMostTenThousandLines) {
  std::string filler;
  for (int i = 0; i < 20000; ++i) filler += Row("Writing library", "x264 core 164");
  TraceCapture trace;
  MediaDesc late = Fresh();
  EXPECT_FALSE(ParseText(Header("Video") + filler + Row("Width", "640 pixels"), late));
  EXPECT_EQ(late.video.width, 0);
  EXPECT_TRUE(trace.Contains(L"count = 10000"));

  MediaDesc early = Fresh();
  EXPECT_TRUE(ParseText(Header("Video") + Row("Width", "640 pixels") + filler, early));
  EXPECT_EQ(early.video.width, 640);
}

TEST(ParseMediaReport, LongLinesArriveInPiecesParsedOnTheirOwn) {
  // A long encoder-settings line is cut after 998 bytes; the piece that follows is a line of its
  // own, here one that reads as a key and value.
  std::string settings = Row("Encoding settings", std::string(998 - 43, 'a') + "Width : 720 pixels");
  MediaDesc media = Fresh();
  ASSERT_TRUE(ParseText(Header("Video") + Row("Height", "576 pixels") + settings, media));
  EXPECT_EQ(media.video.width, 720);
  EXPECT_EQ(media.video.height, 576);
}

TEST(ParseMediaReport, KoreanTextLeavesTheAsciiKeysReadable) {
  // MediaInfo writes UTF-8; the Windows build reads it in the ANSI code page (949 in Korea),
  // where the Hangul bytes turn into other characters. Keys and figures are ASCII and survive.
  std::string report = Header("General") + Row("Complete name", "C:\\영상\\가나다.mkv") +
                       Row("Title", "한국어 제목") + Row("File size", "700 MiB") + "\n" + Header("Video") +
                       Row("Width", "1 280 pixels") + Row("Title", "비디오") + "\n" + Header("Audio") +
                       Row("Title", "음성 한국어") + Row("Language", "Korean") + Row("Format", "AC-3") +
                       Row("Channel(s)", "6 channels") + "\n";
  MediaDesc media = Fresh();
  ASSERT_TRUE(ParseText(report, media));
  EXPECT_EQ(media.fileSize, 734003200);
  EXPECT_EQ(media.video.width, 1280);
  EXPECT_EQ(media.audioCount, 1);
  EXPECT_EQ(media.audio[0].language, LANGUAGE_KOREAN);
  EXPECT_EQ(media.audio[0].codec, ACODEC_AC3);
  EXPECT_EQ(media.audio[0].channels, 6);
}
