// The settings store against the real thing: the registry (under Wine in the Windows build) or
// the settings file in a private configuration folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/registry_store.h"
#include "base/text.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>

#include <fstream>
#include <vector>
#endif

namespace {

#ifdef _WIN32
// Each test works on a key of its own below HKEY_CURRENT_USER\Software\KestruneTest, which it
// deletes at the end; the program's own key is never touched.
class StoreFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    static int serial = 0;
    path = L"Software\\KestruneTest\\store-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(serial++);
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
  }

  // Sets a value of any type with the raw API, as another program might have.
  void WriteRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
  }

  // True when the key exists (opened without creating it).
  bool KeyExists(const std::wstring& keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  RegistryRoot root = REGISTRY_CURRENT_USER;
  std::wstring path;
};
#else
// Each test gets its own configuration folder through XDG_CONFIG_HOME.
class StoreFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    hadConfig = old != nullptr;
    if (hadConfig) oldConfig = old;
    setenv("XDG_CONFIG_HOME", WideToUtf8(config.Path()).c_str(), 1);
  }
  void TearDown() override {
    if (hadConfig) {
      setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
  }

  std::string Folder() const { return WideToUtf8(config.Path()) + "kestrune"; }
  std::string KeyFile() const { return Folder() + "/user.software.kestrunetest.conf"; }
  void WriteFile(const std::string& content) {
    mkdir(Folder().c_str(), 0700);
    std::ofstream(KeyFile(), std::ios::binary | std::ios::trunc) << content;
  }
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    if (DIR* dir = opendir(Folder().c_str())) {
      while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
      }
      closedir(dir);
    }
    return names;
  }

  TempDir config;
  bool hadConfig = false;
  std::string oldConfig;
  RegistryRoot root = REGISTRY_CURRENT_USER;
  std::wstring path = L"Software\\KestruneTest";
};
#endif

using RegistryStoreTest = StoreFixture;

// While it lives, every store is refused the machine's key for writing, as Windows refuses it
// to a program that is not elevated; the rest is the real registry (or settings file).
class CRefusedMachineKey {
 public:
  CRefusedMachineKey() { CRegistryStore::RefuseMachineKeyForTesting(true); }
  ~CRefusedMachineKey() { CRegistryStore::RefuseMachineKeyForTesting(false); }
  CRefusedMachineKey(const CRefusedMachineKey&) = delete;
  CRefusedMachineKey& operator=(const CRefusedMachineKey&) = delete;
};

TEST_F(RegistryStoreTest, FirstRunCreatesTheKeyAndFindsNoValues) {
  CRegistryStore store;
  EXPECT_EQ(store.Create(root, path), 0);
  uint32_t out = 7;
  EXPECT_EQ(store.GetInt(L"win_x", out), -1);
  EXPECT_EQ(store.GetInt(L"win_y", out), -1);
  EXPECT_EQ(out, 7u);
}

TEST_F(RegistryStoreTest, WrittenValuesAreReadBackByTheNextStore) {
  {
    CRegistryStore store;
    ASSERT_EQ(store.Create(root, path), 0);
    EXPECT_EQ(store.SetInt(L"win_x", 120), 0);
    EXPECT_EQ(store.SetInt(L"win_y", 80), 0);
    EXPECT_EQ(store.SetInt(L"win_y", 81), 0);  // overwritten, not added
  }
  CRegistryStore next;
  ASSERT_EQ(next.Create(root, path), 0);
  uint32_t x = 0, y = 0;
  EXPECT_EQ(next.GetInt(L"win_x", x), 120);
  EXPECT_EQ(x, 120u);
  EXPECT_EQ(next.GetInt(L"win_y", y), 81);
  EXPECT_EQ(y, 81u);
  EXPECT_EQ(CRegistryStore::ReadInt(root, path, L"win_x", x), 120);
}

