// Hostile downloads against the local server: a mirror whose own SHA-256 list vouches for other
// bytes, archives that lie about their members' sizes, name a device or fail after replacing a
// file of an earlier install. Each is refused with its reason and leaves the folder as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/registry_store.h"
#include "base/text.h"
#include "install/download_record.h"
#include "install/download_sums.h"
#include "install/install_fixture.h"
#include "install/installer.h"

namespace {

const std::wstring kSuccess = L"OK! 설치 성공";
const std::wstring kFailure = L"Error!! 설치 실패";

using InstallerHostileTest = InstallFixture;

// The release (or the setting of a row) accepts the archives the real host publishes; a mirror
// serves a MediaInfo.zip of other bytes with a list that matches them. Only an administrator's
// setting on Windows may add the mirror's sum: the user's settings and the environment cannot,
// and POSIX has no administrator's setting (its "machine" file is the user's own).
TEST_F(InstallerHostileTest, AMirrorsOwnListIsNoTrust) {
#ifndef _WIN32
  TempDir config;
  std::wstring configPath = config.Path();
  configPath.pop_back();
  env.Set(L"XDG_CONFIG_HOME", configPath);
#endif
  WriteStandIn(server.Content(), L"MediaInfo.exe");
  server.AddArchive({L"zip", L"MediaInfo.zip", L"MediaInfo.exe"});
  StartServer();  // the real host: its sums are the release's
  TempDir mirrorWork;
  LocalHttpServer mirror(mirrorWork.Path());
  std::ofstream(std::filesystem::path(mirror.Content() + L"MediaInfo.exe"), std::ios::binary)
      << kStandInContent << "echo something else\n";
  mirror.AddArchive({L"zip", L"MediaInfo.zip", L"MediaInfo.exe"});
  ASSERT_TRUE(mirror.Start()) << mirror.Error();
  env.Set(L"KESTRUNE_DOWNLOAD_BASE", mirror.BaseAddress());
  // The mirror's sum among many others, as an organisation's list of its builds would hold it.
  std::wstring sums = Utf8ToWide(ReadFile(mirror.Served() + L"SHA256SUMS").substr(0, 64)) + L";";
  for (int i = 0; i < 40; ++i) sums += L"\r\n" + std::wstring(63, L"0123456789abcdef"[i % 16]) + L"0,";

  const struct {
    const char* where;  // where the sums are set
    bool accepted;
  } rows[] = {
      {"nowhere", false},
      {"the user's settings", false},
      {"the environment", false},
#ifdef _WIN32
      {"the machine's settings", true},
#else
      {"the machine's settings", false},
#endif
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.where);
    TempDir folder;
    UseProgramFolder(folder.Path());
    const std::string where = row.where;
    if (where == "the environment") env.Set(L"KESTRUNE_DOWNLOAD_SUMS", sums);
    for (RegistryRoot root : {REGISTRY_CURRENT_USER, REGISTRY_LOCAL_MACHINE}) {
      bool set = where == (root == REGISTRY_CURRENT_USER ? "the user's settings" : "the machine's settings");
      ASSERT_EQ(CRegistryStore::WriteText(root, kRegistryKeyPath, kDownloadSumsSetting, set ? sums : L""), 0);
    }

    CInstallRefusal refusal;
    std::wstring outcome = RunInstall(INSTALL_MEDIAINFO, &refusal);

    for (RegistryRoot root : {REGISTRY_CURRENT_USER, REGISTRY_LOCAL_MACHINE})
      CRegistryStore::WriteText(root, kRegistryKeyPath, kDownloadSumsSetting, L"");
    env.Set(L"KESTRUNE_DOWNLOAD_SUMS", L"");
    SetCurrentDir(savedCurrentDir);
    if (row.accepted) {
      EXPECT_EQ(outcome, kSuccess) << WideToUtf8(InstallRefusalText(refusal, kUiLanguageEnglish));
      EXPECT_EQ(ReadFile(folder.File(L"MediaInfo.exe")),
                std::string(kStandInContent) + "echo something else\n");
      continue;
    }
    EXPECT_EQ(outcome, kFailure);
    EXPECT_EQ(refusal.kind, REFUSAL_NOT_ACCEPTED);
    EXPECT_EQ(refusal.subject, L"MediaInfo.zip");
    EXPECT_TRUE(FolderFiles(folder.Path()).empty());
  }
  EXPECT_EQ(mirror.Requests().size(), 2 * std::size(rows));  // the archive and its list, each time
  EXPECT_TRUE(server.Requests().empty());
}

struct CHostileCase {
  const char* what;
  std::vector<std::vector<std::wstring>> rows;  // the server's rows for "second/MediaInfo.zip"
  InstallRefusalKind kind;
  std::wstring subject;
};

