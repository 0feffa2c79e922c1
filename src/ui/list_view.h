#pragma once
// One-line operations on a report-style list view with a single column, as the dialog's four
// lists use them.
#include <windows.h>

#include <string>
#include <vector>

// Empties the list, sets its extended style and inserts column 0.
void SetUpListView(HWND list, DWORD extendedStyle, const std::wstring& heading, int width);
// Appends a row with a text; its index, or -1.
int AppendListRow(HWND list, const std::wstring& text);
// Appends a row for each text, in order, and draws the list once after the last one: a list
// that is drawn as each row goes in (its scroll bars above all) takes milliseconds a row. The
// number of rows appended.
int AppendListRows(HWND list, const std::vector<std::wstring>& texts);
int ListRowCount(HWND list);
// Column 0 of row, whole.
std::wstring ListRowText(HWND list, int row);
bool IsListRowChecked(HWND list, int row);
// Row -1 sets every row.
void SetListRowChecked(HWND list, int row, bool checked);
void DeleteListRow(HWND list, int row);
void DeleteAllListRows(HWND list);
// The highest selected row, or -1 when none is selected.
int LastSelectedListRow(HWND list);
// Every row unselected.
void ClearListSelection(HWND list);
void SelectListRow(HWND list, int row);
