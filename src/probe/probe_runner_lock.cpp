#include "probe/probe_runner_lock.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdint>

#include "base/format.h"
#include "base/text.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "base/file_util.h"
#endif

#ifdef _WIN32
namespace {
// A mutex name may not hold backslashes: the folder is named by a hash of its path.
uint64_t HashFolder(const std::wstring& folder) {
  uint64_t hash = 1469598103934665603ULL;
  for (wchar_t c : ToLowerText(folder)) {
    hash ^= static_cast<uint16_t>(c);
    hash *= 1099511628211ULL;
  }
  return hash;
}
}  // namespace

CProbeFolderLock::CProbeFolderLock(const std::wstring& programDir) {
  std::wstring name =
      Sprintf(L"Local\\KestruneProbe-%016llX", static_cast<unsigned long long>(HashFolder(programDir)));
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  if (mutex == nullptr) return;
  // An abandoned mutex (its holder died mid-probe) is ours all the same.
  DWORD waited = WaitForSingleObject(mutex, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return;
  }
  handle_ = mutex;
}

CProbeFolderLock::~CProbeFolderLock() {
  if (handle_ == nullptr) return;
  ReleaseMutex(static_cast<HANDLE>(handle_));
  CloseHandle(static_cast<HANDLE>(handle_));
}
#else
// The folder itself is locked, so no lock file is left behind; the lock ends with the
// descriptor, also when its process dies.
CProbeFolderLock::CProbeFolderLock(const std::wstring& programDir) {
  std::string folder = programDir.empty() ? std::string(".") : PathToNative(programDir);
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  while (flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      close(fd);
      return;
    }
  }
  fd_ = fd;
}

CProbeFolderLock::~CProbeFolderLock() {
  if (fd_ >= 0) close(fd_);
}
#endif