// Texts (the tools' download address an administrator sets) live beside the numbers: each
// reads back as written, a text never reads as a number nor a number as a text, and writing
// one value keeps the others.
TEST_F(RegistryStoreTest, TextValuesAreKeptBesideNumbers) {
  const std::wstring texts[] = {L"https://mirror.example/kestrune/", L"C:\\도구\\ \"quoted\" =100%\t^&!",
                                L"# not a comment"};
  for (const std::wstring& text : texts) {
    SCOPED_TRACE(WideToUtf8(text));
    ASSERT_EQ(CRegistryStore::WriteInt(root, path, L"win_x", 120), 0);
    ASSERT_EQ(CRegistryStore::WriteText(root, path, L"download_base", text), 0);
    ASSERT_EQ(CRegistryStore::WriteInt(root, path, L"win_y", 80), 0);
    std::wstring read = L"untouched";
    EXPECT_TRUE(CRegistryStore::ReadText(root, path, L"DOWNLOAD_BASE", read));
    EXPECT_EQ(read, text);
    uint32_t number = 7;
    EXPECT_EQ(CRegistryStore::ReadInt(root, path, L"win_x", number), 120);
    EXPECT_EQ(CRegistryStore::ReadInt(root, path, L"win_y", number), 80);
    std::wstring notText = L"untouched";
    EXPECT_FALSE(CRegistryStore::ReadText(root, path, L"win_x", notText));
    EXPECT_FALSE(CRegistryStore::ReadText(root, path, L"absent", notText));
    EXPECT_EQ(notText, L"untouched");
  }
}

TEST_F(RegistryStoreTest, ValuesKeepAll32BitsAndNamesIgnoreCase) {
  struct Case {
    const wchar_t* name;
    uint32_t value;
    int32_t read;
  } cases[] = {
      {L"zero", 0, 0},
      {L"high", 0x80000000u, INT32_MIN},
      {L"all_bits", 0xFFFFFFFFu, -1},  // indistinguishable from a failed read
      {L"\xD55C\xAE00 name=%\n", 5, 5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CRegistryStore::WriteInt(root, path, c.name, c.value), 0) << WideToUtf8(c.name);
    uint32_t out = 1;
    EXPECT_EQ(CRegistryStore::ReadInt(root, path, c.name, out), c.read) << WideToUtf8(c.name);
    EXPECT_EQ(out, c.value) << WideToUtf8(c.name);
  }
  EXPECT_EQ(CRegistryStore::WriteInt(root, path, L"Win_X", 3), 0);
  EXPECT_EQ(CRegistryStore::WriteInt(root, path, L"WIN_X", 4), 0);
  uint32_t out = 0;
  EXPECT_EQ(CRegistryStore::ReadInt(root, path, L"win_x", out), 4);
}

TEST_F(RegistryStoreTest, MissingKeyOrValueReadsAsMinusOne) {
  uint32_t out = 9;
  EXPECT_EQ(CRegistryStore::ReadInt(root, path + L"\\absent", L"win_x", out), -1);
  EXPECT_EQ(CRegistryStore::WriteInt(root, path, L"win_x", 1), 0);
  EXPECT_EQ(CRegistryStore::ReadInt(root, path, L"win_y", out), -1);
  EXPECT_EQ(out, 9u);
  CRegistryStore unbound;  // never given a key
  EXPECT_EQ(unbound.GetInt(L"win_x", out), -1);
  EXPECT_EQ(unbound.SetInt(L"win_x", 1), -1);
}

TEST_F(RegistryStoreTest, CreateRemembersThePathEvenWhenItFails) {
  CRegistryStore store;
  ASSERT_EQ(store.Create(root, path), 0);
  ASSERT_EQ(store.SetInt(L"win_x", 5), 0);
  // A key name longer than any the platform allows.
  std::wstring tooLong = path + L"\\" + std::wstring(300, L'k');
  EXPECT_NE(store.Create(root, tooLong), 0);
  uint32_t out = 0;
  EXPECT_EQ(store.GetInt(L"win_x", out), -1);  // now bound to the failed path
  EXPECT_EQ(store.SetInt(L"win_x", 6), -1);
  // Created twice on good keys: the second replaces the first.
  ASSERT_EQ(store.Create(root, path + L"\\second"), 0);
  EXPECT_EQ(store.GetInt(L"win_x", out), -1);
  ASSERT_EQ(store.Create(root, path), 0);
  EXPECT_EQ(store.GetInt(L"win_x", out), 5);
}

