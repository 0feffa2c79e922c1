#include "base/file_util.h"

#include <chrono>
#include <thread>

namespace {
constexpr int kRemoveTries = 10;
constexpr auto kRemovePause = std::chrono::milliseconds(100);
}  // namespace

bool RemoveFileSoon(const std::wstring& path) {
  for (int tries = 1;; ++tries) {
    if (RemoveFile(path)) return true;
    if (tries == kRemoveTries) return false;
    std::this_thread::sleep_for(kRemovePause);
  }
}

bool SplitFileExt(const std::wstring& path, std::wstring& stem, std::wstring& ext) {
  if (path.empty() || path.back() == L'.') return false;
  size_t dot = path.rfind(L'.');
  if (dot == std::wstring::npos) {
    stem.clear();
    ext = path;
    return true;
  }
  stem = path.substr(0, dot);
  ext = path.substr(dot + 1);
  return true;
}
