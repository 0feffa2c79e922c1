#pragma once
// Unpacks a zip archive in the program's own process: no external unzip program and no command
// interpreter ever sees the folder's name. Only the files at the archive's top level are
// taken (the tools lie there); members in subfolders, directories and names that are not plain
// file names are left out, and so is a member whose name is already taken in the folder,
// unless mayReplace allows it, and a second member of a name already unpacked. Each file
// appears whole (its CRC checked) or not at all, and never larger than its header declares.
#include <cstdint>
#include <functional>
#include <string>

#include "install/install_files.h"

enum UnpackResult : int {
  UNPACK_OK = 0,
  UNPACK_DAMAGED = 1,           // not a zip archive, or a member that does not inflate or check out
  UNPACK_WRITE_FAILED = 2,      // a file could not be written into the folder
  UNPACK_MEMBER_TOO_LARGE = 3,  // a member inflates to more than its header declares
  UNPACK_TOO_LARGE = 4,         // the members to unpack declare more than the limits below
  UNPACK_RESERVED_NAME = 5,     // a top-level member of a name Windows reserves
};

// What one archive may unpack to: its top-level files together, by their declared sizes.
constexpr uint64_t kMaxUnpackedBytes = uint64_t{1} << 30;  // 1 GiB: the tools are a few hundred MB
constexpr size_t kMaxUnpackedFiles = 1000;

// Unpacks archive into folder (trailing separator), each file given its name through changes,
// which keeps what it needs to undo them. Nothing is written before every member's name and
// the declared sizes have been checked. On a failure the caller undoes changes; fault names the
// member at fault (UNPACK_MEMBER_TOO_LARGE, UNPACK_RESERVED_NAME, and UNPACK_DAMAGED for a
// member that does not check out).
UnpackResult UnpackZip(const std::wstring& archive, const std::wstring& folder,
                       const std::function<bool(const std::wstring& name)>& mayReplace,
                       CFolderChanges& changes, std::wstring& fault);
