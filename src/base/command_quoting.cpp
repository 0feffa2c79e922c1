#include "base/command_quoting.h"

std::wstring EscapeForQuotes(const std::wstring& text) {
  std::wstring out;
  size_t backslashes = 0;
  for (wchar_t c : text) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"')
      out.append(backslashes * 2 + 1, L'\\');
    else
      out.append(backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out;
}

std::wstring QuoteArgument(const std::wstring& text) {
  // A line break or vertical tab separates arguments for some readers of a command line (Wine's
  // among them), as a blank does for all.
  if (!text.empty() && text.find_first_of(L" \t\n\v\"") == std::wstring::npos) return text;
  return L"\"" + EscapeForQuotes(text) + L"\"";
}
