#include "base/file_util.h"

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
