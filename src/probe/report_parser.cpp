#include "probe/report_parser.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <limits>
#include <vector>

#include "base/file_util.h"
#include "base/text.h"
#include "base/trace.h"

namespace {

constexpr wchar_t kDurationTrace[] = L"시간 = %s, %s,  %d/%d/%d , %d";
constexpr wchar_t kAudioTrace[] = L"MediaLineMatch- AUDIO- %d, %d";

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Every figure of the report saturates instead of overflowing: a hostile or broken report may
// hold digits without end.
int ClampToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<int>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(value);  // truncates toward zero
}

int64_t ClampToInt64(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (value <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(value);  // truncates toward zero
}

// Digits from text[pos] on, after white space, up to the first other character; 0 when no
// digit comes first.
int ReadInteger(const std::wstring& text, size_t pos) {
  while (pos < text.size() && IsBlankChar(text[pos])) ++pos;
  int64_t amount = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
    amount = amount * 10 + (text[pos] - L'0');
    if (amount > std::numeric_limits<int>::max()) amount = std::numeric_limits<int>::max();
  }
  return static_cast<int>(amount);
}

// The leading integer of text as if every blank (U+0020) had been removed from it first, so
// "1 920 pixels" is 1920: white space, one sign, digits; saturated.
int ReadNumberIgnoringBlanks(const std::wstring& text) {
  size_t pos = 0;
  while (pos < text.size() && IsBlankChar(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) {
    negative = text[pos] == L'-';
    ++pos;
  }
  const int64_t limit =
      negative ? -static_cast<int64_t>(std::numeric_limits<int>::min()) : std::numeric_limits<int>::max();
  int64_t amount = 0;
  for (; pos < text.size(); ++pos) {
    if (text[pos] == L' ') continue;
    if (!IsDigit(text[pos])) break;
    amount = amount * 10 + (text[pos] - L'0');
    if (amount > limit) amount = limit;
  }
  return static_cast<int>(negative ? -amount : amount);
}

// The leading floating-point number of text as the "%lf" conversion reads it in decimal form:
// white space, a sign, digits with one decimal point, an exponent. 0.0 when there is none or it
// is not a finite double.
double ReadLeadingFloat(const std::wstring& text) {
  size_t pos = 0;
  while (pos < text.size() && IsBlankChar(text[pos])) ++pos;
  std::string number;
  if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) {
    if (text[pos] == L'-') number += '-';
    ++pos;
  }
  bool anyDigit = false;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos, anyDigit = true)
    number += static_cast<char>(text[pos]);
  if (pos < text.size() && text[pos] == L'.') {
    number += '.';
    for (++pos; pos < text.size() && IsDigit(text[pos]); ++pos, anyDigit = true)
      number += static_cast<char>(text[pos]);
  }
  if (!anyDigit) return 0.0;
  if (pos < text.size() && (text[pos] == L'e' || text[pos] == L'E')) {
    size_t exponent = pos + 1;
    if (exponent < text.size() && (text[exponent] == L'+' || text[exponent] == L'-')) ++exponent;
    if (exponent < text.size() && IsDigit(text[exponent])) {
      for (; pos < exponent; ++pos) number += static_cast<char>(text[pos]);
      for (; pos < text.size() && IsDigit(text[pos]); ++pos) number += static_cast<char>(text[pos]);
    }
  }
  double value = 0.0;
  // from_chars: the C locale's decimal point whatever the process locale is.
  std::from_chars_result result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
  return value;
}

bool Contains(const std::wstring& text, const wchar_t* word) { return text.find(word) != std::wstring::npos; }

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
  size_t length = std::wcslen(prefix);
  if (text.size() < length) return false;
  for (size_t i = 0; i < length; ++i) {
    wchar_t a = text[i], b = prefix[i];
    if (a >= L'A' && a <= L'Z') a = static_cast<wchar_t>(a - L'A' + L'a');
    if (b >= L'A' && b <= L'Z') b = static_cast<wchar_t>(b - L'A' + L'a');
    if (a != b) return false;
  }
  return true;
}

// "File size", "Stream size": 1.36 GiB, 700 MiB, 51.5 KiB. Anything not in GiB or MiB counts as
// KiB, plain bytes included.
int64_t SizeInBytes(const std::wstring& upperValue) {
  int exponent = Contains(upperValue, L"GIB") ? 3 : Contains(upperValue, L"MIB") ? 2 : 1;
  return ClampToInt64(ReadLeadingFloat(upperValue) * std::pow(1024.0, exponent));
}

