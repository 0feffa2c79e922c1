#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "base/file_util.h"
#include "base/text.h"
#include "probe/report_folder.h"

namespace {

std::atomic<unsigned> writeTests{0};

bool CanCreateFileInNative(std::string folder) {
  if (folder.empty()) folder = "./";
  if (folder.back() != '/') folder += '/';
  // A name of this process and this call, created exclusively: an existing file of that name
  // (or a link planted there) is never opened, only another name is tried.
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::string name = folder + ".kestrune-write-test-" + std::to_string(getpid()) + "-" +
                       std::to_string(writeTests.fetch_add(1));
    int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
      close(fd);
      unlink(name.c_str());
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

// parent/name as a private folder of this user, with its trailing slash: made with mode 0700
// when missing; an existing one only when it is a folder (not a link to one) that this user
// owns and that grants nobody else any access. Empty otherwise, and also when others may
// write the parent without its sticky bit: they could swap the folder after the check.
std::string PrivateFolder(const std::string& parent, const std::string& name) {
  if (parent.empty() || parent[0] != '/') return std::string();
  struct stat parentStatus {};
  if (stat(parent.c_str(), &parentStatus) != 0 || !S_ISDIR(parentStatus.st_mode)) return std::string();
  if ((parentStatus.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (parentStatus.st_mode & S_ISVTX) == 0)
    return std::string();
  std::string folder = parent;
  if (folder.back() != '/') folder += '/';
  folder += name;
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::string();
  struct stat status {};
  if (lstat(folder.c_str(), &status) != 0) return std::string();
  if (!S_ISDIR(status.st_mode) || status.st_uid != geteuid() || (status.st_mode & 077) != 0)
    return std::string();
  folder += '/';
  return CanCreateFileInNative(folder) ? folder : std::string();
}

}  // namespace

bool CanCreateFileIn(const std::wstring& folder) { return CanCreateFileInNative(PathToNative(folder)); }

std::wstring UserReportFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string folder = PrivateFolder(runtime != nullptr ? runtime : "", "kestrune");
  if (folder.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string parent = tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
    folder = PrivateFolder(parent, "kestrune-" + std::to_string(geteuid()));
  }
  return Utf8ToWide(folder);
}
