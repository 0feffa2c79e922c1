#pragma once
// The program's arguments as wide text, without the program name: decoded from UTF-8 on POSIX,
// taken from the wide command line on Windows (whatever the code page).
#include <string>
#include <vector>

std::vector<std::wstring> GetProgramArguments(int argc, char** argv);
