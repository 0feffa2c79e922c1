#pragma once
// The few values kept between runs (the main window's position), as unsigned 32-bit numbers by
// name under one key, and a few texts an administrator sets (the tools' download address): the registry on
// Windows; elsewhere one small file per key in the user's configuration folder ($XDG_CONFIG_HOME/kestrune/,
// else ~/.config/kestrune/).
//
// Windows refuses a program that is not elevated the writing of keys below
// HKEY_LOCAL_MACHINE. A store created on the machine root whose key cannot be opened for
// writing keeps its values below the current user's root instead, at the same path, and reads
// them from there first; the machine's key is still read after it.
#include <cstdint>
#include <string>
#include <vector>

enum RegistryRoot : int { REGISTRY_LOCAL_MACHINE = 0, REGISTRY_CURRENT_USER = 1 };

constexpr const wchar_t* kRegistryKeyPath = L"Software\\Kestrune";

class CRegistryStore {
 public:
  CRegistryStore();
  virtual ~CRegistryStore();  // closes openKey
  CRegistryStore(const CRegistryStore&) = delete;
  CRegistryStore& operator=(const CRegistryStore&) = delete;

  // Creates root\path, or opens it when it exists, with full access, and keeps it open. Root
  // and path are remembered even when this fails. When root is the machine's and its key is
  // refused, the current user's root\path is created and kept instead and takes the writes.
  // 0, or the platform's error code for root (the previous key then stays open).
  long Create(RegistryRoot root, const std::wstring& path);

  // The value of name (left in out too), or -1 when it cannot be read; a stored 0xFFFFFFFF
  // also reads as -1. Read from the key the store writes, then, when that is the current
  // user's in place of the machine's, from the machine's. Each call opens and closes the key.
  int32_t GetInt(const std::wstring& name, uint32_t& out);
  // Stores value as a 32-bit number under name, in the key the store writes: 0, or -1.
  int32_t SetInt(const std::wstring& name, uint32_t value);
  // A text value under name, read from the same keys as GetInt; false, with out untouched,
  // when there is none.
  bool GetText(const std::wstring& name, std::wstring& out);
  // Stores value as a text under name, in the key the store writes: 0, or -1.
  int32_t SetText(const std::wstring& name, const std::wstring& value);
  // The names of the values in the store's keys: the key it writes first, then, where that is
  // the current user's in place of the machine's, the machine's names it lacks (matched without
  // regard to ASCII case, as the registry matches them). Empty before Create.
  std::vector<std::wstring> ValueNames();
  // Removes name from the key the store writes: 0 when it is gone (or was never there), -1.
  int32_t DeleteValue(const std::wstring& name);
  // The root whose key takes the writes: the one given to Create, or the current user's where
  // the machine's key was refused.
  RegistryRoot WriteRoot() const { return writeRoot; }

  // Tests only: every later Create treats the machine root's key as refused for writing, as
  // Windows does for a program that is not elevated (Wine lets every program write it).
  static void RefuseMachineKeyForTesting(bool refused);

  // The same on any key, without a store: a value of at most 4 bytes is returned whatever its
  // type, a longer one reads as -1. Reading needs only the right to query the key.
  static int32_t ReadInt(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                         uint32_t& out);
  // Creates missing keys; 0, or -1.
  static int32_t WriteInt(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                          uint32_t value);
  // A text value (REG_SZ; a quoted text in the POSIX file) of name under root\path into out;
  // false, with out untouched, when the key or the value is missing or is not a text.
  static bool ReadText(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                       std::wstring& out);
  // Stores value as a text under name, creating missing keys; 0, or -1.
  static int32_t WriteText(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                           const std::wstring& value);
  // A text that only an administrator can have set: the text value name (REG_SZ, of any
  // length up to 64 KB) under HKEY_LOCAL_MACHINE\path, read there alone, never from the current
  // user's key the store falls back to. POSIX keeps no such value (the settings files are the
  // user's own; the machine's tools come from its packages): false there. False, with out
  // untouched, when the value is missing or is not a text.
  static bool ReadMachineText(const std::wstring& path, const std::wstring& name, std::wstring& out);

 private:
  struct OpenKey;  // the platform's open key

  // Creates or opens root\path with full access and keeps it in openKey: 0, or the platform's
  // error code (openKey then unchanged).
  long OpenForWriting(RegistryRoot root, const std::wstring& path);
  // The value of name under root\path; false when the key or the value cannot be read.
  static bool ReadValue(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                        uint32_t& value);
  // The names of the values under root\path; empty when the key cannot be read.
  static std::vector<std::wstring> ReadNames(RegistryRoot root, const std::wstring& path);
  // Removes name under root\path: 0 when it is gone, -1.
  static int32_t RemoveValue(RegistryRoot root, const std::wstring& path, const std::wstring& name);
  // The platform's code for a refused key.
  static const long kAccessDenied;

  RegistryRoot rootKey = REGISTRY_LOCAL_MACHINE;
  RegistryRoot writeRoot = REGISTRY_LOCAL_MACHINE;
  bool hasRoot = false;  // false until the first Create: reads and writes fail before it
  std::wstring subKeyPath;
  OpenKey* openKey = nullptr;
};
