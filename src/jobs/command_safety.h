#pragma once
// Paths are written into command lines between double quotes. A path holding a double quote
// (impossible in a Windows file name, possible on POSIX) would end the quoted text early and
// let the rest of the name be read as options or commands, so such a path is refused.
#include <string>

// True when the path can stand between double quotes as one argument; otherwise traces the
// refusal and returns false.
bool IsQuotablePath(const std::wstring& path);
