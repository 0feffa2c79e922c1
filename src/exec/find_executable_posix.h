#pragma once
// Program search helpers shared by the POSIX lookup, the tool paths and the interpreter.
#include <string>

// A regular file this process may execute.
bool IsRunnableFile(const std::wstring& path);

// The first folder of a colon-separated list that holds a runnable file of that name, joined
// with it; empty when none does. An empty entry of the list is the current folder.
std::wstring SearchFolderList(const std::string& folders, const std::wstring& name);
