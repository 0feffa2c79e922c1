#include <windows.h>

#include "base/registry_store.h"

struct CRegistryStore::OpenKey {
  HKEY key;
};

namespace {

// The predefined key of a root; null for a value outside the family.
HKEY RootKeyOf(RegistryRoot root) {
  switch (root) {
    case REGISTRY_LOCAL_MACHINE:
      return HKEY_LOCAL_MACHINE;
    case REGISTRY_CURRENT_USER:
      return HKEY_CURRENT_USER;
  }
  return nullptr;
}

LSTATUS CreateKey(RegistryRoot root, const std::wstring& path, HKEY& key) {
  HKEY rootKey = RootKeyOf(root);
  if (rootKey == nullptr) return ERROR_INVALID_PARAMETER;
  return RegCreateKeyExW(rootKey, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                         &key, nullptr);
}

// A text value (REG_SZ) of an open key, asked for its size first so a long one (a list of
// sums, a saved set of options naming a long folder) is read whole; 64 KB is plenty.
bool ReadSizedText(HKEY key, const std::wstring& name, std::wstring& out) {
  constexpr DWORD kMostBytes = 1 << 16;
  DWORD size = 0;
  LSTATUS status = RegGetValueW(key, nullptr, name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size);
  std::wstring text;
  if (status == ERROR_SUCCESS && size <= kMostBytes) {
    text.assign(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    status = RegGetValueW(key, nullptr, name.c_str(), RRF_RT_REG_SZ, nullptr, text.data(), &size);
  }
  if (status != ERROR_SUCCESS || size > kMostBytes) return false;
  // RegGetValueW counts the terminator it makes sure of.
  text.resize(wcsnlen(text.c_str(), text.size()));
  out = text;
  return true;
}

}  // namespace

CRegistryStore::CRegistryStore() = default;

CRegistryStore::~CRegistryStore() {
  if (openKey != nullptr) {
    RegCloseKey(openKey->key);
    delete openKey;
  }
}

const long CRegistryStore::kAccessDenied = ERROR_ACCESS_DENIED;

long CRegistryStore::OpenForWriting(RegistryRoot root, const std::wstring& path) {
  HKEY key = nullptr;
  LSTATUS status = CreateKey(root, path, key);
  if (status != ERROR_SUCCESS) return status;
  if (openKey == nullptr) {
    openKey = new OpenKey{key};
  } else {
    RegCloseKey(openKey->key);
    openKey->key = key;
  }
  return 0;
}

bool CRegistryStore::ReadValue(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                               uint32_t& value) {
  HKEY rootKey = RootKeyOf(root);
  HKEY key = nullptr;
  // Querying is all a read needs: an ordinary account may read the machine's key, not more.
  if (rootKey == nullptr || RegOpenKeyExW(rootKey, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  // Exactly 4 bytes are offered and the type is not examined: any value that fits is taken as
  // its raw bytes, a longer one fails. A shorter one is read into zeroed bytes, so the result
  // never mixes in what the caller held before.
  uint32_t data = 0;
  DWORD size = sizeof data;
  LSTATUS status =
      RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return false;
  value = data;
  return true;
}

int32_t CRegistryStore::WriteInt(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                                 uint32_t value) {
  HKEY key = nullptr;
  if (CreateKey(root, path, key) != ERROR_SUCCESS) return -1;
  DWORD data = value;
  LSTATUS status =
      RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? 0 : -1;
}

bool CRegistryStore::ReadText(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                              std::wstring& out) {
  HKEY rootKey = RootKeyOf(root);
  HKEY key = nullptr;
  if (rootKey == nullptr || RegOpenKeyExW(rootKey, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  bool read = ReadSizedText(key, name, out);
  RegCloseKey(key);
  return read;
}

bool CRegistryStore::ReadMachineText(const std::wstring& path, const std::wstring& name, std::wstring& out) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return false;
  bool read = ReadSizedText(key, name, out);
  RegCloseKey(key);
  return read;
}

std::vector<std::wstring> CRegistryStore::ReadNames(RegistryRoot root, const std::wstring& path) {
  std::vector<std::wstring> names;
  HKEY rootKey = RootKeyOf(root);
  HKEY key = nullptr;
  if (rootKey == nullptr || RegOpenKeyExW(rootKey, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return names;
  }
  // A value name holds at most 16383 characters.
  std::wstring name(16384, L'\0');
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(name.size());
    LSTATUS status = RegEnumValueW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_SUCCESS) names.emplace_back(name.data(), length);
  }
  RegCloseKey(key);
  return names;
}

int32_t CRegistryStore::RemoveValue(RegistryRoot root, const std::wstring& path, const std::wstring& name) {
  HKEY rootKey = RootKeyOf(root);
  HKEY key = nullptr;
  LSTATUS status = rootKey == nullptr ? ERROR_INVALID_PARAMETER
                                      : RegOpenKeyExW(rootKey, path.c_str(), 0, KEY_SET_VALUE, &key);
  if (status == ERROR_FILE_NOT_FOUND) return 0;  // no key, no value
  if (status != ERROR_SUCCESS) return -1;
  status = RegDeleteValueW(key, name.c_str());
  RegCloseKey(key);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? 0 : -1;
}

int32_t CRegistryStore::WriteText(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                                  const std::wstring& value) {
  HKEY key = nullptr;
  if (CreateKey(root, path, key) != ERROR_SUCCESS) return -1;
  DWORD size = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  LSTATUS status =
      RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? 0 : -1;
}
