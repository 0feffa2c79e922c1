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

bool CFileUtil::ReadTextLines(const std::wstring& path, std::vector<std::wstring>& lines,
                              int maxLines) {
  if (path.empty()) return false;
  FILE* file = std::fopen(PathToNative(path).c_str(), "r");
  if (file == nullptr) return false;
  lines.clear();
  char buffer[kReadLineBytes + 1];
  for (int i = 0; i < maxLines; ++i) {
    if (std::fgets(buffer, sizeof buffer, file) == nullptr) break;
    std::string piece(buffer);
    // Text mode on Windows turns CR LF into LF; do the same so reports read alike everywhere.
    if (piece.size() >= 2 && piece[piece.size() - 2] == '\r' && piece.back() == '\n')
      piece.erase(piece.size() - 2, 1);
    lines.push_back(AnsiToWide(piece));
  }
  std::fclose(file);
  return true;
}
