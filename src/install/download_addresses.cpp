#include "install/download_addresses.h"

#include <cstdlib>

#include "base/text.h"

std::wstring DownloadBase() {
#ifdef _WIN32
  const wchar_t* value = _wgetenv(L"KESTRUNE_DOWNLOAD_BASE");
  std::wstring base = value != nullptr ? value : L"";
#else
  const char* value = std::getenv("KESTRUNE_DOWNLOAD_BASE");
  std::wstring base = value != nullptr ? Utf8ToWide(value) : L"";
#endif
  if (base.empty()) return kDefaultDownloadBase;
  if (base.back() != L'/') base += L'/';
  return base;
}

std::wstring DownloadAddress(const std::wstring& fileName) { return DownloadBase() + fileName; }
