#include "base/file_util.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include <io.h>
#include <sys/stat.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "base/text.h"

namespace {
constexpr int kRemoveTries = 10;
constexpr auto kRemovePause = std::chrono::milliseconds(100);
}  // namespace

bool RemoveFileSoon(const std::wstring& path) {
  for (int tries = 1;; ++tries) {
    if (RemoveFile(path)) return true;
    if (tries == kRemoveTries) return false;
    std::this_thread::sleep_for(kRemovePause);
  }
}

bool ReadTextFile(const std::wstring& path, std::string& text, size_t maxBytes) {
  if (path.empty()) return false;
  std::FILE* file = OpenTextFile(path);
  if (file == nullptr) return false;
  text.clear();
  char buffer[4096];
  while (text.size() < maxBytes) {
    size_t got = std::fread(buffer, 1, std::min(sizeof buffer, maxBytes - text.size()), file);
    if (got == 0) break;
    text.append(buffer, got);
  }
  std::fclose(file);
  return true;
}

bool SplitFileExt(const std::wstring& path, std::wstring& stem, std::wstring& ext) {
  if (path.empty() || path.back() == L'.') return false;
  size_t dot = path.rfind(L'.');
  if (dot == std::wstring::npos) {
    stem.clear();
    ext = path;
    return true;
  }
  stem = path.substr(0, dot);
  ext = path.substr(dot + 1);
  return true;
}

bool CFileUtil::ReadTextLines(const std::wstring& path, std::vector<std::wstring>& lines, int maxLines) {
  // The lines wanted lie within their largest possible size.
  size_t mostBytes = maxLines > 0 ? static_cast<size_t>(maxLines) * kReadLineBytes : 0;
  std::string text;
  if (!ReadTextFile(path, text, mostBytes)) return false;
  lines.clear();
  CTextLineReader reader(text);
  std::wstring line;
  for (int i = 0; i < maxLines && reader.Next(line); ++i) lines.push_back(line);
  return true;
}

// As fgets fills a buffer of kReadLineBytes + 1 bytes: up to and including the next line feed,
// at most kReadLineBytes bytes, NULs and all.
size_t CTextLineReader::NextLength() const {
  if (pos_ >= text_.size()) return 0;
  size_t length = std::min(text_.size() - pos_, static_cast<size_t>(kReadLineBytes));
  const void* feed = std::memchr(text_.data() + pos_, '\n', length);
  if (feed == nullptr) return length;
  return static_cast<size_t>(static_cast<const char*>(feed) - (text_.data() + pos_)) + 1;
}

bool CTextLineReader::Skip() {
  size_t length = NextLength();
  pos_ += length;
  return length > 0;
}

bool CTextLineReader::Next(std::wstring& line) {
  size_t length = NextLength();
  if (length == 0) return false;
  piece_.assign(text_.data() + pos_, length);
  pos_ += length;
  // The line arrives as a C string: a NUL ends it.
  piece_.resize(std::strlen(piece_.c_str()));
#ifndef _WIN32
  // Windows' text mode has turned CR LF into LF before the line was cut; do the same here so
  // reports read alike everywhere.
  if (piece_.size() >= 2 && piece_[piece_.size() - 2] == '\r' && piece_.back() == '\n') {
    piece_.erase(piece_.size() - 2, 1);
  }
#endif
  AnsiToWide(piece_, line);
  return true;
}

#ifdef _WIN32
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
#else
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
#endif