TEST_F(RegistryStoreTest, WhereTheMachineKeyIsRefusedTheUsersKeyTakesTheValuesAndIsReadFirst) {
  // Values left below the machine's root by an administrator or an elevated run.
  ASSERT_EQ(CRegistryStore::WriteInt(REGISTRY_LOCAL_MACHINE, path, L"win_x", 7), 0);
  ASSERT_EQ(CRegistryStore::WriteInt(REGISTRY_LOCAL_MACHINE, path, L"win_y", 8), 0);
  CRefusedMachineKey refused;
  uint32_t out = 0;
  {
    CRegistryStore store;
    EXPECT_EQ(store.Create(REGISTRY_LOCAL_MACHINE, path), 0);
    EXPECT_EQ(store.WriteRoot(), REGISTRY_CURRENT_USER);
    EXPECT_EQ(store.GetInt(L"win_x", out), 7);  // the machine's, while the user has none
    EXPECT_EQ(store.SetInt(L"win_x", 120), 0);
    EXPECT_EQ(store.GetInt(L"win_x", out), 120);  // the user's comes first
    EXPECT_EQ(out, 120u);
    EXPECT_EQ(store.GetInt(L"win_y", out), 8);
    EXPECT_EQ(store.GetInt(L"win_z", out), -1);
    EXPECT_EQ(out, 8u);
  }
  EXPECT_EQ(CRegistryStore::ReadInt(REGISTRY_CURRENT_USER, path, L"win_x", out), 120);
  EXPECT_EQ(CRegistryStore::ReadInt(REGISTRY_LOCAL_MACHINE, path, L"win_x", out), 7);  // untouched
  // The next run finds the user's value.
  CRegistryStore next;
  ASSERT_EQ(next.Create(REGISTRY_LOCAL_MACHINE, path), 0);
  EXPECT_EQ(next.GetInt(L"win_x", out), 120);
  // The current user's own root is never given up.
  CRegistryStore user;
  ASSERT_EQ(user.Create(REGISTRY_CURRENT_USER, path), 0);
  EXPECT_EQ(user.WriteRoot(), REGISTRY_CURRENT_USER);
  EXPECT_EQ(user.GetInt(L"win_y", out), -1);
}

TEST_F(RegistryStoreTest, AMachineKeyThatMayBeWrittenKeepsTheValues) {
  ASSERT_EQ(CRegistryStore::WriteInt(REGISTRY_CURRENT_USER, path, L"win_x", 1), 0);
  CRegistryStore store;
  ASSERT_EQ(store.Create(REGISTRY_LOCAL_MACHINE, path), 0);
  EXPECT_EQ(store.WriteRoot(), REGISTRY_LOCAL_MACHINE);
  uint32_t out = 0;
  EXPECT_EQ(store.GetInt(L"win_x", out), -1);  // the user's key is not looked at
  ASSERT_EQ(store.SetInt(L"win_x", 5), 0);
  EXPECT_EQ(CRegistryStore::ReadInt(REGISTRY_LOCAL_MACHINE, path, L"win_x", out), 5);
  EXPECT_EQ(CRegistryStore::ReadInt(REGISTRY_CURRENT_USER, path, L"win_x", out), 1);
}

#ifdef _WIN32

