#pragma once
// Looks a program up through the platform's usual search for programs: FindExecutableW on
// Windows; elsewhere the current folder, then PATH, each with and without ".exe".
#include <string>

// Greater than 32 when found (found receives its path); 2 when the file does not exist;
// another code of 32 or less for other failures.
int FindExecutablePath(const std::wstring& name, std::wstring& found);
