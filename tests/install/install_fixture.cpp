#include "install/install_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "install/download_sums.h"

namespace fs = std::filesystem;

void InstallFixture::SetUp() {
  savedCurrentDir = GetCurrentDir();
  savedProgramDir = ProgramDir();
  // Until a test starts its server, downloads go to a local port where nothing listens.
  env.Set(L"KESTRUNE_DOWNLOAD_BASE", L"http://127.0.0.1:9/");
#ifndef _WIN32
  std::wstring path = tools.Path();
  path.pop_back();
  env.Set(L"PATH", path);
#endif
  UseProgramFolder(program.Path());
  const std::string none;
  ReplaceReleaseSumsForTesting(&none);
}

void InstallFixture::UseProgramFolder(const std::wstring& dir) { env.Set(L"KESTRUNE_PROGRAM_DIR", dir); }

void InstallFixture::TearDown() {
  // Leave the program folder before it is removed (Windows cannot remove a current folder).
  SetCurrentDir(savedCurrentDir);
  SetProgramDir(savedProgramDir);
  server.Stop();
  ReplaceReleaseSumsForTesting(nullptr);
}

void InstallFixture::StartServer(const std::wstring& folder) {
  ASSERT_TRUE(server.Start()) << server.Error();
  env.Set(L"KESTRUNE_DOWNLOAD_BASE", server.BaseAddress() + folder);
  AcceptServed(server);
}

void InstallFixture::AcceptServed(const LocalHttpServer& served) {
  std::string lists;
  for (const auto& entry : fs::recursive_directory_iterator(FsPath(served.Served()))) {
    if (entry.path().filename() != "SHA256SUMS") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    lists += text.str();
  }
  ReplaceReleaseSumsForTesting(&lists);
}

std::wstring InstallFixture::WriteStandIn(const std::wstring& dir, const std::wstring& name) {
  std::wstring path = dir + name;
  std::ofstream(FsPath(path), std::ios::binary | std::ios::trunc) << kStandInContent;
  std::error_code ignored;
  fs::permissions(FsPath(path), fs::perms::owner_all, fs::perm_options::add, ignored);
  return path;
}

std::vector<std::wstring> InstallFixture::FolderFiles(const std::wstring& dir) {
  std::vector<std::wstring> names;
  for (const auto& entry : fs::directory_iterator(FsPath(dir))) {
    names.push_back(Utf8ToWide(entry.path().filename().u8string()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string InstallFixture::ReadFile(const std::wstring& path) const {
  std::ifstream in(FsPath(LongPathForm(path)), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
