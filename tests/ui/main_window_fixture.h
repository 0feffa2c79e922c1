#pragma once
// A main window of its own for each test: created modeless and shown, driven through its
// control ids the way the user's clicks arrive, and destroyed at the end.
#include <gtest/gtest.h>
#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/main_dlg.h"
#include "ui/ui_test_support.h"

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearStoredPosition();
    dialog = std::make_unique<CMainDlg>();
    ASSERT_TRUE(dialog->Create(nullptr));
    ShowWindow(dialog->Hwnd(), SW_SHOW);
    PumpMessages();
  }
  void TearDown() override {
    dialog.reset();
    PumpMessages();
    ClearStoredPosition();
  }

  HWND Item(int id) const { return GetDlgItem(dialog->Hwnd(), id); }
  std::wstring Text(int id) const { return WindowText(Item(id)); }
  bool Checked(int id) const { return IsDlgButtonChecked(dialog->Hwnd(), id) == BST_CHECKED; }
  // A button clicked as the mouse would (a disabled one ignores it).
  void Click(int id) {
    SendMessageW(Item(id), BM_CLICK, 0, 0);
    PumpMessages();
  }
  bool ClickRow(int listId, int row, RowSpot spot = RowSpot::TEXT) {
    return ClickListRow(Item(listId), row, spot);
  }

  int Rows(int listId) const { return dialog->RowCount(listId); }
  std::vector<std::wstring> RowTexts(int listId) const {
    std::vector<std::wstring> texts;
    for (int row = 0; row < Rows(listId); ++row) texts.push_back(dialog->RowText(listId, row));
    return texts;
  }
  // One flag per row: checked, or selected.
  std::vector<bool> CheckedRows(int listId) const {
    std::vector<bool> rows;
    for (int row = 0; row < Rows(listId); ++row) rows.push_back(dialog->IsRowChecked(listId, row));
    return rows;
  }
  std::vector<bool> SelectedRows(int listId) const {
    std::vector<bool> rows;
    for (int row = 0; row < Rows(listId); ++row) {
      rows.push_back(ListView_GetItemState(Item(listId), row, LVIS_SELECTED) != 0);
    }
    return rows;
  }

  std::unique_ptr<CMainDlg> dialog;
};
