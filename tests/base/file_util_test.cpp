#include "base/file_util.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/file_identity.h"
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

  // A link whose target is missing takes its name: ffmpeg told to write there would create
  // the target, wherever it points.
  if (dir.LinkFolder(L"dangling", dir.File(L"gone"))) {
    EXPECT_TRUE(FileExists(dir.File(L"dangling")));
    EXPECT_EQ(CreateNewFile(dir.File(L"dangling")), NEW_FILE_EXISTS);
    EXPECT_FALSE(FileExists(dir.File(L"gone"))) << "nothing was made through the link";
    EXPECT_TRUE(RemoveFile(dir.File(L"dangling")));
  }
}

// Creating a new file claims its name: once, whoever asks second.
TEST(FileHelpers, CreateNewFileClaimsANameOnce) {
  TempDir dir;
  const std::wstring name = dir.File(L"clip_(02).mp4");
  EXPECT_EQ(CreateNewFile(name), NEW_FILE_MADE);
  EXPECT_EQ(GetFileLength(name), 0);
  EXPECT_EQ(CreateNewFile(name), NEW_FILE_EXISTS);
  EXPECT_EQ(CreateNewFile(dir.Path()), NEW_FILE_EXISTS) << "a folder takes its name too";
  EXPECT_EQ(CreateNewFile(dir.File(L"no such folder") + kPathSeparator + L"x.mp4"), NEW_FILE_FAILED);
}

// Past MAX_PATH characters Windows takes a path only in its \\?\ form; every helper writes it
// where needed, so an output deep in folders is seen, measured, read and removed like any.
TEST(FileHelpers, WorkAtAnyPathLength) {
  TempDir dir;
  const std::wstring deep = dir.DeepFolder(300);
  ASSERT_FALSE(deep.empty());
  const std::wstring file = deep + L"seven.bin";
  EXPECT_EQ(CreateNewFile(file), NEW_FILE_MADE) << WideToUtf8(file);
  EXPECT_EQ(CreateNewFile(file), NEW_FILE_EXISTS);
  dir.Write(file.substr(dir.Path().size()), "1234567");
  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(IsDirectory(deep));
  EXPECT_FALSE(IsDirectory(file));
  EXPECT_EQ(GetFileLength(file), 7);
  std::string text;
  EXPECT_TRUE(ReadTextFile(file, text, 100));
  EXPECT_EQ(text, "1234567");
  EXPECT_TRUE(RemoveFile(file));
  EXPECT_FALSE(FileExists(file));
}

// The names that do not name a file of their own on Windows, and their near misses.
TEST(FileNames, TheNamesWindowsReserves) {
  const struct {
    const wchar_t* name;
    bool reserved;
  } rows[] = {
      {L"CON", true},       {L"con", true},         {L"Nul.txt", true},     {L"aux.tar.gz", true},
      {L"PRN ", true},      {L"prn .log", true},    {L"COM1", true},        {L"lpt9.dll", true},
      {L"COM\u00B9", true}, {L"LPT\u00B3.x", true}, {L"CONIN$", true},      {L"conout$.txt", true},
      {L"notes.", true},    {L"readme ", true},     {L"COM0", false},       {L"LPT10", false},
      {L"CONSOLE", false},  {L"xCON", false},       {L"ffmpeg.exe", false}, {L"media.txt", false},
      {L"COM", false},      {L".con", false},       {L"nul_.txt", false},   {L"", false},
  };
  for (const auto& row : rows)
    EXPECT_EQ(IsWindowsReservedName(row.name), row.reserved) << WideToUtf8(row.name);
}

