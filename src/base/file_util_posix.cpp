#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "base/file_util.h"
#include "base/text.h"

std::string PathToNative(const std::wstring& path) { return WideToUtf8(path); }

std::filesystem::path FsPath(const std::wstring& path) { return std::filesystem::path(PathToNative(path)); }

bool FileExists(const std::wstring& path) {
  return !path.empty() && access(PathToNative(path).c_str(), F_OK) == 0;
}

bool IsDirectory(const std::wstring& path) {
  struct stat info;
  return stat(PathToNative(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int64_t GetFileLength(const std::wstring& path) {
  struct stat info;
  if (path.empty() || stat(PathToNative(path).c_str(), &info) != 0) return 0;
  return static_cast<int64_t>(info.st_size);
}

bool RemoveFile(const std::wstring& path) {
  std::string native = PathToNative(path);
  unlink(native.c_str());
  return access(native.c_str(), F_OK) != 0;
}

std::FILE* OpenTextFile(const std::wstring& path) { return std::fopen(PathToNative(path).c_str(), "r"); }