// An earlier install left MediaInfo.zip and README.txt (MediaInfo.exe was then removed by
// hand); a second install from a hostile archive fails, and the folder is what it was.
TEST_F(InstallerHostileTest, AHostileArchiveLeavesTheFolderAsItWas) {
  WriteStandIn(server.Content(), L"MediaInfo.exe");
  auto put = [this](const std::wstring& name, const std::string& content) {
    std::ofstream(std::filesystem::path(server.Content() + name), std::ios::binary) << content;
  };
  put(L"README.txt", "first readme\r\n");
  put(L"big.dll", std::string(5 << 20, '\0'));
  put(L"README2.txt", "second readme\r\n");
  server.AddArchive({L"zip", L"first/MediaInfo.zip", L"MediaInfo.exe", L"README.txt"});
  const std::wstring second = L"second/MediaInfo.zip";
  const CHostileCase cases[] = {
      {"a member holding more than it declares",
       {{L"zip", second, L"MediaInfo.exe", L"big.dll"}, {L"declare", second, L"big.dll", L"10"}},
       REFUSAL_MEMBER_TOO_LARGE,
       L"big.dll"},
      {"members declaring more than 1 GiB",
       {{L"zip", second, L"MediaInfo.exe", L"README.txt"},
        {L"declare", second, L"MediaInfo.exe", L"600000000"},
        {L"declare", second, L"README.txt", L"600000000"}},
       REFUSAL_ARCHIVE_TOO_LARGE,
       L"MediaInfo.zip"},
      {"a failing member after one that replaces an earlier install's",
       {{L"zipas", second, L"README.txt", L"README2.txt", L"MediaInfo.exe", L"MediaInfo.exe"},
        {L"badcrc", second, L"MediaInfo.exe"}},
       REFUSAL_ARCHIVE_DAMAGED,
       L"MediaInfo.zip"},
  };
  std::vector<std::wstring> reserved = {L"CON",  L"nul.txt", L"Com1.dll",  L"LPT9",   L"aux .txt",
                                        L"PRN.", L"CONOUT$", L"COM\u00B2", L"notes.", L"readme "};
  std::vector<CHostileCase> all(std::begin(cases), std::end(cases));
  for (const std::wstring& name : reserved) {
    all.push_back({"a name Windows reserves",
                   {{L"zipas", second, L"README.txt", L"README2.txt", name, L"MediaInfo.exe"}},
                   REFUSAL_RESERVED_NAME,
                   name});
  }
  for (size_t i = 0; i < all.size(); ++i) {
    for (std::vector<std::wstring> row : all[i].rows) {
      row[1] = std::to_wstring(i) + L"/" + row[1];
      server.AddArchive(row);
    }
  }
  StartServer();
  for (size_t i = 0; i < all.size(); ++i) {
    const CHostileCase& c = all[i];
    SCOPED_TRACE(testing::Message() << c.what << " " << WideToUtf8(c.subject));
    TempDir folder;
    UseProgramFolder(folder.Path());
    env.Set(L"KESTRUNE_DOWNLOAD_BASE", server.BaseAddress() + L"first/");
    ASSERT_EQ(RunInstall(INSTALL_MEDIAINFO), kSuccess);
    ASSERT_TRUE(RemoveFile(folder.File(L"MediaInfo.exe")));
    const std::string archive = ReadFile(folder.File(L"MediaInfo.zip"));
    const std::string record = ReadFile(folder.File(kDownloadRecordName));
    const std::vector<std::wstring> before = FolderFiles(folder.Path());

    env.Set(L"KESTRUNE_DOWNLOAD_BASE", server.BaseAddress() + std::to_wstring(i) + L"/second/");
    CInstallRefusal refusal;
    EXPECT_EQ(RunInstall(INSTALL_MEDIAINFO, &refusal), kFailure);

    EXPECT_EQ(refusal.kind, c.kind);
    EXPECT_EQ(refusal.subject, c.subject);
    EXPECT_NE(InstallRefusalText(refusal, kUiLanguageEnglish).find(c.subject), std::wstring::npos);
    EXPECT_EQ(FolderFiles(folder.Path()), before);
    EXPECT_TRUE(ReadFile(folder.File(L"MediaInfo.zip")) == archive);
    EXPECT_EQ(ReadFile(folder.File(L"README.txt")), "first readme\r\n");
    EXPECT_TRUE(ReadFile(folder.File(kDownloadRecordName)) == record);
    SetCurrentDir(savedCurrentDir);
  }
}

// The record as the program reads and writes it: a line naming a device, or ending in a dot or
// a blank, is never taken for a file of the install's.
TEST_F(InstallerHostileTest, TheRecordHoldsNoNameWindowsReserves) {
  std::wstring text =
      std::wstring(1, wchar_t(0xFEFF)) +
      L"# Files Kestrune downloaded into this folder; its uninstaller removes them (and nothing "
      L"else).\r\nCON\r\nnul.txt\r\nCOM\u00B9\r\nnotes.\r\nLpt3.log\r\nMediaInfo.exe\r\n";
  std::string bytes;
  for (wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF)};
  program.Write(kDownloadRecordName, bytes);
  CDownloadRecord record(program.Path());
  EXPECT_EQ(record.Names(), std::vector<std::wstring>{L"MediaInfo.exe"});
  ASSERT_TRUE(record.Add({L"AUX", L"conin$", L"MediaInfo.zip"}));
  EXPECT_EQ(CDownloadRecord(program.Path()).Names(),
            (std::vector<std::wstring>{L"MediaInfo.exe", L"MediaInfo.zip"}));
}

}  // namespace
