// FileDown against a real HTTP server on 127.0.0.1.
#include "install/file_down.h"

#include <gtest/gtest.h>

#include "base/file_util.h"
#include "base/format.h"
#include "base/text.h"
#include "install/install_fixture.h"
#include "install/installer.h"

namespace {

using FileDownTest = InstallFixture;

std::wstring DownTrace(int ok, const std::wstring& url, const std::wstring& path) {
  return Sprintf(L"FileDown-ret=%d, %s \n%s", ok, url, path);
}

TEST_F(FileDownTest, DownloadsTheWholeFileUnderItsName) {
  server.AddArchive({L"raw", L"hello.txt", L"payload of the download"});
  StartServer();
  std::wstring url = server.BaseAddress() + L"hello.txt";
  std::wstring path = program.File(L"hello.txt");
  EXPECT_TRUE(FileDown(url, path));
  EXPECT_EQ(ReadFile(path), "payload of the download");
  EXPECT_TRUE(trace.Contains(DownTrace(1, url, path)));
  EXPECT_EQ(ProgramFiles(), std::vector<std::wstring>{L"hello.txt"});  // no temporary file left
  EXPECT_EQ(server.Requests(), std::vector<std::string>{"/hello.txt"});
}

TEST_F(FileDownTest, ReplacesAnOlderFileOnlyWithACompleteDownload) {
  server.AddArchive({L"raw", L"new.txt", L"new content"});
  StartServer();
  std::wstring path = program.Write(L"target.txt", "old content");
  // A resource the host does not have: the error page is not taken for the file.
  std::wstring missing = server.BaseAddress() + L"absent.txt";
  EXPECT_FALSE(FileDown(missing, path));
  EXPECT_EQ(ReadFile(path), "old content");
  EXPECT_TRUE(trace.Contains(DownTrace(0, missing, path)));
  EXPECT_TRUE(FileDown(server.BaseAddress() + L"new.txt", path));
  EXPECT_EQ(ReadFile(path), "new content");
  EXPECT_EQ(ProgramFiles(), std::vector<std::wstring>{L"target.txt"});
}

TEST_F(FileDownTest, FailsWithoutAServerAndLeavesNoFile) {
  StartServer();
  server.Stop();  // its port is now closed
  std::wstring url = server.BaseAddress() + L"ffmpeg.zip.001";
  std::wstring path = program.File(L"ffmpeg.zip.001");
  EXPECT_FALSE(FileDown(url, path));
  EXPECT_TRUE(trace.Contains(DownTrace(0, url, path)));
  EXPECT_TRUE(ProgramFiles().empty());
}

// Plain HTTP only from this computer, and a redirect only to HTTPS: each refused address is
// never asked, and leaves no file. A redirect to HTTPS is followed (here to a port where
// nothing listens, so it fails as a download, not as a refusal).
TEST_F(FileDownTest, RefusesPlainHttpElsewhereAndRedirectsAwayFromHttps) {
  server.AddArchive({L"raw", L"target.txt", L"the file"});
  server.AddArchive({L"redirect", L"to-http", L"http://127.0.0.1:{port}/target.txt"});
  server.AddArchive({L"redirect", L"to-relative", L"/target.txt"});
  server.AddArchive({L"redirect", L"to-https", L"https://127.0.0.1:9/target.txt"});
  server.AddArchive({L"redirect", L"to-elsewhere", L"http://mirror.invalid/target.txt"});
  StartServer();
  const struct {
    std::wstring url;
    DownloadStatus status;
    std::vector<std::string> requests;  // what the server was asked
  } cases[] = {
      {server.BaseAddress() + L"target.txt", DOWNLOAD_OK, {"/target.txt"}},
      {server.BaseAddress() + L"to-http", DOWNLOAD_REFUSED_REDIRECT, {"/to-http"}},
      {server.BaseAddress() + L"to-relative", DOWNLOAD_REFUSED_REDIRECT, {"/to-relative"}},
      {server.BaseAddress() + L"to-https", DOWNLOAD_FAILED, {"/to-https"}},
      {server.BaseAddress() + L"to-elsewhere", DOWNLOAD_REFUSED_REDIRECT, {"/to-elsewhere"}},
      {L"http://mirror.invalid/target.txt", DOWNLOAD_REFUSED_ADDRESS, {}},
      {L"ftp://127.0.0.1/target.txt", DOWNLOAD_REFUSED_ADDRESS, {}},
  };
  size_t asked = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.url));
    std::wstring path = program.File(L"down.txt");
    EXPECT_EQ(DownloadToFile(c.url, path), c.status);
    EXPECT_EQ(FileExists(path), c.status == DOWNLOAD_OK);
    if (c.status == DOWNLOAD_OK) {
      EXPECT_EQ(ReadFile(path), "the file");
    }
    RemoveFile(path);
    EXPECT_TRUE(ProgramFiles().empty());  // no partial download either
    std::vector<std::string> requests = server.Requests();
    EXPECT_EQ(std::vector<std::string>(requests.begin() + static_cast<long>(asked), requests.end()),
              c.requests);
    asked = requests.size();
  }
  // FileDown reports the refusal as a failed download, traced as one.
  std::wstring refused = L"http://mirror.invalid/ffmpeg.zip.001";
  EXPECT_FALSE(FileDown(refused, program.File(L"ffmpeg.zip.001")));
  EXPECT_TRUE(trace.Contains(DownTrace(0, refused, program.File(L"ffmpeg.zip.001"))));
}

// A file of the user's that bears the name "<file>.download" is neither written nor removed by a
// download of <file>, whether it succeeds or fails, alone or as part of an install.
TEST_F(FileDownTest, AUsersFileNamedAfterTheDownloadIsLeftAlone) {
  WriteStandIn(server.Content(), L"MediaInfo.exe");
  server.AddArchive({L"zip", L"MediaInfo.zip", L"MediaInfo.exe"});
  server.AddArchive({L"raw", L"hello.txt", L"payload"});
  StartServer();
  const struct {
    const char* what;
    std::wstring target;  // the file downloaded; empty: the install of MediaInfo
    bool arrives;
  } rows[] = {
      {"a download", L"hello.txt", true},
      {"a failed download", L"absent.txt", false},
      {"an install", L"", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::wstring name = row.target.empty() ? std::wstring(L"MediaInfo.zip") : row.target;
    std::wstring users = program.Write(name + L".download", "the user's own\r\n");
    bool arrived = row.target.empty() ? RunInstall(INSTALL_MEDIAINFO) == L"OK! 설치 성공"
                                      : FileDown(server.BaseAddress() + row.target, program.File(name));
    EXPECT_EQ(arrived, row.arrives);
    EXPECT_EQ(FileExists(program.File(name)), row.arrives);
    EXPECT_EQ(ReadFile(users), "the user's own\r\n");
  }
}

}  // namespace
