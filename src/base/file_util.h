#pragma once
// File and path helpers. Paths are wide strings; each platform converts them at the edge.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
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

// The text of a file as the C runtime's text mode reads it (on Windows a CR LF pair arrives as
// LF and a Ctrl+Z ends the text; elsewhere the bytes come as they are), at most maxBytes of
// it. False for an empty path or a file that cannot be opened; text is then untouched.
bool ReadTextFile(const std::wstring& path, std::string& text, size_t maxBytes);

// The file opened for reading in the C runtime's text mode (on Windows by its wide name, so
// any name opens); nullptr when it cannot be opened.
std::FILE* OpenTextFile(const std::wstring& path);
// The same in binary mode: every byte as it is.
std::FILE* OpenBinaryFile(const std::wstring& path);

// The lines of a text held in memory, cut as ReadTextLines cuts a file's (it reads through
// this): each ends after its line feed or after kReadLineBytes bytes, is cut at a NUL as the C
// string it arrives in, loses on POSIX the CR before its line feed as Windows' text mode drops
// it, and is converted from the narrow code page. The text must outlive the reader.
class CTextLineReader {
 public:
  explicit CTextLineReader(std::string_view text) : text_(text) {}
  // The next line into line, whose room is reused; false at the end of the text.
  bool Next(std::wstring& line);
  // Passes over the next line without converting it; false at the end of the text.
  bool Skip();

 private:
  // The length of the next line's bytes at pos_; 0 at the end of the text.
  size_t NextLength() const;

  std::string_view text_;
  size_t pos_ = 0;
  std::string piece_;
};

// Anything of that name: a file, a directory, or a link, even one whose target is missing (as
// Windows sees a link): a program told to write there would write wherever the link points.
bool FileExists(const std::wstring& path);
int64_t GetFileLength(const std::wstring& path);  // 0 when the status cannot be read
bool RemoveFile(const std::wstring& path);        // true when the file is gone afterwards
// RemoveFile, tried again for about a second while the file will not go (on Windows a program
// that has just ended, or a virus scanner, may still hold it open for a moment).
bool RemoveFileSoon(const std::wstring& path);
bool IsDirectory(const std::wstring& path);

enum NewFileResult { NEW_FILE_MADE, NEW_FILE_EXISTS, NEW_FILE_FAILED };
// Creates path as an empty file only when nothing of that name exists, not even a link: the one
// way to claim a name that two processes cannot both win. NEW_FILE_EXISTS when something was
// there (the name is taken), NEW_FILE_FAILED when the folder refused (missing, read-only, full).
NewFileResult CreateNewFile(const std::wstring& path);
// The same, giving the identity of the file it made (FileIdentity, file_identity.h), read from
// the file while it is open, so that a file put in its place at once is never taken for it;
// empty unless NEW_FILE_MADE, or where the file system gives no ID.
NewFileResult CreateNewFile(const std::wstring& path, std::wstring* identity);

// Renames from to the name to, only when nothing of that name exists: a file already there is
// never replaced. NEW_FILE_EXISTS when the name is taken, NEW_FILE_FAILED when the rename was
// refused otherwise (from gone, another volume); from is untouched then.
NewFileResult MoveToNewName(const std::wstring& from, const std::wstring& to);

// Writes bytes as the whole content of path, which either keeps its old content or has all of the
// new, even after a crash or a power cut: they go into a fresh file beside it (path + ".new"), on
// the disk before that file is renamed over path. False when it could not be written.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

// The path as Windows' file functions take it at any length: from MAX_PATH - 12 characters on
// (the limit of a folder's path) it is made absolute and normalised as the system would ("/" to
// "\", "." and ".." resolved), then written in the "\\?\" form, "\\?\UNC\server\share\..." for
// a share; shorter paths, and paths already in that form, come back unchanged. POSIX has no such
// limit: the path comes back as it is.
std::wstring LongPathForm(const std::wstring& path);

// True for a file name that does not name a file of its own on Windows: a device's name (CON,
// PRN, AUX, NUL, CONIN$, CONOUT$, COM1 to COM9, LPT1 to LPT9, and COM or LPT with a superscript
// 1, 2 or 3) in any case, alone or with an extension or blanks after it ("nul.txt", "Com1 .log"),
// and a name ending in a dot or a blank, which Windows drops ("notes." opens "notes").
bool IsWindowsReservedName(const std::wstring& name);

// Splits at the last "." of the whole path: false (outputs untouched) for an empty path or
// one ending in "."; a path without a dot gives an empty stem and the whole path as extension.
bool SplitFileExt(const std::wstring& path, std::wstring& stem, std::wstring& ext);

// The path as the platform's file functions take it (UTF-8 on POSIX, unchanged on Windows).
std::string PathToNative(const std::wstring& path);

// The path for std::filesystem: unchanged on Windows, UTF-8 on POSIX (the wide constructor
// would go through the C locale, which may know no Korean).
std::filesystem::path FsPath(const std::wstring& path);
