#pragma once
// A file's dates carried over to another file: what a user who keeps the source's dates asks
// of each output (photo libraries and file lists sort by them).
#include <string>

// Gives the file to the modification time of the file from (on Windows its creation time too);
// its last access is left as it is. False when either file cannot be reached or the dates
// cannot be set.
bool CopyFileTimes(const std::wstring& from, const std::wstring& to);
