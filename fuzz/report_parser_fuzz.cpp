// libFuzzer target for the MediaInfo report parser (built by tools/fuzz.sh). Each input is
// parsed three ways: as a report file through ParseMediaReport, as UTF-8 lines, and as raw
// 16-bit units (text no file could deliver: lone surrogates, NULs, any code point) through
// SplitReportLine and MediaLineMatch from a section chosen by the input. The sanitizers catch
// out-of-bounds reads and undefined arithmetic; the checks below catch a broken record.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/text.h"
#include "base/trace.h"
#include "probe/media_desc.h"
#include "probe/report_parser.h"

namespace {

std::string reportPath;

void RemoveReport() { std::remove(reportPath.c_str()); }

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "report_parser_fuzz: %s\n", what);
  std::abort();
}

void CheckRecord(const MediaDesc& media) {
  Check(media.audioCount >= 0 && media.audioCount <= MAX_AUDIO_TRACKS, "audioCount out of range");
  Check(media.subtitleCount >= 0, "negative subtitle count");
}

// Feeds the lines of text to the matcher, starting in the given section.
void MatchLines(const std::wstring& text, int section) {
  MediaDesc media;
  ResetMediaDesc(media);
  ReportLine line;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    SplitReportLine(text.substr(start, end - start), line);
    int before = media.audioCount;
    section = MediaLineMatch(line, section, media);
    // Only a header moves the count, and never past the record's room.
    if (!line.value.empty()) Check(media.audioCount == before, "a key line changed audioCount");
    Check(media.audioCount >= 0 && media.audioCount <= MAX_AUDIO_TRACKS, "audioCount out of range");
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* folder = std::getenv("TMPDIR");
  reportPath = std::string(folder && *folder ? folder : "/tmp") + "/kestrune-fuzz-" +
               std::to_string(static_cast<long>(getpid())) + ".txt";
  std::atexit(RemoveReport);
  // Traces are formatted as always but go nowhere.
  SetTraceSink([](const std::wstring&) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(reportPath.c_str(), "wb");
  if (file == nullptr) return 0;
  if (size > 0) std::fwrite(data, 1, size, file);
  std::fclose(file);

  MediaDesc media;
  std::memset(&media, 0x7F, sizeof media);
  SetMediaPath(media, L"/fuzz/input.mkv");
  bool parsed = ParseMediaReport(Utf8ToWide(reportPath), media);
  Check(std::wcscmp(media.filePath, L"/fuzz/input.mkv") == 0, "filePath changed");
  CheckRecord(media);
  if (parsed) Check(media.audioCount > 0 || media.video.width != 0, "success without audio or picture");

  std::string bytes(reinterpret_cast<const char*>(data), size);
  int section = 0;
  if (size >= 4) std::memcpy(&section, data, sizeof section);  // any value, hostile ones included
  MatchLines(Utf8ToWide(bytes), section % 64);
  MatchLines(Utf8ToWide(bytes), section);

  std::wstring units;
  for (size_t i = 0; i + 1 < size; i += 2) units += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  MatchLines(units, size > 0 ? data[0] % 32 : 0);
  return 0;
}
