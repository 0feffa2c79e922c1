// The paths of a drop, read from drop blocks laid out every way the shell may lay them out:
// wide or in the ANSI code page, the paths right after the header or further on, at an odd
// offset, none at all, very long ones. The shell's own reading, path by path through
// DragQueryFileW, is the measure of what each block holds.
#include "ui/dropped_paths.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/text.h"

namespace {

// A drop block as the shell makes one: the header, gap bytes, then the paths, each ending in a
// zero, and an empty one after the last.
HDROP MakeDropBlock(const std::vector<std::wstring>& paths, bool wide, size_t gap) {
  std::string list;
  for (const std::wstring& path : paths) {
    if (wide) {
      list.append(reinterpret_cast<const char*>(path.c_str()), (path.size() + 1) * sizeof(wchar_t));
    } else {
      list += WideToAnsi(path);
      list.push_back('\0');
    }
  }
  list.append(wide ? sizeof(wchar_t) : 1, '\0');
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + gap + list.size());
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = static_cast<DWORD>(sizeof(DROPFILES) + gap);
  header->fWide = wide ? TRUE : FALSE;
  std::memcpy(reinterpret_cast<char*>(header) + header->pFiles, list.data(), list.size());
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// Each path the shell reads by its index; one that reads as empty is no path.
std::vector<std::wstring> ShellReading(HDROP drop) {
  std::vector<std::wstring> paths;
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::vector<wchar_t> path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    UINT copied = DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size()));
    if (copied > 0) paths.emplace_back(path.data(), copied);
  }
  return paths;
}

TEST(DroppedPathsTest, EveryPathOfEveryLayoutComesWholeAndInOrder) {
  const std::vector<std::wstring> hostile = {L"C:\\v\\clip.mp4", L"C:\\여행 영상\\첫째 날 (2019).mkv",
                                             L"D:\\50% & 'x' !v! ^c $h `d`\\%PATH%.avi",
                                             L"\\\\server\\share\\ blank .webm", L"C:\\v\\clip.mp4"};
  const std::wstring veryLong = L"C:\\" + std::wstring(20000, L'가') + L".mp4";
  const std::vector<std::wstring> ascii = {L"C:\\v\\a.mp4", L"C:\\v\\b & c.mkv", L"C:\\v\\50% !x!.avi"};
  // Names in the user's ANSI code page: Korean on a Korean system.
  std::vector<std::wstring> ansi;
  for (const std::wstring& path : hostile) ansi.push_back(AnsiToWide(WideToAnsi(path)));
  std::vector<std::wstring> many;
  for (int i = 0; i < 3000; ++i) many.push_back(L"C:\\많은\\" + std::to_wstring(i) + L".mp4");
  const struct {
    const char* name;
    std::vector<std::wstring> paths;
    bool wide;
    size_t gap;
  } blocks[] = {
      {"wide", hostile, true, 0},
      {"wide, further on", hostile, true, 16},
      {"wide, at an odd offset", hostile, true, 1},
      {"wide, very long", {veryLong, L"C:\\short.mp4", veryLong}, true, 0},
      {"wide, many", many, true, 0},
      {"wide, none", {}, true, 0},
      {"ANSI", ascii, false, 0},
      {"ANSI, code page", ansi, false, 3},
      {"ANSI, none", {}, false, 0},
  };
  for (const auto& block : blocks) {
    SCOPED_TRACE(block.name);
    HDROP drop = MakeDropBlock(block.paths, block.wide, block.gap);
    const std::vector<std::wstring> shell = ShellReading(drop);
    EXPECT_EQ(block.paths, shell);  // the block says what it was meant to
    const std::vector<std::wstring> read = DroppedPaths(drop);
    ASSERT_EQ(shell.size(), read.size());
    for (size_t i = 0; i < read.size(); ++i) ASSERT_EQ(shell[i], read[i]) << "path " << i;
    DragFinish(drop);
  }
}

}  // namespace
