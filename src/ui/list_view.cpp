#include "ui/list_view.h"

#include <commctrl.h>

#include <vector>

void SetUpListView(HWND list, DWORD extendedStyle, const std::wstring& heading, int width) {
  ListView_SetExtendedListViewStyle(list, extendedStyle);
  ListView_DeleteAllItems(list);
  std::wstring text = heading;
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
  column.fmt = LVCFMT_LEFT;
  column.cx = width;
  column.pszText = text.data();
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
}

int AppendListRow(HWND list, const std::wstring& text) {
  std::wstring copy = text;
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = ListRowCount(list);
  item.pszText = copy.data();
  return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

int ListRowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring ListRowText(HWND list, int row, int maxChars) {
  if (maxChars <= 0) return std::wstring();
  std::vector<wchar_t> buffer(static_cast<size_t>(maxChars) + 1, L'\0');
  LVITEMW item{};
  item.iSubItem = 0;
  item.pszText = buffer.data();
  item.cchTextMax = maxChars + 1;
  auto length =
      SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return std::wstring(buffer.data(), length > 0 ? static_cast<size_t>(length) : 0);
}

bool IsListRowChecked(HWND list, int row) { return ListView_GetCheckState(list, row) != 0; }

void SetListRowChecked(HWND list, int row, bool checked) {
  ListView_SetCheckState(list, row, checked ? TRUE : FALSE);
}

void DeleteListRow(HWND list, int row) { ListView_DeleteItem(list, row); }

void DeleteAllListRows(HWND list) { ListView_DeleteAllItems(list); }

int LastSelectedListRow(HWND list) {
  int last = -1;
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    last = row;
  }
  return last;
}

void ClearListSelection(HWND list) { ListView_SetItemState(list, -1, 0, LVIS_SELECTED); }

void SelectListRow(HWND list, int row) { ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED); }
