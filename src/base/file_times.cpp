#include "base/file_times.h"

#include "base/file_util.h"

#ifdef _WIN32
#include <windows.h>

namespace {
// Opens path for its attributes only, so a file that another program reads (or a folder) is
// reached too.
HANDLE OpenForTimes(const std::wstring& path, DWORD access) {
  return CreateFileW(LongPathForm(path).c_str(), access,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}
}  // namespace

bool CopyFileTimes(const std::wstring& from, const std::wstring& to) {
  HANDLE source = OpenForTimes(from, FILE_READ_ATTRIBUTES);
  if (source == INVALID_HANDLE_VALUE) return false;
  FILETIME created{}, written{};
  BOOL read = GetFileTime(source, &created, nullptr, &written);
  CloseHandle(source);
  if (!read) return false;
  HANDLE target = OpenForTimes(to, FILE_WRITE_ATTRIBUTES);
  if (target == INVALID_HANDLE_VALUE) return false;
  BOOL set = SetFileTime(target, &created, nullptr, &written);
  CloseHandle(target);
  return set != FALSE;
}

#else
#include <fcntl.h>
#include <sys/stat.h>

bool CopyFileTimes(const std::wstring& from, const std::wstring& to) {
  struct stat source {};
  if (stat(PathToNative(from).c_str(), &source) != 0) return false;
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1] = source.st_mtim;
  return utimensat(AT_FDCWD, PathToNative(to).c_str(), times, 0) == 0;
}
#endif
