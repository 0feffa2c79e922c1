#include "install/download_sums.h"

#include <cctype>
#include <mutex>
#include <optional>

#include "base/text.h"
#include "base/trace.h"
#include "install/release_archive_sums.h"

namespace {

std::mutex replacedGuard;
std::optional<std::string> replacedList;

// The sum in lower case, or empty when text is not 64 hexadecimal digits.
std::string SumOf(const std::string& text) {
  if (text.size() != 64) return std::string();
  std::string sum;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::string();
    sum += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return sum;
}

std::string ReleaseList() {
  std::lock_guard<std::mutex> lock(replacedGuard);
  return replacedList ? *replacedList : std::string(kReleaseArchiveSums);
}

}  // namespace

size_t CAcceptedSums::AddList(const std::string& text) {
  size_t added = 0;
  for (std::string_view line : TextLines(text)) {
    if (line.empty() || line[0] == '#') continue;
    // The sum, then a blank and the name (or nothing).
    std::string sum = SumOf(std::string(line.substr(0, 64)));
    if (sum.empty() || (line.size() > 64 && line[64] != ' ')) continue;
    sums_.insert(sum);
    ++added;
  }
  return added;
}

size_t CAcceptedSums::AddSetting(const std::wstring& text) {
  size_t added = 0;
  std::string word;
  std::string all = WideToUtf8(text) + " ";
  for (char c : all) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != ',' && c != ';') {
      word += c;
      continue;
    }
    if (word.empty()) continue;
    std::string sum = SumOf(word);
    if (!sum.empty()) {
      sums_.insert(sum);
      ++added;
    } else {
      DebugLog(L"DownloadSums-not a sum-%s", Utf8ToWide(word));
    }
    word.clear();
  }
  return added;
}

bool CAcceptedSums::Accepts(const std::string& sha256Hex) const {
  std::string sum = SumOf(sha256Hex);
  return !sum.empty() && sums_.count(sum) != 0;
}

CAcceptedSums AcceptedDownloadSums(const std::wstring& settingsKey) {
  CAcceptedSums accepted;
  accepted.AddList(ReleaseList());
  std::wstring machine;
  if (CRegistryStore::ReadMachineText(settingsKey, kDownloadSumsSetting, machine))
    accepted.AddSetting(machine);
  return accepted;
}

void ReplaceReleaseSumsForTesting(const std::string* list) {
  std::lock_guard<std::mutex> lock(replacedGuard);
  if (list != nullptr) {
    replacedList = *list;
  } else {
    replacedList.reset();
  }
}
