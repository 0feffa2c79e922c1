// The installer's checks end to end against the local server: what it refuses (a damaged or
// altered download, a missing SHA-256 list, an address that is not HTTPS, a redirect away
// from HTTPS, a file of the user's in the way) leaves nothing behind and says why; what it
// writes is recorded, never replaces a file of the user's, and works whatever the program
// folder is called.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "install/download_record.h"
#include "install/install_fixture.h"
#include "install/installer.h"

namespace {

namespace fs = std::filesystem;

const std::wstring kSuccess = L"OK! 설치 성공";
const std::wstring kFailure = L"Error!! 설치 실패";

class InstallerChecksTest : public InstallFixture {
 protected:
  // Serves the stand-in programs' archives: ffmpeg.exe split in two, MediaInfo.exe whole.
  static void AddToolArchives(LocalHttpServer& server) {
    WriteStandIn(server.Content(), L"ffmpeg.exe");
    WriteStandIn(server.Content(), L"MediaInfo.exe");
    server.AddArchive({L"split", L"ffmpeg.zip", L"ffmpeg.exe"});
    server.AddArchive({L"zip", L"MediaInfo.zip", L"MediaInfo.exe"});
  }
};

struct CRefusalCase {
  const char* what;
  int32_t mode;
  std::vector<std::vector<std::wstring>> serverRows;  // beyond the archives themselves
  InstallRefusalKind kind;
  std::wstring subject;  // the end of the refusal's subject
  std::wstring base;     // the download address, when not the server's ("" = the server's)
};

TEST_F(InstallerChecksTest, ARefusedDownloadLeavesNothingAndSaysWhy) {
  const CRefusalCase cases[] = {
      {"a corrupted part",
       INSTALL_FFMPEG,
       {{L"corrupt", L"ffmpeg.zip.002"}},
       REFUSAL_CHECKSUM_MISMATCH,
       L"ffmpeg.zip.002",
       L""},
      {"a wrong sum in the list",
       INSTALL_FFMPEG,
       {{L"wrongsum", L"ffmpeg.zip.001"}},
       REFUSAL_CHECKSUM_MISMATCH,
       L"ffmpeg.zip.001",
       L""},
      {"a part the list does not name",
       INSTALL_FFMPEG,
       {{L"unlisted", L"ffmpeg.zip.002"}},
       REFUSAL_CHECKSUM_NOT_LISTED,
       L"ffmpeg.zip.002",
       L""},
      {"no list", INSTALL_FFMPEG, {{L"nosums", L"."}}, REFUSAL_CHECKSUM_LIST_MISSING, L"/SHA256SUMS", L""},
      {"a corrupted probe archive",
       INSTALL_MEDIAINFO,
       {{L"corrupt", L"MediaInfo.zip"}},
       REFUSAL_CHECKSUM_MISMATCH,
       L"MediaInfo.zip",
       L""},
      {"no list for the probe",
       INSTALL_MEDIAINFO,
       {{L"nosums", L"."}},
       REFUSAL_CHECKSUM_LIST_MISSING,
       L"/SHA256SUMS",
       L""},
      {"a part redirected to plain HTTP",
       INSTALL_FFMPEG,
       {{L"redirect", L"ffmpeg.zip.001", L"http://127.0.0.1:{port}/ffmpeg.zip.002"}},
       REFUSAL_REDIRECT_NOT_HTTPS,
       L"/ffmpeg.zip.001",
       L""},
      {"plain HTTP to another host",
       INSTALL_MEDIAINFO,
       {},
       REFUSAL_ADDRESS_NOT_HTTPS,
       L"mirror.invalid/tools/",
       L"http://mirror.invalid/tools/"},
      {"an unknown scheme",
       INSTALL_FFMPEG,
       {},
       REFUSAL_ADDRESS_NOT_HTTPS,
       L"ftp://127.0.0.1/tools/",
       L"ftp://127.0.0.1/tools/"},
  };
  for (const CRefusalCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir serverWork;
    LocalHttpServer caseServer(serverWork.Path());
    AddToolArchives(caseServer);
    for (const auto& row : c.serverRows) caseServer.AddArchive(row);
    ASSERT_TRUE(caseServer.Start()) << caseServer.Error();
    env.Set(L"KESTRUNE_DOWNLOAD_BASE", c.base.empty() ? caseServer.BaseAddress() : c.base);
    TempDir folder;
    UseProgramFolder(folder.Path());

    CInstallRefusal refusal;
    EXPECT_EQ(RunInstall(c.mode, &refusal), kFailure);

    EXPECT_EQ(refusal.kind, c.kind);
    EXPECT_TRUE(
        refusal.subject.size() >= c.subject.size() &&
        refusal.subject.compare(refusal.subject.size() - c.subject.size(), c.subject.size(), c.subject) == 0)
        << WideToUtf8(refusal.subject);
    // No tool, no part, no joined archive, no half download, no record.
    EXPECT_TRUE(FolderFiles(folder.Path()).empty()) << WideToUtf8(FolderFiles(folder.Path()).front());
    for (int32_t language : {kUiLanguageKorean, kUiLanguageEnglish}) {
      std::wstring why = InstallRefusalText(refusal, language);
      EXPECT_NE(why.find(refusal.subject), std::wstring::npos) << WideToUtf8(why);
    }
    if (!c.base.empty()) {
      EXPECT_TRUE(caseServer.Requests().empty());  // refused before anything was asked
    }
    SetCurrentDir(savedCurrentDir);
    caseServer.Stop();
  }
}

TEST_F(InstallerChecksTest, TheToolArrivesWhateverTheProgramFolderIsCalled) {
  // Every character cmd.exe would read as syntax, blanks and Korean; and a folder whose path is
  // longer than Windows takes without its \\?\ form.
  const std::wstring names[] = {L"Tom&Jerry", L"a^b %PATH% !x!", L"(x86) 케스트룬 & co", L"100% & ^^ (!)",
                                L""};
  AddToolArchives(server);
  StartServer();
  for (const std::wstring& name : names) {
    SCOPED_TRACE(WideToUtf8(name));
    TempDir parent;
    std::wstring folder = name.empty() ? parent.DeepFolder(300) : parent.Folder(name);
    ASSERT_FALSE(folder.empty());
    UseProgramFolder(folder);
    trace.Clear();

    for (int32_t mode : {INSTALL_FFMPEG, INSTALL_MEDIAINFO}) {
      CInstallRefusal refusal;
      EXPECT_EQ(RunInstall(mode, &refusal), kSuccess)
          << WideToUtf8(InstallRefusalText(refusal, kUiLanguageEnglish));
    }

    EXPECT_EQ(ReadFile(folder + L"ffmpeg.exe"), kStandInContent);
    EXPECT_EQ(ReadFile(folder + L"MediaInfo.exe"), kStandInContent);
    EXPECT_EQ(CDownloadRecord(folder).Names().size(), 6u);
    // Found where it was put: the last lookup's path lies in the folder.
    std::wstring last = folder.substr(folder.size() - 30);
    bool foundInFolder = false;
    for (const std::wstring& line : trace.Lines()) {
      if (line.find(L")-[") != std::wstring::npos && line.find(last) != std::wstring::npos &&
          ToLowerText(line).find(L"mediainfo.exe]") != std::wstring::npos) {
        foundInFolder = true;
      }
    }
    EXPECT_TRUE(foundInFolder);
    SetCurrentDir(savedCurrentDir);
  }
}

TEST_F(InstallerChecksTest, AFileOfTheUsersIsNeverReplaced) {
  WriteStandIn(server.Content(), L"ffmpeg.exe");
  WriteStandIn(server.Content(), L"README.txt");
  server.AddArchive({L"split", L"ffmpeg.zip", L"ffmpeg.exe", L"README.txt"});
  StartServer();
  // A part's name taken by the user's own file: nothing is downloaded.
  std::wstring users = program.Write(L"ffmpeg.zip.001", "mine");
  CInstallRefusal refusal;
  EXPECT_EQ(RunInstall(INSTALL_FFMPEG, &refusal), kFailure);
  EXPECT_EQ(refusal.kind, REFUSAL_NAME_TAKEN);
  EXPECT_EQ(refusal.subject, L"ffmpeg.zip.001");
  EXPECT_EQ(ReadFile(users), "mine");
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_EQ(ProgramFiles(), std::vector<std::wstring>{L"ffmpeg.zip.001"});

  // A member's name taken by the user's own file: that member is left out, the rest arrives.
  RemoveFile(users);
  std::wstring readme = program.Write(L"README.txt", "my notes\r\n");
  EXPECT_EQ(RunInstall(INSTALL_FFMPEG, &refusal), kSuccess);
  EXPECT_EQ(ReadFile(readme), "my notes\r\n");
  EXPECT_EQ(ReadFile(program.File(L"ffmpeg.exe")), kStandInContent);
  EXPECT_EQ(CDownloadRecord(program.Path()).Names(),
            (std::vector<std::wstring>{L"ffmpeg.zip.001", L"ffmpeg.zip.002", L"ffmpeg.zip", L"ffmpeg.exe"}));

  // What an earlier install wrote is its own to replace: the tool removed by hand comes back.
  RemoveFile(program.File(L"ffmpeg.exe"));
  EXPECT_EQ(RunInstall(INSTALL_FFMPEG, &refusal), kSuccess);
  EXPECT_EQ(refusal.kind, REFUSAL_NONE);
  EXPECT_EQ(ReadFile(readme), "my notes\r\n");

  // A record file that the installer did not write is the user's too.
  TempDir other;
  UseProgramFolder(other.Path());
  other.Write(kDownloadRecordName, "my own list\r\n");
  EXPECT_EQ(RunInstall(INSTALL_FFMPEG, &refusal), kFailure);
  EXPECT_EQ(refusal.kind, REFUSAL_NAME_TAKEN);
  EXPECT_EQ(ReadFile(other.File(kDownloadRecordName)), "my own list\r\n");
  SetCurrentDir(savedCurrentDir);
}

TEST_F(InstallerChecksTest, OnlyPlainTopLevelMembersAreUnpacked) {
  WriteStandIn(server.Content(), L"MediaInfo.exe");
  WriteStandIn(server.Content(), L"x.txt");
  // Each stored name but the last would land outside the folder or in a subfolder.
  server.AddArchive({L"zipas", L"MediaInfo.zip", L"../escaped.txt", L"x.txt", L"sub/inner.txt", L"x.txt",
                     L"C:evil.txt", L"x.txt", L"a\\b.txt", L"x.txt", L"/abs.txt", L"x.txt", L"MediaInfo.exe",
                     L"MediaInfo.exe"});
  StartServer();
  TempDir parent;
  std::wstring folder = parent.Path() + L"program" + kPathSeparator;
  ASSERT_TRUE(fs::create_directory(FsPath(folder)));
  UseProgramFolder(folder);

  EXPECT_EQ(RunInstall(INSTALL_MEDIAINFO), kSuccess);

  EXPECT_EQ(FolderFiles(folder),
            (std::vector<std::wstring>{L"MediaInfo.exe", L"MediaInfo.zip", kDownloadRecordName}));
  EXPECT_EQ(FolderFiles(parent.Path()), std::vector<std::wstring>{L"program"});
  SetCurrentDir(savedCurrentDir);
}

TEST_F(InstallerChecksTest, ADamagedArchiveWithoutTheProgramSaysSo) {
  WriteStandIn(server.Content(), L"other.exe");
  server.AddArchive({L"zip", L"MediaInfo.zip", L"other.exe"});
  StartServer();
  CInstallRefusal refusal;
  EXPECT_EQ(RunInstall(INSTALL_MEDIAINFO, &refusal), kFailure);
  EXPECT_EQ(refusal.kind, REFUSAL_PROGRAM_NOT_IN_ARCHIVE);
  EXPECT_EQ(refusal.subject, L"MediaInfo.zip");
  EXPECT_EQ(refusal.program, L"MediaInfo.exe");
  // A failed install: what it unpacked goes again, and nothing is recorded.
  EXPECT_TRUE(ProgramFiles().empty());
}

TEST_F(InstallerChecksTest, TheRecordIsTheTextTheUninstallerReads) {
  AddToolArchives(server);
  StartServer();
  CInstallRefusal refusal;
  ASSERT_EQ(RunInstall(INSTALL_MEDIAINFO, &refusal), kSuccess) << WideToUtf8(InstallRefusalText(refusal, 9));
  std::string bytes = ReadFile(program.File(kDownloadRecordName));
  // UTF-16LE with a byte-order mark, a "#" header line, then one name per CR LF line.
  std::string expected = "\xFF\xFE";
  std::wstring text =
      L"# Files Kestrune downloaded into this folder; its uninstaller removes them (and nothing "
      L"else).\r\nMediaInfo.zip\r\nMediaInfo.exe\r\n";
  for (wchar_t c : text) {
    expected += static_cast<char>(c & 0xFF);
    expected += static_cast<char>((c >> 8) & 0xFF);
  }
  EXPECT_EQ(bytes, expected);
}

}  // namespace
