// One side of bench/drop_vs_list_view.sh: the real main window, shown, gets one WM_DROPFILES
// of N paths, built as the shell builds one. Prints the milliseconds from the drop's arrival
// until the window has handled it and drawn itself again, then checks that the list holds
// every path, exactly and in the dropped order (exit code 1 when not).
// With --folder, the drop holds one folder of N media files (made in the temporary folder
// beforehand, 100 to a subfolder, with a text file beside each hundred that the list leaves
// out): the time then takes in listing the tree, and the check is that all N are listed.
// Usage: kestrune_drop_driver.exe [N] [--folder]   (default 1000)
#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/control_ids.h"
#include "ui/main_dlg.h"
#include "ui/ui_test_support.h"
#include "window_bench.h"

namespace {
// A fresh tree of rows empty media files below the temporary folder; its root.
std::wstring MakeMediaTree(int rows) {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring root = std::wstring(temp) + L"kestrune-drop-" + std::to_wstring(GetCurrentProcessId());
  for (int i = 0; i < rows; ++i) {
    const std::wstring folder = root + L"\\폴더 " + std::to_wstring(i / 100);
    if (i % 100 == 0) {
      CreateDirectoryW(root.c_str(), nullptr);
      CreateDirectoryW(folder.c_str(), nullptr);
      CloseHandle(
          CreateFileW((folder + L"\\notes.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    }
    const std::wstring file = folder + L"\\clip " + std::to_wstring(i) + L".mp4";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  }
  return root;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rows = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 1000;
  const bool folder = argc > 2 && std::wstring(argv[2]) == L"--folder";
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  CMainDlg dialog;
  if (!dialog.Create(nullptr)) return 1;
  ShowWindow(dialog.Hwnd(), SW_SHOW);
  PumpMessages();
  UpdateWindow(dialog.Hwnd());

  std::vector<std::wstring> paths;
  const std::wstring tree = folder ? MakeMediaTree(rows) : std::wstring();
  if (folder)
    paths.push_back(tree);
  else
    for (int i = 0; i < rows; ++i) paths.push_back(BenchRowPath(i));
  const double start = BenchMilliseconds();
  DropFiles(dialog.Hwnd(), paths);  // sends the drop and handles what it left queued
  UpdateWindow(dialog.Hwnd());
  GdiFlush();
  const double took = BenchMilliseconds() - start;

  bool exact = dialog.RowCount(IDC_FILE_LIST) == rows;
  for (int i = 0; exact && !folder && i < rows; ++i)
    exact = dialog.RowText(IDC_FILE_LIST, i) == paths[static_cast<size_t>(i)];
  std::printf("drop %d %s: %.1f ms, rows %s\n", rows, folder ? "files in a folder" : "rows", took,
              exact ? "exact" : "WRONG");
  if (folder) {
    std::error_code ignored;
    std::filesystem::remove_all(tree, ignored);
  }
  return exact ? 0 : 1;
}
