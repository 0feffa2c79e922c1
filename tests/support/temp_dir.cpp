#include "support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "base/file_util.h"

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
  std::ofstream out(FsPath(full), std::ios::binary | std::ios::trunc);
  out << content;
  return full;
}
