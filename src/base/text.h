#pragma once
// Text is wide inside the program; these convert at the edges. "Ansi" is the system's narrow
// code page: the ANSI code page on Windows, UTF-8 on POSIX.
#include <string>

std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
std::string WideToAnsi(const std::wstring& text);
std::wstring AnsiToWide(const std::string& text);
// The same into out, whose room is reused: for text converted line by line.
void Utf8ToWide(const std::string& text, std::wstring& out);
void AnsiToWide(const std::string& text, std::wstring& out);

// Copies the narrow form of text into buffer (size in bytes, terminator included) and returns
// its length; 0, with the buffer untouched, when it does not fit or text is empty.
int WideToNarrow(const wchar_t* text, char* buffer, int bufferSize);

std::wstring ToLowerText(std::wstring text);  // A-Z (and the platform's wide lowering)
std::wstring ToUpperText(std::wstring text);
// The text as a file system that ignores case compares names: every letter in one case by
// Unicode's mapping, whatever the locale (Windows upper-cases as NTFS does; elsewhere a letter
// is upper-cased and then lowered, so that letters whose cases meet, such as K and the Kelvin
// sign, meet here too). Two names that fold alike may be one file.
std::wstring FoldCaseText(std::wstring text);
std::wstring TrimText(const std::wstring& text);  // white space at both ends
bool IsBlankChar(wchar_t c);
