// libFuzzer target for the MediaInfo report parser (built by tools/fuzz.sh). Everything runs from
// memory: each input is parsed by ParseMediaReportText as the report file's content, the very
// path ParseMediaReport takes after reading the file; then its lines, or the input read as raw
// 16-bit units (text no file could deliver: lone surrogates, NULs, any code point), go through
// SplitReportLine and MediaLineMatch from a section chosen by the input. The sanitizers
// catch out-of-bounds reads and undefined arithmetic; the checks below catch a broken record.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/file_util.h"
#include "probe/media_desc.h"
#include "probe/report_parser.h"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "report_parser_fuzz: %s\n", what);
  std::abort();
}

// Feeds one line to the matcher and checks what the line may change.
int MatchLine(const std::wstring& text, int section, MediaDesc& media, ReportLine& line) {
  SplitReportLine(text, line);
  int before = media.audioCount;
  section = MediaLineMatch(line, section, media);
  // Only a header moves the count, and never past the record's room.
  if (!line.value.empty()) Check(media.audioCount == before, "a key line changed audioCount");
  Check(media.audioCount >= 0 && media.audioCount <= MAX_AUDIO_TRACKS, "audioCount out of range");
  return section;
}

// The report's lines through the matcher alone, from the given section.
void MatchLines(std::string_view report, int section) {
  MediaDesc media;
  ResetMediaDesc(media);
  ReportLine line;
  std::wstring text;
  CTextLineReader reader(report);
  for (int i = 0; i < MAX_REPORT_LINES && reader.Next(text); ++i)
    section = MatchLine(text, section, media, line);
}

// The input read as raw 16-bit units, line by line (without the feeds), from the given section.
void MatchUnits(const uint8_t* data, size_t size, int section) {
  std::wstring units(size / 2, L'\0');
  for (size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<wchar_t>(data[2 * i] | (data[2 * i + 1] << 8));
  MediaDesc media;
  ResetMediaDesc(media);
  ReportLine line;
  std::wstring text;
  size_t start = 0;
  for (;;) {
    size_t end = units.find(L'\n', start);
    text.assign(units, start, end == std::wstring::npos ? std::wstring::npos : end - start);
    section = MatchLine(text, section, media, line);
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // No trace output is wanted: without a listener the parser's traces are not even formatted.
  unsetenv("KESTRUNE_TRACE");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view report(reinterpret_cast<const char*>(data), size);
  MediaDesc media;
  std::memset(&media, 0x7F, sizeof media);
  SetMediaPath(media, L"/fuzz/input.mkv");
  bool parsed = ParseMediaReportText(report, media);
  Check(std::wcscmp(media.filePath, L"/fuzz/input.mkv") == 0, "filePath changed");
  Check(media.audioCount >= 0 && media.audioCount <= MAX_AUDIO_TRACKS, "audioCount out of range");
  Check(media.subtitleCount >= 0, "negative subtitle count");
  if (parsed) Check(media.audioCount > 0 || media.video.width != 0, "success without audio or picture");

  // Three inputs in eight also go through the matcher alone. The first four bytes choose the
  // starting section (any value, hostile ones included) and, by their lowest bits, whether and
  // which lines the matcher gets: the report's own or the raw units.
  int section = 0;
  if (size >= 4) std::memcpy(&section, data, sizeof section);
  switch (size > 0 ? data[0] % 8 : 7) {
    case 0:
      MatchLines(report, section % 64);
      break;
    case 1:
      MatchLines(report, section);
      break;
    case 2:
      MatchUnits(data, size, size > 1 ? data[1] % 32 : 0);
      break;
    default:
      break;
  }
  return 0;
}
