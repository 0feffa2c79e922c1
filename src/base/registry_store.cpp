#include "base/registry_store.h"

// Every read and write opens the store's key by itself; the key held open by Create only keeps
// it in existence. Both fail before the first Create has named a key.
int32_t CRegistryStore::GetInt(const std::wstring& name, uint32_t& out) {
  if (!hasRoot) return -1;
  return ReadInt(rootKey, subKeyPath, name, out);
}

int32_t CRegistryStore::SetInt(const std::wstring& name, uint32_t value) {
  if (!hasRoot) return -1;
  return WriteInt(rootKey, subKeyPath, name, value);
}