TEST_F(RegistryStoreTest, CreateOpensTheKeyAndWriteCreatesMissingKeys) {
  CRegistryStore store;
  ASSERT_EQ(store.Create(root, path), 0);
  EXPECT_TRUE(KeyExists(path));
  EXPECT_EQ(CRegistryStore::WriteInt(root, path + L"\\a\\b", L"v", 2), 0);
  EXPECT_TRUE(KeyExists(path + L"\\a\\b"));
  uint32_t out = 0;
  EXPECT_EQ(CRegistryStore::ReadInt(root, path + L"\\a\\b", L"v", out), 2);
}

TEST_F(RegistryStoreTest, ValuesOfOtherTypesReadAsRawBytesUpToFour) {
  const BYTE twoBytes[] = {0x34, 0x12};
  WriteRaw(L"binary2", REG_BINARY, twoBytes, sizeof twoBytes);
  WriteRaw(L"text1", REG_SZ, L"a", 4);  // "a" and its terminator: exactly 4 bytes
  const wchar_t longText[] = L"not a number";
  WriteRaw(L"text", REG_SZ, longText, sizeof longText);
  const uint64_t wide = 7;
  WriteRaw(L"qword", REG_QWORD, &wide, sizeof wide);
  struct Case {
    const wchar_t* name;
    int32_t read;
  } cases[] = {{L"binary2", 0x1234}, {L"text1", 0x61}, {L"text", -1}, {L"qword", -1}};
  for (const Case& c : cases) {
    uint32_t out = 0xAAAAAAAAu;
    EXPECT_EQ(CRegistryStore::ReadInt(root, path, c.name, out), c.read) << WideToUtf8(c.name);
    if (c.read != -1) {
      EXPECT_EQ(out, static_cast<uint32_t>(c.read)) << WideToUtf8(c.name);
    }
  }
}

TEST_F(RegistryStoreTest, WritesAreDwordValues) {
  ASSERT_EQ(CRegistryStore::WriteInt(root, path, L"win_x", 120), 0);
  DWORD type = 0, data = 0, size = sizeof data;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, path.c_str(), L"win_x", RRF_RT_ANY, &type, &data, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(data, 120u);
}

TEST(RegistryStoreMachine, TheProgramsKeyBelowLocalMachineIsWritable) {
  // The program's own root and key path; a test value is added and removed again.
  const std::wstring name = L"kestrune_test_" + std::to_wstring(GetCurrentProcessId());
  CRegistryStore store;
  ASSERT_EQ(store.Create(REGISTRY_LOCAL_MACHINE, kRegistryKeyPath), 0);
  ASSERT_EQ(store.SetInt(name, 42), 0);
  uint32_t out = 0;
  EXPECT_EQ(store.GetInt(name, out), 42);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRegistryKeyPath, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegDeleteValueW(key, name.c_str());
  RegCloseKey(key);
}

#else

TEST_F(RegistryStoreTest, KeepsOneSmallFileInTheConfigurationFolder) {
  CRegistryStore store;
  ASSERT_EQ(store.Create(root, path), 0);
  ASSERT_EQ(store.SetInt(L"win_x", 120), 0);
  ASSERT_EQ(store.SetInt(L"win_y", 80), 0);
  std::ifstream in(KeyFile(), std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "# Kestrune settings\nwin_x=120\nwin_y=80\n");
  // Written by replacing the file whole: no temporary file is left beside it.
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"user.software.kestrunetest.conf"});
  // The two roots and other key paths are separate files, which cannot leave the folder.
  EXPECT_EQ(CRegistryStore::WriteInt(REGISTRY_LOCAL_MACHINE, L"..\\..\\x/y", L"v", 1), 0);
  EXPECT_EQ(FolderEntries().size(), 2u);
  struct stat info;
  EXPECT_EQ(stat((Folder() + "/machine.%2E%2E.%2E%2E.x%2Fy.conf").c_str(), &info), 0);
}

