#include "ui/list_view.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {
// Far beyond any path a row holds (a Windows path has at most 32,767 characters).
constexpr size_t kMaxRowTextRoom = 1 << 16;

// The list takes the text as a writable pointer, so it gets a copy.
int InsertListRow(HWND list, int row, const std::wstring& text) {
  std::wstring copy = text;
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = copy.data();
  return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}
}  // namespace

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
  return InsertListRow(list, ListRowCount(list), text);
}

int AppendListRows(HWND list, const std::vector<std::wstring>& texts) {
  if (texts.empty()) return 0;
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  const int start = ListRowCount(list);
  int end = start;
  for (const std::wstring& text : texts) {
    if (InsertListRow(list, end, text) >= 0) ++end;
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  // Turning drawing back on draws nothing by itself; the frame holds the scroll bars.
  RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
  return end - start;
}

int ListRowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring ListRowText(HWND list, int row) {
  // The list copies at most the buffer less its terminator and says how much it copied; a
  // text that filled the buffer may be longer, so it is read again into twice the room.
  for (size_t room = 512;; room *= 2) {
    std::vector<wchar_t> buffer(room, L'\0');
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(room);
    auto length =
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    size_t copied = length > 0 ? static_cast<size_t>(length) : 0;
    if (copied + 1 < room || room >= kMaxRowTextRoom)
      return std::wstring(buffer.data(), std::min(copied, room - 1));
  }
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
