#include "base/registry_store.h"

#include <atomic>

namespace {
std::atomic<bool> machineKeyRefused{false};
}  // namespace

void CRegistryStore::RefuseMachineKeyForTesting(bool refused) { machineKeyRefused = refused; }

long CRegistryStore::Create(RegistryRoot root, const std::wstring& path) {
  rootKey = root;
  hasRoot = true;
  subKeyPath = path;
  writeRoot = root;
  const bool machine = root == REGISTRY_LOCAL_MACHINE;
  long status = machine && machineKeyRefused ? kAccessDenied : OpenForWriting(root, path);
  if (status == 0 || !machine) return status;
  // Windows lets only an elevated program write below the machine's root; an ordinary account
  // keeps its values for itself.
  if (OpenForWriting(REGISTRY_CURRENT_USER, path) != 0) return status;
  writeRoot = REGISTRY_CURRENT_USER;
  return 0;
}

// Every read and write opens its key by itself; the key held open by Create only keeps it in
// existence. Both fail before the first Create has named a key.
int32_t CRegistryStore::GetInt(const std::wstring& name, uint32_t& out) {
  if (!hasRoot) return -1;
  uint32_t value = 0;
  // The values written for this user come first.
  if (!ReadValue(writeRoot, subKeyPath, name, value) &&
      (writeRoot == rootKey || !ReadValue(rootKey, subKeyPath, name, value))) {
    return -1;
  }
  out = value;
  return static_cast<int32_t>(value);
}

int32_t CRegistryStore::SetInt(const std::wstring& name, uint32_t value) {
  if (!hasRoot) return -1;
  return WriteInt(writeRoot, subKeyPath, name, value);
}

bool CRegistryStore::GetText(const std::wstring& name, std::wstring& out) {
  if (!hasRoot) return false;
  return ReadText(writeRoot, subKeyPath, name, out) ||
         (writeRoot != rootKey && ReadText(rootKey, subKeyPath, name, out));
}

int32_t CRegistryStore::SetText(const std::wstring& name, const std::wstring& value) {
  if (!hasRoot) return -1;
  return WriteText(writeRoot, subKeyPath, name, value);
}

namespace {
bool SameNameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i] >= L'A' && a[i] <= L'Z' ? a[i] - L'A' + L'a' : a[i];
    wchar_t y = b[i] >= L'A' && b[i] <= L'Z' ? b[i] - L'A' + L'a' : b[i];
    if (x != y) return false;
  }
  return true;
}
}  // namespace

std::vector<std::wstring> CRegistryStore::ValueNames() {
  std::vector<std::wstring> names;
  if (!hasRoot) return names;
  names = ReadNames(writeRoot, subKeyPath);
  if (writeRoot == rootKey) return names;
  for (const std::wstring& name : ReadNames(rootKey, subKeyPath)) {
    bool known = false;
    for (const std::wstring& have : names) known = known || SameNameIgnoringCase(have, name);
    if (!known) names.push_back(name);
  }
  return names;
}

int32_t CRegistryStore::DeleteValue(const std::wstring& name) {
  if (!hasRoot) return -1;
  return RemoveValue(writeRoot, subKeyPath, name);
}

int32_t CRegistryStore::ReadInt(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                                uint32_t& out) {
  uint32_t value = 0;
  if (!ReadValue(root, path, name, value)) return -1;
  out = value;
  return static_cast<int32_t>(value);
}
