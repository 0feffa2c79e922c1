// Words of a command line by the Windows rules, "&" between commands, and quoting that gives
// any text back as exactly one argument.
#include "exec/command_line_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"

#ifdef _WIN32
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#endif

namespace {

using Words = std::vector<std::wstring>;

struct SplitCase {
  const wchar_t* text;
  Words words;
};

TEST(SplitArguments, FollowsTheWindowsArgumentRules) {
  const SplitCase cases[] = {
      {L"", {}},
      {L"a b", {L"a", L"b"}},
      {L"  a\t b  ", {L"a", L"b"}},
      {L"\"a b\" c", {L"a b", L"c"}},
      {L"a\"b c\"d", {L"ab cd"}},
      {L"\\\"a", {L"\"a"}},
      {L"\\\\\"a b\"", {L"\\a b"}},
      {L"\\\\\\\"a", {L"\\\"a"}},
      {L"a\\\\b c\\", {L"a\\\\b", L"c\\"}},
      {L"\"a\\\\\" b", {L"a\\", L"b"}},
      {L"\"\" x", {L"", L"x"}},
      {L"\"a\"\"b\"", {L"a\"b"}},
      {L"\"unterminated b", {L"unterminated b"}},
      {L"a & b", {L"a", L"&", L"b"}},
      {L"\"C:\\v\\clip.mp4\" 0", {L"C:\\v\\clip.mp4", L"0"}},
  };
  for (const SplitCase& c : cases) EXPECT_EQ(SplitArguments(c.text), c.words) << WideToUtf8(c.text);
}

TEST(SplitCommandLine, ProgramWordKnowsNoEscapes) {
  const SplitCase cases[] = {
      {L"\"C:\\dir\\\" x", {L"C:\\dir\\", L"x"}},
      {L"prog \"a\\\"b\"", {L"prog", L"a\"b"}},
      {L"\"C:\\Program Files\\x.exe\" -i \"a b\"", {L"C:\\Program Files\\x.exe", L"-i", L"a b"}},
      {L"ffmpeg", {L"ffmpeg"}},
  };
  for (const SplitCase& c : cases) EXPECT_EQ(SplitCommandLine(c.text), c.words) << WideToUtf8(c.text);
}

struct SequenceCase {
  const wchar_t* line;
  std::vector<Words> commands;
  std::vector<bool> conditional;
};

TEST(SplitCommandSequence, AmpersandOutsideQuotesSeparatesCommands) {
  const SequenceCase cases[] = {
      {L"a 1 & b 2", {{L"a", L"1"}, {L"b", L"2"}}, {false, false}},
      {L"a&b", {{L"a"}, {L"b"}}, {false, false}},
      {L"a \"x & y\" & b", {{L"a", L"x & y"}, {L"b"}}, {false, false}},
      {L"a \"x\\\" & y\" & b", {{L"a", L"x\" & y"}, {L"b"}}, {false, false}},
      {L"a && b & c", {{L"a"}, {L"b"}, {L"c"}}, {false, true, false}},
      {L"& a &", {{L"a"}}, {false}},
      {L"\"C:\\a&b\\x.exe\" y", {{L"C:\\a&b\\x.exe", L"y"}}, {false}},
      {L"ffmpeg -y -i \"concat:a.ts|b.ts\" -c copy  \"o.mp4\" & pause",
       {{L"ffmpeg", L"-y", L"-i", L"concat:a.ts|b.ts", L"-c", L"copy", L"o.mp4"}, {L"pause"}},
       {false, false}},
      {L"copy /b ffmpeg.zip.001 + ffmpeg.zip.002  ffmpeg.zip",
       {{L"copy", L"/b", L"ffmpeg.zip.001", L"+", L"ffmpeg.zip.002", L"ffmpeg.zip"}},
       {false}},
  };
  for (const SequenceCase& c : cases) {
    std::vector<CommandWords> commands = SplitCommandSequence(c.line);
    ASSERT_EQ(commands.size(), c.commands.size()) << WideToUtf8(c.line);
    for (size_t i = 0; i < commands.size(); ++i) {
      EXPECT_EQ(commands[i].words, c.commands[i]) << WideToUtf8(c.line) << " #" << i;
      EXPECT_EQ(commands[i].onlyAfterSuccess, c.conditional[i]) << WideToUtf8(c.line) << " #" << i;
    }
  }
}

// Names no shell may touch: each must come back as one argument, whatever it holds.
const wchar_t* const kHostileNames[] = {
    L"plain.mp4",
    L"a b.mp4",
    L"a&b.mp4",
    L"100%.mp4",
    L"%PATH%.mp4",
    L"a^b.mp4",
    L"wow!.mp4",
    L"it's.mp4",
    L"say \"hi\".mp4",
    L"$HOME.mp4",
    L"`id`.mp4",
    L"a;b.mp4",
    L"a|b.mp4",
    L"a<b>c.mp4",
    L"(1).mp4",
    L"한글 파일.mp4",
    L"\U0001F3AC.mp4",
    L"-rf.mp4",
    L"trail\\",
    L"\\\\\"",
    L"",
    L"x\" & touch pwned & \"y",
};

TEST(EscapeForQuotes, EveryTextComesBackAsOneArgument) {
  for (const wchar_t* name : kHostileNames) {
    std::wstring line = L"\"" + EscapeForQuotes(name) + L"\"";
    EXPECT_EQ(SplitArguments(line), Words{name}) << WideToUtf8(name);
    std::vector<CommandWords> commands = SplitCommandSequence(L"prog " + line + L" & next");
    ASSERT_EQ(commands.size(), 2u) << WideToUtf8(name);
    EXPECT_EQ(commands[0].words, (Words{L"prog", name})) << WideToUtf8(name);
  }
}

TEST(EscapeForQuotes, WindowsPathsStayAsTheyAre) {
  for (const wchar_t* path : {L"C:\\v\\clip.mp4", L"D:\\한글\\a&b (1).mkv", L"\\\\server\\share\\x.ts"})
    EXPECT_EQ(EscapeForQuotes(path), path);
}

#ifdef _WIN32
// The system's own splitter agrees with ours on lines of the kinds the program writes.
TEST(SplitCommandLine, AgreesWithCommandLineToArgvW) {
  std::vector<std::wstring> lines = {
      L"prog a b",
      L"\"C:\\T\\exec.bat\" \"C:\\P\\mediainfo.exe\" \"C:\\v\\a b.mp4\" \"C:\\P\\media.txt\" 0",
      L"prog \"a\\\"b\" c\\\\d \"e\\\\\" f",
      L"ffmpeg -y -i \"concat:a.ts|b.ts\" -c copy  \"o.mp4\"",
  };
  for (const wchar_t* name : kHostileNames) {
    if (*name != L'\0') lines.push_back(L"prog \"" + EscapeForQuotes(name) + L"\" tail");
  }
  for (const std::wstring& line : lines) {
    int count = 0;
    wchar_t** system = CommandLineToArgvW(line.c_str(), &count);
    ASSERT_NE(system, nullptr);
    Words expected(system, system + count);
    LocalFree(system);
    EXPECT_EQ(SplitCommandLine(line), expected) << WideToUtf8(line);
  }
}
#endif

}  // namespace
