#include "base/file_util.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/program_dir.h"
#include "base/text.h"
#include "support/temp_dir.h"

namespace {

// The C runtime's own reading of a text file line by line (fgets into a buffer of 999 bytes, in
// text mode), as the program read its reports before reading them into memory.
std::vector<std::wstring> RuntimeLines(const std::wstring& path, int maxLines) {
#ifdef _WIN32
  FILE* file = _wfopen(path.c_str(), L"rt");
#else
  FILE* file = std::fopen(PathToNative(path).c_str(), "r");
#endif
  std::vector<std::wstring> lines;
  if (file == nullptr) return lines;
  char buffer[kReadLineBytes + 1];
  for (int i = 0; i < maxLines && std::fgets(buffer, sizeof buffer, file) != nullptr; ++i) {
    std::string piece(buffer);
#ifndef _WIN32
    if (piece.size() >= 2 && piece[piece.size() - 2] == '\r' && piece.back() == '\n')
      piece.erase(piece.size() - 2, 1);
#endif
    lines.push_back(AnsiToWide(piece));
  }
  std::fclose(file);
  return lines;
}

template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);  // embedded NULs included
}

}  // namespace

TEST(SplitFileExt, SplitsAtTheLastDotOfTheWholePath) {
  struct Case {
    const wchar_t* path;
    bool ok;
    const wchar_t* stem;
    const wchar_t* ext;
  } cases[] = {
      {L"C:\\v\\clip.mp4", true, L"C:\\v\\clip", L"mp4"},
      {L"C:\\v\\clip.", false, L"-", L"-"},
      {L"C:\\v.d\\clip", true, L"C:\\v", L"d\\clip"},
      {L"clip", true, L"", L"clip"},
      {L"", false, L"-", L"-"},
      {L"archive.tar.mp4", true, L"archive.tar", L"mp4"},
  };
  for (const Case& c : cases) {
    std::wstring stem = L"-", ext = L"-";
    EXPECT_EQ(SplitFileExt(c.path, stem, ext), c.ok) << c.path;
    EXPECT_EQ(stem, c.stem) << c.path;
    EXPECT_EQ(ext, c.ext) << c.path;
  }
}

TEST(ReadTextLines, ReadsAtMostTheLimitAndKeepsLineFeeds) {
  TempDir dir;
  std::wstring path = dir.Write(L"five.txt", "1\n2\r\n3\n4\n5\n");
  std::vector<std::wstring> lines{L"old"};
  ASSERT_TRUE(CFileUtil().ReadTextLines(path, lines, 3));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], L"1\n");
  EXPECT_EQ(lines[1], L"2\n");
  EXPECT_EQ(lines[2], L"3\n");
}

TEST(ReadTextLines, CutsLongLinesInto998BytePieces) {
  TempDir dir;
  std::string longLine(2000, 'a');
  std::wstring path = dir.Write(L"long.txt", longLine + "\n");
  std::vector<std::wstring> lines;
  ASSERT_TRUE(CFileUtil().ReadTextLines(path, lines, 100));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), 998u);
  EXPECT_EQ(lines[1].size(), 998u);
  EXPECT_EQ(lines[2], std::wstring(4, L'a') + L"\n");
}

