#pragma once
// Text is wide inside the program; these convert at the edges. "Ansi" is the system's narrow
// code page: the ANSI code page on Windows, UTF-8 on POSIX.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// Percent escapes, for values that must stay on one line or in one name of a stored file: each
// character that is "%" or that plain refuses (characters beyond 0xFF are always kept) is
// written as "%" and two upper-case hexadecimal digits of its value. Read back, each "%" and two
// hexadecimal digits of either case are that character again; false when some "%" is not
// followed by two such digits, which out then holds as they stand.
std::string PercentEscape(const std::string& text, bool (*plain)(unsigned char c));
std::wstring PercentEscape(const std::wstring& text, bool (*plain)(unsigned char c));
bool PercentUnescape(const std::string& text, std::string& out);
bool PercentUnescape(const std::wstring& text, std::wstring& out);
// What a line keeps as it is: all but "%" and the control characters (below 0x20, and 0x7F).
bool IsLineChar(unsigned char c);

// A whole decimal number that fits in 32 bits, of digits only (no sign, no blank).
bool ParseUint32(const std::string& text, uint32_t& value);
bool ParseUint32(const std::wstring& text, uint32_t& value);

// The lines of text, each without its line break ("\n" or "\r\n"); a last line without one
// counts, and no empty line follows a last break. The views are into text.
std::vector<std::string_view> TextLines(std::string_view text);
std::vector<std::wstring_view> TextLines(std::wstring_view text);
