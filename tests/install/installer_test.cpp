// The Install button's work end to end: real downloads from a local server with their
// SHA-256 list, and the installer's own join and unpack.
#include "install/installer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <random>

#include "base/file_util.h"
#include "base/format.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "install/download_record.h"
#include "install/install_fixture.h"

namespace {

const std::wstring kDone = L"OK! 설치 완료";
const std::wstring kSuccess = L"OK! 설치 성공";
const std::wstring kFailure = L"Error!! 설치 실패";

struct Lookup {
  int code;
  std::wstring path;
};

// The lookup traces "%X(%d)-[%s]" in order; the hexadecimal and decimal codes must agree.
std::vector<Lookup> Lookups(const TraceCapture& trace) {
  std::vector<Lookup> found;
  for (const std::wstring& line : trace.Lines()) {
    size_t open = line.find(L"(");
    size_t close = line.find(L")-[");
    if (open == std::wstring::npos || close == std::wstring::npos || line.size() < 2 ||
        line.compare(line.size() - 2, 2, L"]\n") != 0) {
      continue;
    }
    std::wstring hex = line.substr(0, open);
    std::wstring decimal = line.substr(open + 1, close - open - 1);
    if (hex.empty() || hex.find_first_not_of(L"0123456789ABCDEF") != std::wstring::npos) continue;
    int code = std::stoi(decimal);
    EXPECT_EQ(std::stoi(hex, nullptr, 16), code) << "trace: " << WideToUtf8(line);
    found.push_back({code, line.substr(close + 3, line.size() - close - 5)});
  }
  return found;
}

size_t CountDownloads(const TraceCapture& trace, int ok) {
  size_t count = 0;
  for (const std::wstring& line : trace.Lines()) {
    if (line.rfind(Sprintf(L"FileDown-ret=%d, ", ok), 0) == 0) ++count;
  }
  return count;
}

bool EndsWithNoCase(const std::wstring& text, const std::wstring& end) {
  if (text.size() < end.size()) return false;
  for (size_t i = 0; i < end.size(); ++i) {
    if (std::towlower(text[text.size() - end.size() + i]) != std::towlower(end[i])) return false;
  }
  return true;
}

// Incompressible bytes, so the archive is large enough to be cut mid-stream and to arrive in
// many pieces.
std::string RandomBytes(size_t count) {
  std::mt19937 random(7);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

// The names the folder's download record holds, in its order.
std::vector<std::wstring> RecordedNames(const std::wstring& folder) {
  return CDownloadRecord(folder).Names();
}

using InstallerTest = InstallFixture;

TEST_F(InstallerTest, FfmpegIsDownloadedJoinedAndUnpacked) {
  std::string program1 = std::string(kStandInContent) + RandomBytes(1 << 20);
  std::ofstream(std::filesystem::path(server.Content() + L"ffmpeg.exe"), std::ios::binary) << program1;
  server.AddArchive({L"split", L"ffmpeg.zip", L"ffmpeg.exe"});
  StartServer();

  EXPECT_EQ(RunInstall(INSTALL_FFMPEG), kSuccess);

  std::vector<std::wstring> expected{L"ffmpeg.exe", L"ffmpeg.zip", L"ffmpeg.zip.001", L"ffmpeg.zip.002",
                                     kDownloadRecordName};
  EXPECT_EQ(ProgramFiles(), expected);
  // Every file the install wrote is recorded for the uninstaller, and only those.
  EXPECT_EQ(RecordedNames(program.Path()),
            (std::vector<std::wstring>{L"ffmpeg.zip.001", L"ffmpeg.zip.002", L"ffmpeg.zip", L"ffmpeg.exe"}));
  // Byte for byte, without printing a megabyte when they differ.
  EXPECT_TRUE(ReadFile(program.File(L"ffmpeg.zip")) == ReadFile(server.Served() + L"ffmpeg.zip"));
  EXPECT_TRUE(ReadFile(program.File(L"ffmpeg.exe")) == program1);
  EXPECT_EQ(server.Requests(),
            (std::vector<std::string>{"/ffmpeg.zip.001", "/ffmpeg.zip.002", "/SHA256SUMS"}));
  EXPECT_TRUE(FileExists(L"ffmpeg.exe"));  // the program folder is the current folder now

  std::wstring base = server.BaseAddress();
  EXPECT_TRUE(trace.Contains(
      Sprintf(L"FileDown-ret=1, %s \n%s", base + L"ffmpeg.zip.001", program.File(L"ffmpeg.zip.001"))));
  EXPECT_TRUE(trace.Contains(
      Sprintf(L"FileDown-ret=1, %s \n%s", base + L"ffmpeg.zip.002", program.File(L"ffmpeg.zip.002"))));
  std::vector<Lookup> lookups = Lookups(trace);
  ASSERT_EQ(lookups.size(), 2u);
  EXPECT_EQ(lookups[0].code, 2);
  EXPECT_EQ(lookups[0].path, L"");
  EXPECT_GT(lookups[1].code, 32);
  EXPECT_TRUE(EndsWithNoCase(lookups[1].path, L"ffmpeg.exe")) << WideToUtf8(lookups[1].path);
  EXPECT_TRUE(messages.Messages().empty());  // the dialog shows the outcome, not the installer
}

TEST_F(InstallerTest, FfmpegAlreadyPresentDownloadsNothing) {
  WriteStandIn(server.Content(), L"ffmpeg.exe");
  server.AddArchive({L"split", L"ffmpeg.zip", L"ffmpeg.exe"});
  StartServer();
  WriteStandIn(program.Path(), L"ffmpeg.exe");

  EXPECT_EQ(RunInstall(INSTALL_FFMPEG), kDone);

  EXPECT_EQ(ProgramFiles(), std::vector<std::wstring>{L"ffmpeg.exe"});
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_EQ(CountDownloads(trace, 0) + CountDownloads(trace, 1), 0u);
  std::vector<Lookup> lookups = Lookups(trace);
  ASSERT_EQ(lookups.size(), 1u);
  EXPECT_GT(lookups[0].code, 32);
}

TEST_F(InstallerTest, FfmpegWithoutServerFailsAndASecondTryWorks) {
  WriteStandIn(server.Content(), L"ffmpeg.exe");
  server.AddArchive({L"split", L"ffmpeg.zip", L"ffmpeg.exe"});
  std::wstring probeBatch = program.Write(L"exec.bat", "@echo off\r\n");
  TempDir downServer;
  LocalHttpServer gone(downServer.Path());
  ASSERT_TRUE(gone.Start()) << gone.Error();
  gone.Stop();
  env.Set(L"KESTRUNE_DOWNLOAD_BASE", gone.BaseAddress());

  EXPECT_EQ(RunInstall(INSTALL_FFMPEG), kFailure);

  EXPECT_EQ(CountDownloads(trace, 0), 2u);
  for (const std::wstring& name : ProgramFiles()) {
    // No part or half download under any name; the join may leave an empty "ffmpeg.zip".
    EXPECT_TRUE(name == L"exec.bat" || name == L"ffmpeg.zip") << WideToUtf8(name);
  }
  EXPECT_EQ(ReadFile(probeBatch), "@echo off\r\n");
  std::vector<Lookup> lookups = Lookups(trace);
  ASSERT_EQ(lookups.size(), 2u);
  EXPECT_LT(lookups[1].code, 32);

  trace.Clear();
  StartServer();
  EXPECT_EQ(RunInstall(INSTALL_FFMPEG), kSuccess);
  EXPECT_EQ(CountDownloads(trace, 1), 2u);
  EXPECT_EQ(ReadFile(program.File(L"ffmpeg.exe")), kStandInContent);
}

TEST_F(InstallerTest, FfmpegFailsOnMissingOrDamagedArchives) {
  // "bad/" serves parts that are no zip archive; "none/" has no parts at all.
  server.AddArchive({L"raw", L"bad/ffmpeg.zip.001", L"not a zip "});
  server.AddArchive({L"raw", L"bad/ffmpeg.zip.002", L"archive at all"});
  server.AddArchive({L"raw", L"none/readme.txt", L"nothing else here"});
  StartServer(L"bad/");
  CInstallRefusal refusal;
  EXPECT_EQ(RunInstall(INSTALL_FFMPEG, &refusal), kFailure);
  EXPECT_EQ(CountDownloads(trace, 1), 2u);
  // Joined, found no zip archive, and gone again with the parts: the folder is as it was.
  EXPECT_EQ(refusal.kind, REFUSAL_ARCHIVE_DAMAGED);
  EXPECT_EQ(refusal.subject, L"ffmpeg.zip");
  EXPECT_TRUE(ProgramFiles().empty());

  TempDir second;
  UseProgramFolder(second.Path());
  env.Set(L"KESTRUNE_DOWNLOAD_BASE", server.BaseAddress() + L"none/");
  trace.Clear();
  EXPECT_EQ(RunInstall(INSTALL_FFMPEG), kFailure);
  EXPECT_EQ(CountDownloads(trace, 0), 2u);
  for (const std::wstring& name : FolderFiles(second.Path())) {
    EXPECT_TRUE(name == L"ffmpeg.zip") << WideToUtf8(name);
  }
}

TEST_F(InstallerTest, MediaInfoIsDownloadedAndUnpackedWhateverTheCaseOfItsName) {
  // Each variant lies in a folder of its own on the server and installs into a fresh folder.
  std::vector<std::wstring> members{L"MediaInfo.exe", L"mediainfo.exe"};
#ifndef _WIN32
  members.push_back(L"mediainfo");  // a native build of the probe
#endif
  for (size_t i = 0; i < members.size(); ++i) {
    // Apart, as the names differ only in case.
    std::wstring folder = std::to_wstring(i);
    std::filesystem::create_directory(std::filesystem::path(server.Content() + folder));
    WriteStandIn(server.Content() + folder + kPathSeparator, members[i]);
    server.AddArchive({L"zip", folder + L"/MediaInfo.zip", folder + L"/" + members[i]});
  }
  StartServer();
  for (size_t i = 0; i < members.size(); ++i) {
    SCOPED_TRACE(WideToUtf8(members[i]));
    TempDir folder;
    UseProgramFolder(folder.Path());
    env.Set(L"KESTRUNE_DOWNLOAD_BASE", server.BaseAddress() + std::to_wstring(i) + L"/");
    trace.Clear();

    EXPECT_EQ(RunInstall(INSTALL_MEDIAINFO), kSuccess);

    std::vector<std::wstring> expected{L"MediaInfo.zip", members[i], kDownloadRecordName};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FolderFiles(folder.Path()), expected);
    EXPECT_EQ(RecordedNames(folder.Path()), (std::vector<std::wstring>{L"MediaInfo.zip", members[i]}));
    EXPECT_EQ(ReadFile(folder.File(members[i])), kStandInContent);
    std::wstring url = server.BaseAddress() + std::to_wstring(i) + L"/MediaInfo.zip";
    EXPECT_TRUE(trace.Contains(Sprintf(L"FileDown-ret=1, %s \n%s", url, folder.File(L"MediaInfo.zip"))));
    std::vector<Lookup> lookups = Lookups(trace);
    ASSERT_EQ(lookups.size(), 1u);
    EXPECT_GT(lookups[0].code, 32);
    EXPECT_TRUE(EndsWithNoCase(lookups[0].path, members[i])) << WideToUtf8(lookups[0].path);
    SetCurrentDir(savedCurrentDir);  // so the folder can go
  }
}

TEST_F(InstallerTest, MediaInfoBesideTheProgramIsNotDownloadedAgain) {
  server.AddArchive({L"raw", L"MediaInfo.zip", L"unused"});
  StartServer();
  std::vector<std::wstring> names{L"MediaInfo.exe", L"mediainfo.exe"};
#ifndef _WIN32
  names.push_back(L"mediainfo");
#endif
  for (const std::wstring& name : names) {
    SCOPED_TRACE(WideToUtf8(name));
    TempDir folder;
    UseProgramFolder(folder.Path());
    WriteStandIn(folder.Path(), name);

    EXPECT_EQ(RunInstall(INSTALL_MEDIAINFO), kDone);

    EXPECT_EQ(FolderFiles(folder.Path()), std::vector<std::wstring>{name});
    SetCurrentDir(savedCurrentDir);
  }
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_TRUE(trace.Lines().empty());
}

TEST_F(InstallerTest, MediaInfoWithoutServerFails) {
  EXPECT_EQ(RunInstall(INSTALL_MEDIAINFO), kFailure);
  EXPECT_EQ(CountDownloads(trace, 0), 1u);
  EXPECT_TRUE(ProgramFiles().empty());
  std::vector<Lookup> lookups = Lookups(trace);
  ASSERT_EQ(lookups.size(), 1u);
  EXPECT_EQ(lookups[0].code, 2);
}

TEST_F(InstallerTest, OtherModesDoNothing) {
  std::wstring before = GetCurrentDir();
  for (int32_t mode : {0, 3, -1}) {
    EXPECT_EQ(RunInstall(mode), L"") << mode;
  }
  EXPECT_EQ(GetCurrentDir(), before);
  EXPECT_TRUE(trace.Lines().empty());
  EXPECT_TRUE(ProgramFiles().empty());
}

}  // namespace
