#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "base/file_util.h"
#include "probe/probe_runner_lock.h"

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
