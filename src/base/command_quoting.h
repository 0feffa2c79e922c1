#pragma once
// Windows argument quoting, the one rule every command text of the system follows on every
// platform: the command builder writes file names between double quotes with it, and the
// interpreter rebuilds a program's command line from its words with it.
#include <string>

// The text to write between two double quotes so that the argument rules give back exactly
// text: quotes are escaped and backslashes before a quote or the closing quote doubled. Any
// text without a double quote and not ending in a backslash comes back unchanged, which is
// every Windows file path.
std::wstring EscapeForQuotes(const std::wstring& text);

// One argument as a program's command line carries it: unchanged when it is not empty and
// holds no blank, tab, line break, vertical tab or double quote; otherwise between double
// quotes, escaped.
std::wstring QuoteArgument(const std::wstring& text);
