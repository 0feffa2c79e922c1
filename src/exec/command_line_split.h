#pragma once
// Command lines are Windows command lines on every platform: the words of a line are split by
// the rules Windows programs apply to their own command line (the C runtime's, which
// CommandLineToArgvW shares), so one text means the same program and arguments everywhere.
//   - blanks (space, tab) outside double quotes separate words;
//   - a double quote toggles quoting and is dropped; inside quotes a doubled "" is one quote;
//   - 2n backslashes before a quote give n backslashes (the quote toggles), 2n+1 give n and
//     a literal quote; backslashes anywhere else are literal;
//   - the first word (the program) knows no backslash escapes: quotes only toggle.
#include <string>
#include <vector>

#include "base/command_quoting.h"  // EscapeForQuotes, the inverse of the splitting

// One command of a sequence: its words, and whether it runs only after the command before it
// succeeded ("&&").
struct CommandWords {
  std::vector<std::wstring> words;
  bool onlyAfterSuccess = false;
};

// Splits argument text (what follows the program) into arguments.
std::vector<std::wstring> SplitArguments(const std::wstring& text);

// Splits a whole command line: the program word, then the arguments.
std::vector<std::wstring> SplitCommandLine(const std::wstring& line);

// Splits a line of the command interpreter into its commands: "&" outside quotes ends one
// command and starts the next, "&&" does so on condition of success. Quotes are counted by
// the word rules above, so an escaped quote inside a quoted name never exposes an "&".
// Empty commands (a trailing "&") are dropped.
std::vector<CommandWords> SplitCommandSequence(const std::wstring& line);
