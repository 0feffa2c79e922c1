#include <gtest/gtest.h>

#include <string>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "support/temp_dir.h"

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
