#include "base/text.h"

// POSIX systems speak UTF-8 as their narrow code page.
std::string WideToAnsi(const std::wstring& text) { return WideToUtf8(text); }

std::wstring AnsiToWide(const std::string& text) { return Utf8ToWide(text); }

void AnsiToWide(const std::string& text, std::wstring& out) { Utf8ToWide(text, out); }
