// One side of bench/drop_vs_list_view.sh: the real main window, shown, gets one WM_DROPFILES
// of N paths, built as the shell builds one. Prints the milliseconds from the drop's arrival
// until the window has handled it and drawn itself again, then checks that the list holds
// every path, exactly and in the dropped order (exit code 1 when not).
// Usage: kestrune_drop_driver.exe [N]   (default 1000)
#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "ui/control_ids.h"
#include "ui/main_dlg.h"
#include "ui/ui_test_support.h"
#include "window_bench.h"

int wmain(int argc, wchar_t** argv) {
  const int rows = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 1000;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  CMainDlg dialog;
  if (!dialog.Create(nullptr)) return 1;
  ShowWindow(dialog.Hwnd(), SW_SHOW);
  PumpMessages();
  UpdateWindow(dialog.Hwnd());

  std::vector<std::wstring> paths;
  for (int i = 0; i < rows; ++i) paths.push_back(BenchRowPath(i));
  const double start = BenchMilliseconds();
  DropFiles(dialog.Hwnd(), paths);  // sends the drop and handles what it left queued
  UpdateWindow(dialog.Hwnd());
  GdiFlush();
  const double took = BenchMilliseconds() - start;

  bool exact = dialog.RowCount(IDC_FILE_LIST) == rows;
  for (int i = 0; exact && i < rows; ++i)
    exact = dialog.RowText(IDC_FILE_LIST, i) == paths[static_cast<size_t>(i)];
  std::printf("drop %d rows: %.1f ms, rows %s\n", rows, took, exact ? "exact" : "WRONG");
  return exact ? 0 : 1;
}
