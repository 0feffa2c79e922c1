// FileDown against a real HTTP server on 127.0.0.1.
#include <gtest/gtest.h>

#include "base/file_util.h"
#include "base/format.h"
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

}  // namespace
