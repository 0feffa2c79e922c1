#include <windows.h>

#include <io.h>
#include <sys/stat.h>

#include <cstdio>

#include "base/file_util.h"
#include "base/text.h"

std::string PathToNative(const std::wstring& path) { return WideToAnsi(path); }

std::filesystem::path FsPath(const std::wstring& path) { return std::filesystem::path(path); }

bool FileExists(const std::wstring& path) { return !path.empty() && _waccess(path.c_str(), 0) == 0; }

bool IsDirectory(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int64_t GetFileLength(const std::wstring& path) {
  struct _stat64 info;
  if (path.empty() || _wstat64(path.c_str(), &info) != 0) return 0;
  return static_cast<int64_t>(info.st_size);
}

bool RemoveFile(const std::wstring& path) {
  _wunlink(path.c_str());
  return _waccess(path.c_str(), 0) != 0;
}

// The wide open keeps paths outside the ANSI code page readable; text mode does the rest.
std::FILE* OpenTextFile(const std::wstring& path) { return _wfopen(path.c_str(), L"rt"); }
