#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "base/file_util.h"
#include "base/private_folder.h"
#include "base/text.h"

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

}  // namespace

bool CanCreateFileIn(const std::wstring& folder) { return CanCreateFileInNative(PathToNative(folder)); }

std::wstring MakePrivateFolder(const std::wstring& parentPath, const std::wstring& name,
                               PrivateFolderUse use) {
  const std::string parent = PathToNative(parentPath);
  if (parent.empty() || parent[0] != '/' || name.empty()) return std::wstring();
  struct stat parentStatus {};
  if (stat(parent.c_str(), &parentStatus) != 0 || !S_ISDIR(parentStatus.st_mode)) return std::wstring();
  if ((parentStatus.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (parentStatus.st_mode & S_ISVTX) == 0)
    return std::wstring();
  std::string folder = parent;
  if (folder.back() != '/') folder += '/';
  folder += PathToNative(name);
  if (mkdir(folder.c_str(), 0700) != 0 && (errno != EEXIST || use == PRIVATE_FOLDER_NEW_ONLY))
    return std::wstring();
  struct stat status {};
  if (lstat(folder.c_str(), &status) != 0) return std::wstring();
  if (!S_ISDIR(status.st_mode) || status.st_uid != geteuid() || (status.st_mode & 077) != 0)
    return std::wstring();
  folder += '/';
  return CanCreateFileInNative(folder) ? Utf8ToWide(folder) : std::wstring();
}