TEST(ReadTextLines, CutsEveryTextAsTheRuntimesLineReadingDoes) {
  const std::string x997(997, 'x');
  const struct {
    const char* name;
    std::string content;
  } cases[] = {
      {"empty", ""},
      {"no line feed", "General"},
      {"blank lines", "\n\n\n"},
      {"CR LF", "Video\r\nWidth : 640\r\n"},
      {"CR CR LF and a lone CR", "a\r\r\nb\rc\n\r"},
      {"998 bytes and a feed", x997 + "x\n"},
      {"CR LF across the cut", x997 + "\r\nnext\n"},
      {"three pieces", std::string(2500, 'a') + "\nend"},
      {"NULs", Bytes("ab\0cd\nef\n\0\n\0")},
      {"Ctrl+Z", Bytes("before\x1a after\n")},
      {"Hangul across the cut", x997 + "\xea\xb0\x80\n"},
      {"bytes that are no text", Bytes("\xff\xfe\x80:\x01\n\xc3")},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring path = dir.Write(L"lines.txt", c.content);
    for (int maxLines : {100, 2}) {
      std::vector<std::wstring> expected = RuntimeLines(path, maxLines);
      std::vector<std::wstring> lines{L"old"};
      ASSERT_TRUE(CFileUtil().ReadTextLines(path, lines, maxLines));
      EXPECT_EQ(lines, expected) << maxLines;

      // The reader alone, over the file's text as read into memory.
      std::string text;
      ASSERT_TRUE(ReadTextFile(path, text, 1 << 20));
      CTextLineReader reader(text);
      std::vector<std::wstring> read;
      std::wstring line = L"room to reuse";
      while (static_cast<int>(read.size()) < maxLines && reader.Next(line)) read.push_back(line);
      EXPECT_EQ(read, expected) << maxLines;
    }
  }
}

TEST(CTextLineReader, SkipsWhatNextReads) {
  const std::string text = std::string(1000, 'a') + "\nb\n";
  CTextLineReader reader(text);
  std::wstring line;
  ASSERT_TRUE(reader.Skip());
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(line, L"aa\n");
  ASSERT_TRUE(reader.Skip());
  EXPECT_FALSE(reader.Skip());
  EXPECT_FALSE(reader.Next(line));
}

TEST(ReadTextFile, ReadsAtMostTheBytesAskedFor) {
  TempDir dir;
  std::wstring path = dir.Write(L"ten.txt", "0123456789");
  std::string text = "old";
  ASSERT_TRUE(ReadTextFile(path, text, 4));
  EXPECT_EQ(text, "0123");
  ASSERT_TRUE(ReadTextFile(path, text, 100));
  EXPECT_EQ(text, "0123456789");
  text = "kept";
  EXPECT_FALSE(ReadTextFile(dir.File(L"missing.txt"), text, 100));
  EXPECT_FALSE(ReadTextFile(L"", text, 100));
  EXPECT_EQ(text, "kept");
}

TEST(ReadTextLines, FailsWithoutTouchingTheList) {
  TempDir dir;
  std::vector<std::wstring> lines{L"kept"};
  EXPECT_FALSE(CFileUtil().ReadTextLines(L"", lines, 10));
  EXPECT_FALSE(CFileUtil().ReadTextLines(dir.File(L"missing.txt"), lines, 10));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], L"kept");
}

TEST(FileHelpers, ExistenceAndLength) {
  TempDir dir;
  std::wstring file = dir.Write(L"seven.bin", "1234567");
  std::wstring empty = dir.Write(L"empty.bin", "");
  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(FileExists(dir.Path())) << "a directory exists too";
  EXPECT_FALSE(FileExists(dir.File(L"missing")));
  EXPECT_FALSE(FileExists(L""));
  EXPECT_EQ(GetFileLength(file), 7);
  EXPECT_EQ(GetFileLength(empty), 0);
  EXPECT_EQ(GetFileLength(dir.File(L"missing")), 0);
  EXPECT_TRUE(RemoveFile(file));
  EXPECT_FALSE(FileExists(file));
}

TEST(ProgramName, IsTheExecutablesFileNameWithoutItsExtension) {
  // base_tests natively, base_tests.exe under Wine.
  EXPECT_EQ(GetProgramName(), L"base_tests");
}

TEST(ProgramDir, IsTheExecutablesFolderWithItsSeparator) {
  std::wstring dir = GetProgramDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), kPathSeparator);
  std::wstring before = GetCurrentDir();
  EXPECT_TRUE(EnterProgramDir());
  EXPECT_EQ(ProgramDir(), dir);
  std::wstring now = GetCurrentDir();
  if (now.back() != kPathSeparator) now += kPathSeparator;
  EXPECT_EQ(now, dir);
  SetCurrentDir(before);
}