TEST(LongPathForm, OnlyPathsTooLongForWindowsTakeTheExtendedForm) {
  const std::wstring part(100, L'p');
#ifdef _WIN32
  const std::wstring here = GetCurrentDir() + (GetCurrentDir().back() == L'\\' ? L"" : L"\\");
  const struct {
    const char* what;
    std::wstring path, expected;
  } cases[] = {
      {"short", L"C:\\v\\clip.mp4", L"C:\\v\\clip.mp4"},
      {"short, its dots and slashes untouched", L"C:/v/../v/./clip.mp4", L"C:/v/../v/./clip.mp4"},
      {"long", L"C:\\" + part + L"\\" + part + L"\\" + part + L"\\clip.mp4",
       L"\\\\?\\C:\\" + part + L"\\" + part + L"\\" + part + L"\\clip.mp4"},
      {"long, normalised first", L"C:/" + part + L"/x/../" + part + L"/./" + part + L"/clip.mp4",
       L"\\\\?\\C:\\" + part + L"\\" + part + L"\\" + part + L"\\clip.mp4"},
      {"long on a share", L"\\\\server\\share\\" + part + L"\\" + part + L"\\" + part + L"\\clip.mp4",
       L"\\\\?\\UNC\\server\\share\\" + part + L"\\" + part + L"\\" + part + L"\\clip.mp4"},
      {"long and relative", part + L"\\" + part + L"\\" + part + L"\\clip.mp4",
       L"\\\\?\\" + here + part + L"\\" + part + L"\\" + part + L"\\clip.mp4"},
      {"already extended", L"\\\\?\\C:\\v\\clip.mp4", L"\\\\?\\C:\\v\\clip.mp4"},
      {"empty", L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(LongPathForm(c.path), c.expected) << c.what;
#else
  const std::wstring path = L"/" + part + L"/" + part + L"/../" + part + L"/clip.mp4";
  EXPECT_EQ(LongPathForm(path), path) << "POSIX takes any length as it is";
#endif
}

// Every spelling of one file has one key, and two files two keys. What case does depends on
// the folder: the native test folders tell case apart (the file system says so), Windows'
// and Wine's ignore it, and an injected answer stands for a vfat stick or a CIFS share.
TEST(FileKey, SpellingsOfOneFileShareOneKey) {
#ifdef _WIN32
  const bool realFolderIgnoresCase = true;
#else
  const bool realFolderIgnoresCase = false;
#endif
  TempDir dir;
  const std::wstring s(1, kPathSeparator);
  const std::wstring d = dir.Folder(L"d");
  ASSERT_FALSE(d.empty());
  dir.Write(L"d" + s + L"x.mp4");
  const bool linked = dir.LinkFolder(L"link", d);
  enum { SAME, DIFFERENT, SAME_WHERE_CASE_IS_IGNORED };
  const struct {
    const char* what;
    std::wstring a, b;
    int rule;
    bool needsLink;
  } cases[] = {
      {"one text", d + L"x.mp4", d + L"x.mp4", SAME, false},
      {"through ..", d + L"x.mp4", dir.Path() + L"d" + s + L".." + s + L"d" + s + L"x.mp4", SAME, false},
      {"through .", d + L"x.mp4", d + L"." + s + L"x.mp4", SAME, false},
      {"a name not made yet", d + L"x_(02).AAC", dir.Path() + L"d" + s + L".." + s + L"d" + s + L"x_(02).AAC",
       SAME, false},
      {"through a link to the folder", d + L"x.mp4", dir.Path() + L"link" + s + L"x.mp4", SAME, true},
      {"relative to the current folder", d + L"x.mp4", L"d" + s + L"x.mp4", SAME, false},
      {"another name", d + L"x.mp4", d + L"y.mp4", DIFFERENT, false},
      {"the name in another folder", d + L"x.mp4", dir.File(L"x.mp4"), DIFFERENT, false},
      {"case twins", d + L"Clip_(02).mp4", d + L"clip_(02).mp4", SAME_WHERE_CASE_IS_IGNORED, false},
      {"case twins beyond ASCII", d + L"\u00c4pfel_(02).mp4", d + L"\u00e4pfel_(02).mp4",
       SAME_WHERE_CASE_IS_IGNORED, false},
#ifdef _WIN32
      {"forward slashes", d + L"x.mp4", dir.Path() + L"d/x.mp4", SAME, false},
      {"the folder's name in upper case", d + L"x.mp4", dir.Path() + L"D\\x.mp4", SAME, false},
#endif
  };
  const std::wstring previous = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(dir.Path()));
  for (int injected : {-1, 0, 1}) {
#ifdef _WIN32
    if (injected == 0) continue;  // a Windows folder always ignores case
#endif
    std::unique_ptr<CFolderCaseOverride> override;
    if (injected >= 0) override = std::make_unique<CFolderCaseOverride>(injected == 1);
    const bool ignoresCase = injected < 0 ? realFolderIgnoresCase : injected == 1;
    EXPECT_EQ(FolderIgnoresCase(d), ignoresCase) << injected;
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << c.what << ", injected " << injected);
      if (c.needsLink && !linked) continue;
      const bool same = c.rule == SAME || (c.rule == SAME_WHERE_CASE_IS_IGNORED && ignoresCase);
      EXPECT_EQ(FileKey(c.a) == FileKey(c.b), same)
          << WideToUtf8(FileKey(c.a)) << " / " << WideToUtf8(FileKey(c.b));
    }
  }
  SetCurrentDir(previous);
  if (!linked) std::printf("no link to a folder here: its row was left out\n");
}

// The file system's own answer, read from a name already in the folder, or from a file of
// the probe's own where none settles it; nothing is left behind.
TEST(FolderIgnoresCase, TheFileSystemAnswersAndNothingStays) {
#ifdef _WIN32
  const bool expected = true;
#else
  const bool expected = false;  // the test machine's folders tell case apart
#endif
  TempDir dir;
  const struct {
    const char* what;
    std::vector<std::wstring> names;
  } cases[] = {
      {"empty", {}},
      {"a name with letters", {L"Clip.mp4"}},
      {"only digits and Hangul", {L"2024.\uc601\uc0c1"}},
#ifndef _WIN32
      {"both spellings as two files", {L"a.mp4", L"A.MP4"}},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::wstring folder = dir.Folder(Utf8ToWide(c.what));
    ASSERT_FALSE(folder.empty());
    for (const std::wstring& name : c.names) dir.Write(Utf8ToWide(c.what) + kPathSeparator + name);
    EXPECT_EQ(FolderIgnoresCase(folder), expected);
    size_t left = 0;
    for (auto it = std::filesystem::directory_iterator(FsPath(folder));
         it != std::filesystem::directory_iterator(); ++it)
      ++left;
    EXPECT_EQ(left, c.names.size());
  }
  EXPECT_TRUE(FolderIgnoresCase(dir.File(L"missing"))) << "a folder that cannot say counts as ignoring case";
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
