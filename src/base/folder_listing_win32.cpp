#include <windows.h>

#include "base/file_util.h"
#include "base/folder_listing.h"

bool ReadFolderEntries(const std::wstring& folder, std::vector<CFolderEntry>& entries) {
  std::wstring pattern = folder;
  if (pattern.empty() || (pattern.back() != L'\\' && pattern.back() != L'/')) pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileExW(LongPathForm(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                 nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    // A drive's root holds no "." entry: empty, it finds nothing at all.
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  }
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    CFolderEntry entry;
    entry.name = name;
    // A junction or a link to a folder carries the folder attribute too.
    entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.hidden = (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
    entries.push_back(std::move(entry));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return true;
}
