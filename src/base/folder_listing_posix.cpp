#include <dirent.h>
#include <sys/stat.h>

#include "base/file_util.h"
#include "base/folder_listing.h"
#include "base/text.h"

bool ReadFolderEntries(const std::wstring& folder, std::vector<CFolderEntry>& entries) {
  const std::string native = PathToNative(folder);
  DIR* dir = opendir(native.c_str());
  if (dir == nullptr) return false;
  const std::string prefix = !native.empty() && native.back() == '/' ? native : native + "/";
  while (dirent* found = readdir(dir)) {
    const std::string name = found->d_name;
    if (name == "." || name == "..") continue;
    // stat, not lstat: a link counts as what it leads to.
    struct stat info {};
    if (stat((prefix + name).c_str(), &info) != 0) continue;
    if (!S_ISDIR(info.st_mode) && !S_ISREG(info.st_mode)) continue;
    CFolderEntry entry;
    entry.name = Utf8ToWide(name);
    entry.isFolder = S_ISDIR(info.st_mode);
    entry.hidden = name[0] == '.';
    entries.push_back(std::move(entry));
  }
  closedir(dir);
  return true;
}
