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

int32_t CRegistryStore::ReadInt(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                                uint32_t& out) {
  uint32_t value = 0;
  if (!ReadValue(root, path, name, value)) return -1;
  out = value;
  return static_cast<int32_t>(value);
}
