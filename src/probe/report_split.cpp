#include "probe/report_split.h"

#include <cstring>

#include "base/text.h"

namespace {
const char kSectionHeader[] = "General";
const char kNameKey[] = "Complete name";

// The line that starts at pos, without its line feed and a carriage return before it; next is
// set to where the following line starts.
std::string_view LineAt(std::string_view text, size_t pos, size_t& next) {
  size_t end = text.find('\n', pos);
  if (end == std::string_view::npos) end = text.size();
  next = end < text.size() ? end + 1 : end;
  std::string_view line = text.substr(pos, end - pos);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// The name a "Complete name" line gives: all that follows the key, its padding and ": ",
// untrimmed, so a name MediaInfo wrote otherwise than it was given never matches. False (name
// untouched) for any other line.
bool ReadGivenName(std::string_view line, std::wstring& name) {
  const size_t keyLength = std::strlen(kNameKey);
  if (line.substr(0, keyLength) != kNameKey) return false;
  size_t pos = keyLength;
  while (pos < line.size() && line[pos] == ' ') ++pos;
  if (line.substr(pos, 2) != ": ") return false;
  AnsiToWide(std::string(line.substr(pos + 2)), name);
  return true;
}

struct CSectionStart {
  size_t offset;
  std::wstring name;
};
}  // namespace

std::vector<std::string_view> SplitMediaReport(std::string_view report,
                                               const std::vector<std::wstring>& names) {
  std::vector<CSectionStart> starts;
  bool afterBlank = true;  // the report's first line counts as one after a blank line
  for (size_t pos = 0, next = 0; pos < report.size(); pos = next) {
    const std::string_view line = LineAt(report, pos, next);
    if (afterBlank && line == kSectionHeader) {
      // The name is on a line of the "General" part (Matroska puts "Unique ID" first).
      CSectionStart start{pos, std::wstring()};
      for (size_t at = next, after = 0; at < report.size(); at = after) {
        const std::string_view field = LineAt(report, at, after);
        if (field.empty() || ReadGivenName(field, start.name)) break;
      }
      starts.push_back(start);
    }
    afterBlank = line.empty();
  }
  std::vector<std::string_view> sections(names.size());
  // Text before the first section is no report of MediaInfo's: nothing in it is trusted.
  if (starts.empty() || starts[0].offset != 0) return sections;
  // Section i is name i's, or the order is lost there and nothing after it is anyone's.
  for (size_t i = 0; i < starts.size() && i < names.size(); ++i) {
    if (names[i] != starts[i].name) break;
    const size_t end = i + 1 < starts.size() ? starts[i + 1].offset : report.size();
    sections[i] = report.substr(starts[i].offset, end - starts[i].offset);
  }
  return sections;
}