// The amount written before a unit word: read from three characters before the word, which
// takes MediaInfo's one- and two-digit amounts ("1 h 25 min") whole. 0 when the word is
// missing or opens the value.
int UnitAmount(const std::wstring& upperValue, const wchar_t* unit) {
  size_t at = upperValue.find(unit);
  if (at == std::wstring::npos || at == 0) return 0;
  return ReadInteger(upperValue, at >= 3 ? at - 3 : 0);
}

struct Duration {
  int hours;
  int minutes;
  int seconds;
  int total;
};

// "1 h 25 min", "2 min 5 s", "45 s 120 ms". Each amount has at most three digits, so the total
// cannot overflow.
Duration ReadDuration(const std::wstring& upperValue) {
  Duration duration;
  duration.hours = UnitAmount(upperValue, L"H");
  duration.minutes = UnitAmount(upperValue, L"MIN");
  duration.seconds = UnitAmount(upperValue, L"S");
  duration.total = duration.seconds + 60 * duration.minutes + 3600 * duration.hours;
  return duration;
}

// The number that ends an audio header ("Audio #12" gives 12, "Audio" gives 0), saturated.
int TrailingNumber(const std::wstring& key) {
  size_t start = key.size();
  while (start > 0 && IsDigit(key[start - 1])) --start;
  return ReadInteger(key, start);
}

int AudioHeaderSection(const std::wstring& key, MediaDesc& media) {
  int track = TrailingNumber(key);
  if (track <= 1 && media.audioCount == 0) {
    // The first audio header, numbered 1 or not numbered at all.
    media.audioCount = 1;
    return SECTION_AUDIO_FIRST;
  }
  if (track > MAX_AUDIO_TRACKS) return SECTION_AUDIO_BEYOND;  // no room: skipped, count kept
  media.audioCount = track;
  return SECTION_AUDIO_FIRST - 1 + track;
}

int HeaderSection(const std::wstring& key, int section, MediaDesc& media) {
  if (StartsWithNoCase(key, L"General")) section = SECTION_GENERAL;
  if (StartsWithNoCase(key, L"Video")) section = SECTION_VIDEO;
  if (StartsWithNoCase(key, L"Image")) section = SECTION_IMAGE;
  if (StartsWithNoCase(key, L"Audio")) section = AudioHeaderSection(key, media);
  if (StartsWithNoCase(key, L"Text")) section = SECTION_TEXT;
  return section;  // a menu or chapter header keeps the section before it
}

// Words searched for in an upper-cased value, in order: the first one found gives the code, and
// none found leaves the field as it was.
struct WordCode {
  const wchar_t* word;
  int code;
};

constexpr WordCode kVideoFormats[] = {
    {L"AVC", VCODEC_H264}, {L"HEVC", VCODEC_H265}, {L"VP8", VCODEC_VP8}, {L"VP9", VCODEC_VP9}};
constexpr WordCode kVideoCodecIds[] = {
    {L"AVC", VCODEC_H264}, {L"HEVC", VCODEC_H265}, {L"XVID", VCODEC_XVID}, {L"DX50", VCODEC_DX50}};
constexpr WordCode kImageFormats[] = {{L"AVC", VCODEC_H264}, {L"HEVC", VCODEC_H265}, {L"VP9", VCODEC_VP9},
                                      {L"VP8", VCODEC_VP8},  {L"VP7", VCODEC_VP7},   {L"GIF", VCODEC_GIF}};
// E-AC-3 counts as AC-3.
constexpr WordCode kAudioFormats[] = {
    {L"DTS", ACODEC_DTS},        {L"AC-3", ACODEC_AC3}, {L"AAC", ACODEC_AAC},   {L"OPUS", ACODEC_OPUS},
    {L"MPEG AUDIO", ACODEC_MP3}, {L"OGG", ACODEC_OGG},  {L"VORBIS", ACODEC_OGG}};
