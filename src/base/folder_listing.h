#pragma once
// The files below a folder, as a user who adds a whole folder expects them: every file of the
// tree whose name is kept, in natural name order, a folder's own files before its subfolders.
// Hidden and system files and folders (on POSIX: names beginning with a dot) are left out; a
// link to a folder is followed, but never into a folder already listed, so a link back up the
// tree cannot loop; a folder that cannot be read is passed over and named.
#include <functional>
#include <string>
#include <vector>

// One entry of a folder as the listing sees it.
struct CFolderEntry {
  std::wstring name;
  bool isFolder = false;  // a folder, or a link (a junction) to one
  bool hidden = false;    // hidden or system on Windows, a dot-name on POSIX
};

// The entries of folder, "." and ".." left out, links followed for their kind; on POSIX only
// folders and plain files (a pipe or a device would hang whatever reads it), and no link whose
// target is gone. False when the folder cannot be read.
bool ReadFolderEntries(const std::wstring& folder, std::vector<CFolderEntry>& entries);

struct CFolderListing {
  std::vector<std::wstring> files;       // full paths: root, separator, path below the root
  std::vector<std::wstring> unreadable;  // folders that could not be read, root included
};

using FileNameFilter = std::function<bool(const std::wstring& name)>;

// Every file below root (recursively) that keep accepts by its name.
CFolderListing ListFolderFiles(const std::wstring& root, const FileNameFilter& keep);

// Natural order of two names: case ignored, and a run of digits compared by its value, so
// "clip 2" comes before "Clip 10". Names that differ only in case or in leading zeros are told
// apart by their text, so the order is total.
bool NaturalLess(const std::wstring& a, const std::wstring& b);
