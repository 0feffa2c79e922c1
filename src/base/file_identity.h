#pragma once
// Which spellings name one file. "d/x.mp4", "d/../d/x.mp4", "link-to-d/x.mp4" and, in a folder
// that ignores case, "D/X.MP4" are one file, though their texts differ. A file is known here by
// its folder, as the file system identifies it, and by its name, compared as that folder
// compares names.
#include <cstdint>
#include <functional>
#include <string>

// The same text for every spelling of one file, whether the file exists yet or not (a name an
// output will be written to has its key before the output does): the folder's identity (device
// and inode on POSIX, volume and file ID on Windows, so "..", "." and links to the folder all
// come to one) and the name, case-folded where the folder ignores case. A folder that cannot
// be looked at (it does not exist) is known by the text of the path instead, case-folded on
// Windows.
std::wstring FileKey(const std::wstring& path);

// Whether folder compares names without case. Windows: always (a folder can be switched to
// telling case apart, but a name counted as taken too often costs only a number). POSIX: the
// file system is asked once per folder; when it cannot say, the answer is yes, for the same
// reason.
bool FolderIgnoresCase(const std::wstring& folder);

// Tests of the naming logic put their own answer in place of the file system's; an empty
// function puts it back. Answers found so far are forgotten either way.
using FolderCaseProbe = std::function<bool(const std::wstring& folder)>;
void SetFolderCaseProbe(FolderCaseProbe probe);

// What tells one file from every other while it exists, as text: device, inode and, where the
// file system keeps it, birth time on POSIX; volume and file ID on Windows. Writing into the
// file (ffmpeg's "-y" empties it in place) keeps its identity; a file renamed over its name, or
// made anew after it was removed, has another. Empty when nothing of that name can be looked
// at, or its file system gives no ID. A link is looked at itself, never followed.
std::wstring FileIdentity(const std::wstring& path);

// The identity of a file this process has open: a descriptor on POSIX, a HANDLE on Windows.
std::wstring IdentityOfOpenFile(intptr_t file);
