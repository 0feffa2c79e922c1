#include "install/install_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"

namespace fs = std::filesystem;

void InstallFixture::SetUp() {
  savedCurrentDir = GetCurrentDir();
  savedProgramDir = ProgramDir();
  // The test runs from a folder of its own below the build's program folder.
  binDir = GetProgramDir() + L".." + kPathSeparator;
  // Until a test starts its server, downloads go to a local port where nothing listens.
  env.Set(L"KESTRUNE_DOWNLOAD_BASE", L"http://127.0.0.1:9/");
#ifndef _WIN32
  std::string found;
  std::stringstream dirs(WideToUtf8(ScopedEnv::Get(L"PATH")));
  for (std::string dir; std::getline(dirs, dir, ':') && found.empty();) {
    if (!dir.empty() && fs::exists(dir + "/unzip")) found = dir + "/unzip";
  }
  ASSERT_FALSE(found.empty()) << "unzip is not installed";
  std::error_code error;
  fs::create_symlink(found, fs::path(tools.File(L"unzip")), error);
  ASSERT_FALSE(error) << error.message();
  std::wstring path = tools.Path();
  path.pop_back();
  env.Set(L"PATH", path);
#endif
  UseProgramFolder(program.Path());
}

void InstallFixture::UseProgramFolder(const std::wstring& dir) {
  env.Set(L"KESTRUNE_PROGRAM_DIR", dir);
#ifdef _WIN32
  if (!withUnzip) return;
  std::error_code error;
  fs::copy_file(fs::path(binDir + L"unzip.exe"), fs::path(dir + L"unzip.exe"), error);
  ASSERT_FALSE(error) << "the Wine bridge unzip.exe is missing beside the test in " << WideToUtf8(binDir);
#endif
}

void InstallFixture::TearDown() {
  // Leave the program folder before it is removed (Windows cannot remove a current folder).
  SetCurrentDir(savedCurrentDir);
  SetProgramDir(savedProgramDir);
  server.Stop();
}

void InstallFixture::StartServer(const std::wstring& folder) {
  ASSERT_TRUE(server.Start()) << server.Error();
  env.Set(L"KESTRUNE_DOWNLOAD_BASE", server.BaseAddress() + folder);
}

std::wstring InstallFixture::WriteStandIn(const std::wstring& dir, const std::wstring& name) {
  std::wstring path = dir + name;
  std::ofstream(fs::path(path), std::ios::binary | std::ios::trunc) << kStandInContent;
  std::error_code ignored;
  fs::permissions(fs::path(path), fs::perms::owner_all, fs::perm_options::add, ignored);
  return path;
}

std::vector<std::wstring> InstallFixture::FolderFiles(const std::wstring& dir) {
  std::vector<std::wstring> names;
  for (const auto& entry : fs::directory_iterator(fs::path(dir))) {
    std::wstring name = entry.path().filename().wstring();
    if (name != L"unzip.exe") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string InstallFixture::ReadFile(const std::wstring& path) const {
  std::ifstream in(fs::path(path), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
