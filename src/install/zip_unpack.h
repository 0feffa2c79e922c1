#pragma once
// Unpacks a zip archive in the program's own process: no external unzip program and no command
// interpreter ever sees the folder's name. Only the files at the archive's top level are
// taken (the tools lie there); members in subfolders, directories and names that are not plain
// file names are left out, and so is a member whose name is already taken in the folder,
// unless mayReplace allows it. Each file appears whole (its CRC checked) or not at all.
#include <functional>
#include <string>
#include <vector>

enum UnpackResult : int {
  UNPACK_OK = 0,
  UNPACK_DAMAGED = 1,       // not a zip archive, or a member that does not inflate or check out
  UNPACK_WRITE_FAILED = 2,  // a file could not be written into the folder
};

// Unpacks archive into folder (trailing separator). created receives the names of the files
// written, in the archive's order. On a failure nothing of the archive is left in the folder.
UnpackResult UnpackZip(const std::wstring& archive, const std::wstring& folder,
                       const std::function<bool(const std::wstring& name)>& mayReplace,
                       std::vector<std::wstring>& created);
