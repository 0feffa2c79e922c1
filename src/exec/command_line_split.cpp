#include "exec/command_line_split.h"

namespace {

bool IsWordBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Reads the program word starting at pos: quotes toggle, nothing is escaped. With
// stopAtAmpersand, an "&" outside quotes ends the word. Returns the position after the word.
size_t ReadProgramWord(const std::wstring& line, size_t pos, bool stopAtAmpersand, std::wstring& word) {
  bool quoted = false;
  while (pos < line.size()) {
    wchar_t c = line[pos];
    if (!quoted && (IsWordBlank(c) || (stopAtAmpersand && c == L'&'))) break;
    if (c == L'"')
      quoted = !quoted;
    else
      word += c;
    ++pos;
  }
  return pos;
}

// Reads one argument word starting at pos by the argument rules.
size_t ReadArgumentWord(const std::wstring& line, size_t pos, bool stopAtAmpersand, std::wstring& word) {
  bool quoted = false;
  const size_t n = line.size();
  while (pos < n) {
    size_t backslashes = 0;
    while (pos < n && line[pos] == L'\\') {
      ++backslashes;
      ++pos;
    }
    if (pos < n && line[pos] == L'"') {
      word.append(backslashes / 2, L'\\');
      if (backslashes % 2 == 1) {
        word += L'"';  // an escaped quote
      } else if (quoted && pos + 1 < n && line[pos + 1] == L'"') {
        word += L'"';  // "" inside quotes
        ++pos;
      } else {
        quoted = !quoted;
      }
      ++pos;
      continue;
    }
    word.append(backslashes, L'\\');
    if (pos >= n) break;
    wchar_t c = line[pos];
    if (!quoted && (IsWordBlank(c) || (stopAtAmpersand && c == L'&'))) break;
    word += c;
    ++pos;
  }
  return pos;
}

size_t SkipBlanks(const std::wstring& line, size_t pos) {
  while (pos < line.size() && IsWordBlank(line[pos])) ++pos;
  return pos;
}

std::vector<std::wstring> SplitWords(const std::wstring& line, bool firstIsProgram) {
  std::vector<std::wstring> words;
  size_t pos = SkipBlanks(line, 0);
  while (pos < line.size()) {
    std::wstring word;
    if (firstIsProgram && words.empty())
      pos = ReadProgramWord(line, pos, false, word);
    else
      pos = ReadArgumentWord(line, pos, false, word);
    words.push_back(word);
    pos = SkipBlanks(line, pos);
  }
  return words;
}

}  // namespace

std::vector<std::wstring> SplitArguments(const std::wstring& text) { return SplitWords(text, false); }

std::vector<std::wstring> SplitCommandLine(const std::wstring& line) { return SplitWords(line, true); }

std::vector<CommandWords> SplitCommandSequence(const std::wstring& line) {
  std::vector<CommandWords> commands;
  CommandWords current;
  size_t pos = SkipBlanks(line, 0);
  auto finish = [&](bool nextOnlyAfterSuccess) {
    if (!current.words.empty()) commands.push_back(current);
    current = CommandWords();
    current.onlyAfterSuccess = nextOnlyAfterSuccess;
  };
  while (pos < line.size()) {
    if (line[pos] == L'&') {
      bool doubled = pos + 1 < line.size() && line[pos + 1] == L'&';
      finish(doubled);
      pos = SkipBlanks(line, pos + (doubled ? 2 : 1));
      continue;
    }
    std::wstring word;
    if (current.words.empty())
      pos = ReadProgramWord(line, pos, true, word);
    else
      pos = ReadArgumentWord(line, pos, true, word);
    current.words.push_back(word);
    pos = SkipBlanks(line, pos);
  }
  finish(false);
  return commands;
}
