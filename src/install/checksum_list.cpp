#include "install/checksum_list.h"

#include <cctype>

#include "base/text.h"

namespace {

std::string LowerHex(const std::string& text) {
  std::string lower;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::string();
    lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return lower;
}

}  // namespace

bool CChecksumList::Parse(const std::string& text) {
  sums_.clear();
  for (std::string_view line : TextLines(text)) {
    if (line.empty() || line[0] == '#') continue;
    // "<sum><blank><blank or *><name>"; a name the tool had to escape starts the line with "\".
    if (line.size() < 67 || line[64] != ' ' || (line[65] != ' ' && line[65] != '*')) continue;
    std::string sum = LowerHex(std::string(line.substr(0, 64)));
    if (sum.size() != 64) continue;
    std::wstring name = Utf8ToWide(std::string(line.substr(66)));
    auto found = sums_.find(name);
    if (found == sums_.end()) {
      sums_[name] = sum;
    } else if (found->second != sum) {
      found->second.clear();
    }
  }
  return !sums_.empty();
}

ChecksumCheck CChecksumList::Check(const std::wstring& name, const std::string& sha256Hex) const {
  auto found = sums_.find(name);
  if (found == sums_.end()) return CHECKSUM_NOT_LISTED;
  return !found->second.empty() && found->second == LowerHex(sha256Hex) ? CHECKSUM_MATCH : CHECKSUM_MISMATCH;
}