// "JAPANES" also finds MediaInfo's "Japanese".
constexpr WordCode kLanguages[] = {{L"KOREAN", LANGUAGE_KOREAN},    {L"ENGLISH", LANGUAGE_ENGLISH},
                                   {L"JAPANES", LANGUAGE_JAPANESE}, {L"CHINESE", LANGUAGE_CHINESE},
                                   {L"SPANISH", LANGUAGE_SPANISH},  {L"FRENCH", LANGUAGE_FRENCH},
                                   {L"ITALIAN", LANGUAGE_ITALIAN},  {L"GERMAN", LANGUAGE_GERMAN}};

template <size_t N>
void StoreFirstMatch(const std::wstring& upper, const WordCode (&table)[N], int32_t& field) {
  for (const WordCode& entry : table) {
    if (Contains(upper, entry.word)) {
      field = entry.code;
      return;
    }
  }
}

// The value in upper case, made only for the keys that look into it.
class CUpperValue {
 public:
  explicit CUpperValue(const std::wstring& value) : value_(value) {}
  const std::wstring& Text() {
    if (!made_) {
      upper_ = ToUpperText(value_);
      made_ = true;
    }
    return upper_;
  }

 private:
  const std::wstring& value_;
  std::wstring upper_;
  bool made_ = false;
};

void MatchGeneral(const ReportLine& line, CUpperValue& upper, MediaDesc& media) {
  if (line.key == L"File size") {
    media.fileSize = SizeInBytes(upper.Text());
  } else if (line.key == L"Duration") {
    Duration duration = ReadDuration(upper.Text());
    media.durationSec = duration.total;
    DebugLog(kDurationTrace, line.key, upper.Text(), duration.hours, duration.minutes, duration.seconds,
             duration.total);
  }
}

void MatchVideo(const ReportLine& line, CUpperValue& upper, VideoTrackDesc& video) {
  if (line.key == L"Stream size") {
    video.streamSize = SizeInBytes(upper.Text());
  } else if (line.key == L"Duration") {
    video.durationSec = ReadDuration(upper.Text()).total;
  } else if (line.key == L"Format") {
    StoreFirstMatch(upper.Text(), kVideoFormats, video.codec);
  } else if (line.key == L"Codec ID") {
    // Only a fallback: the format, when recognised, names the codec better.
    if (video.codec != VCODEC_NONE) return;
    StoreFirstMatch(upper.Text(), kVideoCodecIds, video.codec);
  } else if (line.key == L"Bit rate") {
    video.bitRate = line.number;
  } else if (line.key == L"Frame rate") {
    video.frameRate = ReadLeadingFloat(upper.Text());
  } else if (line.key == L"Width") {
    video.width = line.number;
  } else if (line.key == L"Height") {
    video.height = line.number;
  } else if (line.key == L"Bit depth") {
    video.bitDepth = line.number;
  }
}

void MatchImage(const ReportLine& line, CUpperValue& upper, VideoTrackDesc& video) {
  if (line.key == L"Format") {
    StoreFirstMatch(upper.Text(), kImageFormats, video.codec);
  } else if (line.key == L"Width") {
    video.width = line.number;
  } else if (line.key == L"Height") {
    video.height = line.number;
  }
}

void MatchAudio(const ReportLine& line, CUpperValue& upper, AudioTrackDesc& audio) {
  if (line.key == L"Format") {
    StoreFirstMatch(upper.Text(), kAudioFormats, audio.codec);
  } else if (line.key == L"Language") {
    StoreFirstMatch(upper.Text(), kLanguages, audio.language);
  } else if (line.key == L"Stream size") {
    audio.streamSize = SizeInBytes(upper.Text());
  } else if (line.key == L"Duration") {
    audio.durationSec = ReadDuration(upper.Text()).total;
  } else if (line.key == L"Channel(s)") {
    audio.channels = line.number;
  } else if (line.key == L"Bit rate") {
    audio.bitRate = line.number;
  } else if (line.key == L"Sampling rate") {
    // "48.0 kHz", "44.1 kHz", or "8 000 Hz".
    audio.sampleRate = Contains(upper.Text(), L"KHZ")
                           ? ClampToInt(ReadLeadingFloat(upper.Text()) * 1000 + 0.5)
                           : line.number;
  }
}

