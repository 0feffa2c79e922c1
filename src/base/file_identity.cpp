#ifdef _WIN32
// The 128-bit file ID (FileIdInfo) is declared from Windows 8 on; on an older system the call
// fails and the 64-bit index serves.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0602
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#endif

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>

#include "base/file_identity.h"
#include "base/file_util.h"
#include "base/text.h"

namespace {

// What is known of folders' case rules: answers by folder identity, and a test's own probe.
struct CFolderCaseAnswers {
  std::mutex lock;
  std::map<std::wstring, bool> byFolder;
  FolderCaseProbe probe;
};

// Never destroyed: a name may still be looked up while the program ends.
CFolderCaseAnswers& Answers() {
  static CFolderCaseAnswers* answers = new CFolderCaseAnswers;
  return *answers;
}

bool IsSeparator(wchar_t c) {
#ifdef _WIN32
  return c == L'\\' || c == L'/';
#else
  return c == L'/';
#endif
}

// path cut after its last separator: "d/x" gives "d/" and "x"; a bare name lies in the current
// folder ("x" gives "." and "x"; on Windows "C:x" gives "C:", the current folder of C:).
void SplitFolderName(const std::wstring& path, std::wstring& folder, std::wstring& name) {
  size_t cut = path.size();
  while (cut > 0 && !IsSeparator(path[cut - 1])) --cut;
#ifdef _WIN32
  if (cut == 0 && path.size() >= 2 && path[1] == L':') cut = 2;
#endif
  folder = cut == 0 ? std::wstring(L".") : path.substr(0, cut);
  name = path.substr(cut);
}

#ifdef _WIN32

// Volume and file ID of what handle has open, as text; empty when it is not of the kind asked
// for, or its file system gives no ID.
enum HandleKind { HANDLE_FOLDER, HANDLE_FILE };
std::wstring HandleIdentity(HANDLE handle, HandleKind kind) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info)) return std::wstring();
  if (((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != (kind == HANDLE_FOLDER))
    return std::wstring();
  unsigned long long volume = info.dwVolumeSerialNumber, high = 0;
  unsigned long long low = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  // ReFS needs all 128 bits to tell its files apart.
  FILE_ID_INFO id{};
  if (GetFileInformationByHandleEx(handle, FileIdInfo, &id, sizeof id)) {
    volume = id.VolumeSerialNumber;
    memcpy(&low, id.FileId.Identifier, sizeof low);
    memcpy(&high, id.FileId.Identifier + sizeof low, sizeof high);
  }
  // A share whose server gives no IDs answers 0 for every file: that ID tells nothing.
  if (high == 0 && low == 0) return std::wstring();
  return std::to_wstring(volume) + L":" + std::to_wstring(high) + L":" + std::to_wstring(low);
}

// The identity of what path names; a folder is opened through its links and junctions, a file's
// link is looked at itself.
std::wstring PathIdentity(const std::wstring& path, HandleKind kind) {
  const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (kind == HANDLE_FILE ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  HANDLE handle = CreateFileW(LongPathForm(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::wstring();
  std::wstring identity = HandleIdentity(handle, kind);
  CloseHandle(handle);
  return identity;
}

std::wstring FolderIdentity(const std::wstring& folder) { return PathIdentity(folder, HANDLE_FOLDER); }

bool ProbeFolderCase(const std::wstring&) { return true; }

#else

// Device, inode and, where the file system keeps it, birth time, as text. An inode number is
// given again soon after its file was removed; a birth time tells the new file from the old.
std::wstring StatxIdentity(int folder, const char* path, int flags) {
  struct statx info {};
  if (statx(folder, path, flags, STATX_INO | STATX_BTIME, &info) != 0) {
    // A kernel (or a container's filter) without statx: device and inode alone.
    struct stat old {};
    if (errno != ENOSYS || fstatat(folder, path, &old, flags) != 0) return std::wstring();
    return std::to_wstring(major(old.st_dev)) + L"." + std::to_wstring(minor(old.st_dev)) + L":" +
           std::to_wstring(old.st_ino);
  }
  std::wstring identity = std::to_wstring(info.stx_dev_major) + L"." + std::to_wstring(info.stx_dev_minor) +
                          L":" + std::to_wstring(info.stx_ino);
  if ((info.stx_mask & STATX_BTIME) != 0)
    identity +=
        L":" + std::to_wstring(info.stx_btime.tv_sec) + L"." + std::to_wstring(info.stx_btime.tv_nsec);
  return identity;
}

// Device and inode of the folder, as text; empty when it is no folder one can look at.
std::wstring FolderIdentity(const std::wstring& folder) {
  struct stat info {};
  if (stat(PathToNative(folder).c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::wstring();
  return std::to_wstring(info.st_dev) + L":" + std::to_wstring(info.st_ino);
}

bool HasAsciiLetter(const std::string& name) {
  for (char c : name)
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  return false;
}

// The bytes of name with the case of every ASCII letter turned round; other bytes, UTF-8 or
// not, stay as they are.
std::string SwapAsciiCase(std::string name) {
  for (char& c : name) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
    else if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

// A name already in the folder, looked up with its case turned round: nothing there means the
// folder tells case apart, settled without writing anything ("" when no name has a letter).
// "found" when something answers, the folder ignoring case or holding both spellings.
enum LookupAnswer { LOOKUP_NONE, LOOKUP_TELLS_CASE, LOOKUP_FOUND };
LookupAnswer LookUpOtherCase(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return LOOKUP_NONE;
  std::string name;
  while (dirent* entry = readdir(dir)) {
    if (HasAsciiLetter(entry->d_name)) {
      name = entry->d_name;
      break;
    }
  }
  closedir(dir);
  if (name.empty()) return LOOKUP_NONE;
  struct stat info {};
  return lstat((folder + "/" + SwapAsciiCase(name)).c_str(), &info) == 0 ? LOOKUP_FOUND : LOOKUP_TELLS_CASE;
}

std::atomic<unsigned> caseProbes{0};

// A file of our own, made under a lower-case name no one else uses and looked for in upper
// case: found means the folder ignores case. Yes when no such file can be made.
bool ProbeWithOwnFile(const std::wstring& folder) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::wstring name =
        L".kestrune-case-" + std::to_wstring(getpid()) + L"-" + std::to_wstring(caseProbes.fetch_add(1));
    std::wstring lower = folder + L"/" + name;
    NewFileResult made = CreateNewFile(lower);
    if (made == NEW_FILE_EXISTS) continue;
    if (made == NEW_FILE_FAILED) return true;
    bool ignores = FileExists(folder + L"/" + ToUpperText(name));
    RemoveFile(lower);
    return ignores;
  }
  return true;
}

// The file system itself answers, so every kind of folder that ignores case counts, whatever
// makes it so: vfat and exFAT sticks, CIFS shares, ext4, f2fs and tmpfs folders marked
// casefold, ZFS, NTFS mounted so, FUSE file systems. A list of file-system types would miss
// some (and a CIFS share may or may not tell case apart), and the casefold flag marks only the
// casefold folders, never a vfat stick or a share. Reading comes first: in an ordinary folder
// nothing is ever written.
bool ProbeFolderCase(const std::wstring& folder) {
  if (LookUpOtherCase(PathToNative(folder)) == LOOKUP_TELLS_CASE) return false;
  return ProbeWithOwnFile(folder);
}

#endif

// The case rule of folder, whose identity is known (not empty): asked once, then remembered.
bool IgnoresCase(const std::wstring& folder, const std::wstring& identity) {
  CFolderCaseAnswers& answers = Answers();
  FolderCaseProbe probe;
  {
    std::lock_guard<std::mutex> guard(answers.lock);
    probe = answers.probe;
    auto known = answers.byFolder.find(identity);
    if (!probe && known != answers.byFolder.end()) return known->second;
  }
  if (probe) return probe(folder);
  bool ignores = ProbeFolderCase(folder);
  std::lock_guard<std::mutex> guard(answers.lock);
  answers.byFolder[identity] = ignores;
  return ignores;
}

}  // namespace

std::wstring FileKey(const std::wstring& path) {
  std::wstring folder, name;
  SplitFolderName(path, folder, name);
  std::wstring identity = FolderIdentity(folder);
  if (identity.empty()) {
#ifdef _WIN32
    return FoldCaseText(path);
#else
    return path;
#endif
  }
  return identity + kPathSeparator + (IgnoresCase(folder, identity) ? FoldCaseText(name) : name);
}

bool FolderIgnoresCase(const std::wstring& folder) {
  std::wstring identity = FolderIdentity(folder);
  if (identity.empty()) {
    FolderCaseProbe probe;
    {
      std::lock_guard<std::mutex> guard(Answers().lock);
      probe = Answers().probe;
    }
    return probe ? probe(folder) : true;
  }
  return IgnoresCase(folder, identity);
}

std::wstring FileIdentity(const std::wstring& path) {
  if (path.empty()) return std::wstring();
#ifdef _WIN32
  return PathIdentity(path, HANDLE_FILE);
#else
  return StatxIdentity(AT_FDCWD, PathToNative(path).c_str(), AT_SYMLINK_NOFOLLOW);
#endif
}

std::wstring IdentityOfOpenFile(intptr_t file) {
#ifdef _WIN32
  return HandleIdentity(reinterpret_cast<HANDLE>(file), HANDLE_FILE);
#else
  return StatxIdentity(static_cast<int>(file), "", AT_EMPTY_PATH);
#endif
}

void SetFolderCaseProbe(FolderCaseProbe probe) {
  CFolderCaseAnswers& answers = Answers();
  std::lock_guard<std::mutex> guard(answers.lock);
  answers.probe = std::move(probe);
  answers.byFolder.clear();
}
