#include "install/download_addresses.h"

#include <cstdlib>

#include "base/registry_store.h"
#include "base/text.h"

namespace {

std::wstring EnvironmentBase() {
#ifdef _WIN32
  const wchar_t* value = _wgetenv(L"KESTRUNE_DOWNLOAD_BASE");
  return value != nullptr ? value : L"";
#else
  const char* value = std::getenv("KESTRUNE_DOWNLOAD_BASE");
  return value != nullptr ? Utf8ToWide(value) : L"";
#endif
}

std::wstring SettingsBase(const std::wstring& settingsKey) {
  for (RegistryRoot root : {REGISTRY_LOCAL_MACHINE, REGISTRY_CURRENT_USER}) {
    std::wstring value;
    if (CRegistryStore::ReadText(root, settingsKey, kDownloadBaseSetting, value) &&
        !TrimText(value).empty()) {
      return TrimText(value);
    }
  }
  return std::wstring();
}

}  // namespace

std::wstring DownloadBase(const std::wstring& settingsKey) {
  std::wstring base = EnvironmentBase();
  if (base.empty()) base = SettingsBase(settingsKey);
  if (base.empty()) return kDefaultDownloadBase;
  if (base.back() != L'/') base += L'/';
  return base;
}

std::wstring DownloadBase() { return DownloadBase(kRegistryKeyPath); }

std::wstring DownloadAddress(const std::wstring& fileName) { return DownloadBase() + fileName; }