// Tracks that name no bit rate (common in Matroska) get one from their size and play time.
void EstimateAudioBitRates(MediaDesc& media) {
  int count = media.audioCount < MAX_AUDIO_TRACKS ? media.audioCount : MAX_AUDIO_TRACKS;
  for (int i = 0; i < count; ++i) {
    AudioTrackDesc& track = media.audio[i];
    if (track.bitRate != 0) continue;
    int seconds = track.durationSec != 0 ? track.durationSec : media.video.durationSec;
    if (seconds == 0) continue;
    track.bitRate = ClampToInt(static_cast<double>(track.streamSize) / seconds * AUDIO_BITRATE_FACTOR);
  }
}

// Cuts the first length characters of line apart.
void SplitReportLinePart(const std::wstring& line, size_t length, ReportLine& out) {
  out.key.clear();
  out.value.clear();
  out.number = 0;
  if (length <= 1) return;
  // Works on positions in line rather than on trimmed copies: every report line passes here.
  size_t begin = 0, end = length;
  while (begin < end && IsBlankChar(line[begin])) ++begin;
  while (end > begin && IsBlankChar(line[end - 1])) --end;
  size_t colon = line.find(L':', begin);
  if (colon == std::wstring::npos || colon >= end) {
    out.key.assign(line, begin, end - begin);
    return;
  }
  size_t keyEnd = colon;
  while (keyEnd > begin && IsBlankChar(line[keyEnd - 1])) --keyEnd;
  out.key.assign(line, begin, keyEnd - begin);
  // The colon and the blank after it are skipped; a line that ends there has no value.
  size_t valueBegin = colon + 2;
  if (valueBegin >= end) return;
  while (valueBegin < end && IsBlankChar(line[valueBegin])) ++valueBegin;
  out.value.assign(line, valueBegin, end - valueBegin);
  out.number = ReadNumberIgnoringBlanks(out.value);
}

// Keeps filePath, which the probe runner has just stored; everything else starts unset.
void ResetAllButPath(MediaDesc& media) {
  wchar_t filePath[MAX_MEDIA_PATH];
  std::memcpy(filePath, media.filePath, sizeof filePath);
  ResetMediaDesc(media);
  std::memcpy(media.filePath, filePath, sizeof filePath);
}

}  // namespace

void SplitReportLine(const std::wstring& line, ReportLine& out) {
  SplitReportLinePart(line, line.size(), out);
}

int MediaLineMatch(const ReportLine& line, int section, MediaDesc& media) {
  if (line.key.empty()) return section;
  if (line.value.empty()) section = HeaderSection(line.key, section, media);
  CUpperValue upper(line.value);
  if (section == SECTION_GENERAL) {
    MatchGeneral(line, upper, media);
  } else if (section == SECTION_VIDEO) {
    MatchVideo(line, upper, media.video);
  } else if (section == SECTION_IMAGE) {
    MatchImage(line, upper, media.video);
  } else if (section >= SECTION_AUDIO_FIRST && section <= SECTION_AUDIO_LAST) {
    DebugLog(kAudioTrace, section, section - SECTION_AUDIO_FIRST);
    MatchAudio(line, upper, media.audio[section - SECTION_AUDIO_FIRST]);
  } else if (section == SECTION_TEXT) {
    if (line.key == L"ID") ++media.subtitleCount;
  }
  return section;
}

bool ParseMediaReport(const std::wstring& reportPath, MediaDesc& media) {
  std::string report;
  // No more than the lines read can hold.
  if (!ReadTextFile(reportPath, report, static_cast<size_t>(MAX_REPORT_LINES) * kReadLineBytes)) {
    ResetAllButPath(media);
    return false;
  }
  return ParseMediaReportText(report, media);
}

bool ParseMediaReportText(std::string_view report, MediaDesc& media) {
  ResetAllButPath(media);
  int count = 0;
  CTextLineReader counter(report);
  while (count < MAX_REPORT_LINES && counter.Skip()) ++count;
  DebugLog(L"count = %d", count);
  if (count < 3) return false;

  int section = SECTION_NONE;
  CTextLineReader reader(report);
  std::wstring line;
  ReportLine parts;
  for (int i = 0; i < count && reader.Next(line); ++i) {
    // Trailing blanks (the line feed among them) go before the line is cut apart.
    size_t end = line.size();
    while (end > 0 && IsBlankChar(line[end - 1])) --end;
    SplitReportLinePart(line, end, parts);
    section = MediaLineMatch(parts, section, media);
  }
  if (media.audioCount == 0 && media.video.width == 0) return false;
  EstimateAudioBitRates(media);
  return true;
}
