#pragma once
// Looks a program up through the platform's usual search for programs: FindExecutableW on
// Windows; elsewhere the current folder, then PATH, each with and without ".exe", the name as
// written and in lower case (Windows names ignore case).
#include <string>

// Greater than 32 when found (found receives its path); 2 when the file does not exist;
// another code of 32 or less for other failures (on POSIX 31, as for a file no program is
// associated with, when the file exists but cannot be run).
int FindExecutablePath(const std::wstring& name, std::wstring& found);
