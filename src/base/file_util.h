#pragma once
// File and path helpers. Paths are wide strings; each platform converts them at the edge.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
constexpr wchar_t kPathSeparator = L'\\';
#else
constexpr wchar_t kPathSeparator = L'/';
#endif

// Stateless; created on the stack for one operation.
class CFileUtil {
 public:
  virtual ~CFileUtil() = default;

  // Reads up to maxLines lines of at most 998 bytes each (a longer line arrives in several
  // pieces), converted from the narrow code page; each keeps its line feed. The list is emptied
  // first. False for an empty path or a file that cannot be opened (the list is then untouched).
  bool ReadTextLines(const std::wstring& path, std::vector<std::wstring>& lines, int maxLines);
};

constexpr int kReadLineBytes = 998;

bool FileExists(const std::wstring& path);         // an existing file or directory
int64_t GetFileLength(const std::wstring& path);   // 0 when the status cannot be read
bool RemoveFile(const std::wstring& path);         // true when the file is gone afterwards
// RemoveFile, tried again for about a second while the file will not go (on Windows a program
// that has just ended, or a virus scanner, may still hold it open for a moment).
bool RemoveFileSoon(const std::wstring& path);
bool IsDirectory(const std::wstring& path);

// Splits at the last "." of the whole path: false (outputs untouched) for an empty path or
// one ending in "."; a path without a dot gives an empty stem and the whole path as extension.
bool SplitFileExt(const std::wstring& path, std::wstring& stem, std::wstring& ext);

// The path as the platform's file functions take it (UTF-8 on POSIX, unchanged on Windows).
std::string PathToNative(const std::wstring& path);

// The path for std::filesystem: unchanged on Windows, UTF-8 on POSIX (the wide constructor
// would go through the C locale, which may know no Korean).
std::filesystem::path FsPath(const std::wstring& path);
