#include "base/file_util.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "base/file_identity.h"
#include "base/text.h"

namespace {
constexpr int kRemoveTries = 10;
constexpr auto kRemovePause = std::chrono::milliseconds(100);
}  // namespace

NewFileResult CreateNewFile(const std::wstring& path) { return CreateNewFile(path, nullptr); }

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

bool IsWindowsReservedName(const std::wstring& name) {
  if (!name.empty() && (name.back() == L'.' || name.back() == L' ')) return true;
  // The device is named by what comes before the first dot, blanks after it not counted.
  std::wstring stem = name.substr(0, name.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.pop_back();
  std::wstring upper;
  for (wchar_t c : stem) upper += (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
  for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
    if (upper == device) return true;
  }
  if (upper.size() != 4 || (upper.compare(0, 3, L"COM") != 0 && upper.compare(0, 3, L"LPT") != 0))
    return false;
  // The digits 1 to 9, and the superscripts one, two and three, which Windows counts as digits.
  wchar_t number = upper[3];
  return (number >= L'1' && number <= L'9') || number == L'\u00B9' || number == L'\u00B2' ||
         number == L'\u00B3';
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
namespace {
// A folder's path must leave room for an 8.3 name below MAX_PATH.
constexpr size_t kShortPathLimit = MAX_PATH - 12;

bool HasPrefix(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// The absolute form the system itself would make of path; empty when it cannot.
std::wstring FullPathName(const std::wstring& path) {
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return std::wstring();
  std::wstring full(size, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return std::wstring();
  full.resize(length);
  return full;
}
}  // namespace

std::string PathToNative(const std::wstring& path) { return WideToAnsi(path); }

std::filesystem::path FsPath(const std::wstring& path) { return std::filesystem::path(path); }

// "\\?\" hands the path to the file system as it is, so it must already be what the system
// would have made of it: absolute, with backslashes, and without "." and "..".
std::wstring LongPathForm(const std::wstring& path) {
  if (HasPrefix(path, L"\\\\?\\") || HasPrefix(path, L"\\\\.\\")) return path;
  std::wstring full = FullPathName(path);
  if (full.size() < kShortPathLimit) return path;
  if (HasPrefix(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

bool FileExists(const std::wstring& path) {
  return !path.empty() && GetFileAttributesW(LongPathForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(LongPathForm(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int64_t GetFileLength(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (path.empty() || !GetFileAttributesExW(LongPathForm(path).c_str(), GetFileExInfoStandard, &info))
    return 0;
  return (static_cast<int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

bool RemoveFile(const std::wstring& path) {
  DeleteFileW(LongPathForm(path).c_str());
  return !FileExists(path);
}

NewFileResult CreateNewFile(const std::wstring& path, std::wstring* identity) {
  if (identity != nullptr) identity->clear();
  HANDLE file = CreateFileW(LongPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    if (identity != nullptr) *identity = IdentityOfOpenFile(reinterpret_cast<intptr_t>(file));
    CloseHandle(file);
    return NEW_FILE_MADE;
  }
  DWORD error = GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || FileExists(path)) return NEW_FILE_EXISTS;
  return NEW_FILE_FAILED;
}

NewFileResult MoveToNewName(const std::wstring& from, const std::wstring& to) {
  if (MoveFileExW(LongPathForm(from).c_str(), LongPathForm(to).c_str(), 0)) return NEW_FILE_MADE;
  const DWORD error = GetLastError();
  return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? NEW_FILE_EXISTS : NEW_FILE_FAILED;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  const std::wstring fresh = path + L".new";
  HANDLE file = CreateFileW(LongPathForm(fresh).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                     written == bytes.size() && FlushFileBuffers(file);
  CloseHandle(file);
  if (whole && MoveFileExW(LongPathForm(fresh).c_str(), LongPathForm(path).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileW(LongPathForm(fresh).c_str());
  return false;
}

// The wide open keeps paths outside the ANSI code page readable; text mode does the rest.
std::FILE* OpenTextFile(const std::wstring& path) { return _wfopen(LongPathForm(path).c_str(), L"rt"); }

std::FILE* OpenBinaryFile(const std::wstring& path) { return _wfopen(LongPathForm(path).c_str(), L"rb"); }
#else
std::string PathToNative(const std::wstring& path) { return WideToUtf8(path); }

std::filesystem::path FsPath(const std::wstring& path) { return std::filesystem::path(PathToNative(path)); }

std::wstring LongPathForm(const std::wstring& path) { return path; }

// lstat, not access: access follows a link and finds nothing behind a dangling one.
bool FileExists(const std::wstring& path) {
  struct stat info;
  return !path.empty() && lstat(PathToNative(path).c_str(), &info) == 0;
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
  unlink(PathToNative(path).c_str());
  return !FileExists(path);
}

NewFileResult CreateNewFile(const std::wstring& path, std::wstring* identity) {
  if (identity != nullptr) identity->clear();
  int fd = open(PathToNative(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd >= 0) {
    if (identity != nullptr) *identity = IdentityOfOpenFile(fd);
    close(fd);
    return NEW_FILE_MADE;
  }
  return errno == EEXIST || FileExists(path) ? NEW_FILE_EXISTS : NEW_FILE_FAILED;
}

NewFileResult MoveToNewName(const std::wstring& from, const std::wstring& to) {
  const std::string source = PathToNative(from), target = PathToNative(to);
  if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
    return NEW_FILE_MADE;
  if (errno == EEXIST) return NEW_FILE_EXISTS;
  if (errno != EINVAL && errno != ENOSYS) return NEW_FILE_FAILED;
  // A file system that cannot rename without replacing: a second link, which never replaces
  // either, then the first one goes.
  if (link(source.c_str(), target.c_str()) != 0) return errno == EEXIST ? NEW_FILE_EXISTS : NEW_FILE_FAILED;
  unlink(source.c_str());
  return NEW_FILE_MADE;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  const std::string target = PathToNative(path), fresh = target + ".new";
  int fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) break;
    done += static_cast<size_t>(wrote);
  }
  const bool whole = done == bytes.size() && fsync(fd) == 0;
  close(fd);
  if (whole && rename(fresh.c_str(), target.c_str()) == 0) return true;
  unlink(fresh.c_str());
  return false;
}

std::FILE* OpenTextFile(const std::wstring& path) { return std::fopen(PathToNative(path).c_str(), "r"); }

std::FILE* OpenBinaryFile(const std::wstring& path) { return std::fopen(PathToNative(path).c_str(), "rb"); }
#endif
