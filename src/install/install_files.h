#pragma once
// Writing into the program folder without ever overwriting a file that is not the installer's
// own: every file is written under a fresh temporary name and takes its real name only when
// complete, and only where that name is free (or names a file an earlier install wrote).
#include <cstdio>
#include <string>

// Creates a file of a fresh name in folder (trailing separator) for writing; its path into
// path. nullptr when none can be created.
std::FILE* CreateTempFileIn(const std::wstring& folder, std::wstring& path);

// Gives the file temp the name target: where target exists only when replace is set.
bool MoveIntoPlace(const std::wstring& temp, const std::wstring& target, bool replace);

// Writes every byte of the file source to out; false when a read or a write fails.
bool AppendFileTo(const std::wstring& source, std::FILE* out);

// Closes a file written through CreateTempFileIn; false when its last bytes did not reach it.
bool CloseWrittenFile(std::FILE* file);
