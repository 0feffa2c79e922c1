#include "support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "base/file_identity.h"
#include "base/file_util.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::atomic<int> serial{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path base = fs::temp_directory_path();
  fs::path dir = base / ("kestrune-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
  fs::create_directories(dir);
  path_ = dir.wstring();
  if (path_.empty() || path_.back() != kPathSeparator) path_ += kPathSeparator;
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(fs::path(path_), ignored);
}

std::wstring TempDir::Write(const std::wstring& name, const std::string& content) const {
  std::wstring full = File(name);
  std::ofstream out(FsPath(LongPathForm(full)), std::ios::binary | std::ios::trunc);
  out << content;
  return full;
}

std::wstring TempDir::Folder(const std::wstring& name) const {
  std::wstring full = File(name);
  std::error_code code;
  if (!fs::create_directory(FsPath(LongPathForm(full)), code) || code) return std::wstring();
  return full + kPathSeparator;
}

std::wstring TempDir::DeepFolder(size_t length) const {
  const std::wstring level(40, L'n');
  std::wstring relative;
  while (path_.size() + relative.size() < length) {
    relative += level;
    if (Folder(relative).empty()) return std::wstring();
    relative += kPathSeparator;
  }
  return File(relative);
}

bool TempDir::LinkFolder(const std::wstring& name, const std::wstring& target) const {
#ifdef _WIN32
  (void)name;
  (void)target;
  return false;
#else
  return symlink(PathToNative(target).c_str(), PathToNative(File(name)).c_str()) == 0;
#endif
}

CFolderCaseOverride::CFolderCaseOverride(bool ignores) {
  SetFolderCaseProbe([ignores](const std::wstring&) { return ignores; });
}

CFolderCaseOverride::~CFolderCaseOverride() { SetFolderCaseProbe(nullptr); }