TEST_F(RegistryStoreTest, DamagedLinesReadAsMissingAndAreDroppedByTheNextWrite) {
  std::string garbage("\x00\xff\xfe binary", 10);
  WriteFile(garbage + "\nwin_y=80\nwin_x=abc\nwide=4294967296\nneg=-1\n%zz=3\nno equals\nwin_z=12 \n" +
            std::string(5000, 'q'));
  struct Case {
    const wchar_t* name;
    int32_t read;
  } cases[] = {{L"win_y", 80}, {L"win_x", -1}, {L"wide", -1}, {L"neg", -1}, {L"win_z", -1}};
  for (const Case& c : cases) {
    uint32_t out = 0;
    EXPECT_EQ(CRegistryStore::ReadInt(root, path, c.name, out), c.read) << WideToUtf8(c.name);
  }
  ASSERT_EQ(CRegistryStore::WriteInt(root, path, L"win_x", 1), 0);
  std::ifstream in(KeyFile(), std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "# Kestrune settings\nwin_y=80\nwin_x=1\n");
}

TEST_F(RegistryStoreTest, AFileThatIsNotOursReadsAsEmpty) {
  WriteFile("win_x=5\n" + std::string(2 << 20, '#'));  // larger than any settings file
  uint32_t out = 0;
  EXPECT_EQ(CRegistryStore::ReadInt(root, path, L"win_x", out), -1);
}

TEST_F(RegistryStoreTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  ASSERT_EQ(CRegistryStore::WriteInt(root, path, L"win_x", 1), 0);
  // A folder where the key's file should be: every write must fail cleanly.
  std::string other = Folder() + "/user.blocked.conf";
  ASSERT_EQ(mkdir(other.c_str(), 0700), 0);
  EXPECT_EQ(CRegistryStore::WriteInt(root, L"blocked", L"win_x", 2), -1);
  CRegistryStore store;
  EXPECT_NE(store.Create(root, L"blocked"), 0);
  EXPECT_EQ(FolderEntries().size(), 2u);  // the settings file and the blocking folder
  uint32_t out = 0;
  EXPECT_EQ(CRegistryStore::ReadInt(root, path, L"win_x", out), 1);
}

TEST_F(RegistryStoreTest, AMachineFileThatCannotBeMadeLeavesTheValuesToTheUsersFile) {
  // A folder where the machine's file should be: that key cannot be written.
  ASSERT_EQ(mkdir(Folder().c_str(), 0700), 0);
  ASSERT_EQ(mkdir((Folder() + "/machine.software.kestrunetest.conf").c_str(), 0700), 0);
  CRegistryStore store;
  EXPECT_EQ(store.Create(REGISTRY_LOCAL_MACHINE, path), 0);
  EXPECT_EQ(store.WriteRoot(), REGISTRY_CURRENT_USER);
  ASSERT_EQ(store.SetInt(L"win_x", 3), 0);
  std::ifstream in(KeyFile(), std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "# Kestrune settings\nwin_x=3\n");
  uint32_t out = 0;
  EXPECT_EQ(store.GetInt(L"win_x", out), 3);
}

TEST_F(RegistryStoreTest, WithoutXdgConfigHomeTheHomeFolderIsUsed) {
  TempDir home;
  const char* oldHome = std::getenv("HOME");
  std::string savedHome = oldHome != nullptr ? oldHome : "";
  setenv("HOME", WideToUtf8(home.Path()).c_str(), 1);
  for (const char* config : {static_cast<const char*>(nullptr), "relative/folder"}) {
    if (config == nullptr) {
      unsetenv("XDG_CONFIG_HOME");
    } else {
      setenv("XDG_CONFIG_HOME", config, 1);
    }
    EXPECT_EQ(CRegistryStore::WriteInt(root, path, L"win_x", 3), 0);
    struct stat info;
    EXPECT_EQ(stat((WideToUtf8(home.Path()) + ".config/kestrune/user.software.kestrunetest.conf").c_str(), &info),
              0);
  }
  if (oldHome != nullptr) {
    setenv("HOME", savedHome.c_str(), 1);
  } else {
    unsetenv("HOME");
  }
}

#endif

}  // namespace
