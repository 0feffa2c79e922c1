// The other side of bench/drop_vs_list_view.sh: a bare list view as the window's file list is
// one (report view, one column 1000 pixels wide, grid lines, whole-row selection, the list's
// size at 96 dots per inch), alone in a plain window. N rows go in the quickest way a list view
// takes them: drawing held off while they go in, one repaint after. Prints the milliseconds
// from the first row until the list has drawn itself.
// Usage: kestrune_list_standin.exe [N]   (default 1000)
#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "window_bench.h"

namespace {
void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rows = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 1000;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  HWND top = CreateWindowExW(0, L"#32770", L"list view", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 900, 520,
                             nullptr, nullptr, nullptr, nullptr);
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, 10, 30,
                              560, 226, top, nullptr, nullptr, nullptr);
  if (!top || !list) return 1;
  ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  wchar_t heading[] = L"";
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = 1000;  // as wide as the file list's
  column.pszText = heading;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  Pump();
  UpdateWindow(top);

  std::vector<std::wstring> paths;
  for (int i = 0; i < rows; ++i) paths.push_back(BenchRowPath(i));
  const double start = BenchMilliseconds();
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < rows; ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = paths[static_cast<size_t>(i)].data();
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
  Pump();
  UpdateWindow(top);
  GdiFlush();
  const double took = BenchMilliseconds() - start;

  const int listed = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  std::printf("list view %d rows: %.1f ms, rows %d\n", rows, took, listed);
  DestroyWindow(top);
  return listed == rows ? 0 : 1;
}
