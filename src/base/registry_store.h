#pragma once
// The few values kept between runs (the main window's position), as unsigned 32-bit numbers by
// name under one key: the registry on Windows; elsewhere one small file per key in the user's
// configuration folder ($XDG_CONFIG_HOME/kestrune/, else ~/.config/kestrune/).
#include <cstdint>
#include <string>

enum RegistryRoot : int { REGISTRY_LOCAL_MACHINE = 0, REGISTRY_CURRENT_USER = 1 };

constexpr const wchar_t* kRegistryKeyPath = L"Software\\Kestrune";

class CRegistryStore {
 public:
  CRegistryStore();
  virtual ~CRegistryStore();  // closes openKey
  CRegistryStore(const CRegistryStore&) = delete;
  CRegistryStore& operator=(const CRegistryStore&) = delete;

  // Creates root\path, or opens it when it exists, and keeps it open. Root and path are
  // remembered even when this fails. 0, or the platform's error code (the previous key then
  // stays open).
  long Create(RegistryRoot root, const std::wstring& path);

  // The value of name under the remembered key (left in out too), or -1 when it cannot be
  // read; a stored 0xFFFFFFFF also reads as -1. Each call opens and closes the key itself.
  int32_t GetInt(const std::wstring& name, uint32_t& out);
  // Stores value as a 32-bit number under name: 0, or -1.
  int32_t SetInt(const std::wstring& name, uint32_t value);

  // The same on any key, without a store: a value of at most 4 bytes is returned whatever its
  // type, a longer one reads as -1.
  static int32_t ReadInt(RegistryRoot root, const std::wstring& path, const std::wstring& name, uint32_t& out);
  // Creates missing keys; 0, or -1.
  static int32_t WriteInt(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                          uint32_t value);

 private:
  struct OpenKey;  // the platform's open key

  RegistryRoot rootKey = REGISTRY_LOCAL_MACHINE;
  bool hasRoot = false;  // false until the first Create: reads and writes fail before it
  std::wstring subKeyPath;
  OpenKey* openKey = nullptr;
};
