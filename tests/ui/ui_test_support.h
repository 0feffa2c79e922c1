#pragma once
// Helpers of the window tests: pumping the queue the way the program does, reading windows,
// the real registry values of the window position, and watching a modal dialog from inside
// its own loop.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Handles every pending message of this thread as the program's own loops do.
void PumpMessages();

std::wstring WindowText(HWND hwnd);
std::wstring WindowClass(HWND hwnd);
// A rectangle given in dialog units, in pixels of dialog's client area.
RECT DialogUnitsToPixels(HWND dialog, int x, int y, int width, int height);
// A child window's rectangle in its dialog's client coordinates.
RECT ChildRect(HWND dialog, HWND child);
// The face name and height of the font a window draws with.
LOGFONTW WindowFont(HWND hwnd);

// The language the run expects: KESTRUNE_UI_LANGUAGE=ko or en (set by run-ui-tests.sh),
// else whatever the system says.
bool ExpectKorean();

// The window position values under HKEY_LOCAL_MACHINE\Software\Kestrune, written and read
// with the registry functions themselves, independently of the program's store. Clearing also
// clears the same key below HKEY_CURRENT_USER, where an ordinary account keeps them.
void ClearStoredPosition();
void StoreValue(const wchar_t* name, uint32_t value);
// A text value (REG_SZ), as something else might have left under the key.
void StoreText(const wchar_t* name, const std::wstring& text);
void StorePosition(uint32_t x, uint32_t y);
std::optional<uint32_t> StoredValue(const wchar_t* name);
// A value under HKEY_CURRENT_USER\Software\Kestrune.
std::optional<uint32_t> StoredUserValue(const wchar_t* name);
// REG_DWORD, or 0 when the value is missing.
DWORD StoredType(const wchar_t* name);

// Pumps this thread's messages until condition() holds or timeoutMs have passed; the
// condition's last answer.
bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs);

// Sends the dialog a WM_DROPFILES of these paths, built in this process the way the shell
// builds one (a DROPFILES block of wide paths); the dialog releases it.
void DropFiles(HWND dialog, const std::vector<std::wstring>& paths);

// Where a click on a list row lands.
enum class RowSpot { TEXT, CHECK_BOX };
// Clicks row of a report list view with the mouse (button down and up, as the mouse sends
// them) and pumps until the list and the dialog have handled it. False when the spot is not on
// that row. A row past the last one clicks the empty space below the rows.
bool ClickListRow(HWND list, int row, RowSpot spot = RowSpot::TEXT);

// Calls open(), which is expected to run a modal dialog on this thread; while that dialog's
// loop runs, act(dialog) is called once for the first visible window of this thread that
// match() accepts; act must end the dialog. True when such a dialog was seen.
bool WhileDialogOpen(const std::function<bool(HWND)>& match, const std::function<void()>& open,
                     const std::function<void(HWND)>& act);

// Calls open(), which is expected to run a modal dialog captioned caption on this thread;
// while that dialog's loop runs, inspect(dialog) is called once, then the dialog is sent OK.
// True when the dialog was seen.
bool WhileModalDialogOpen(const std::wstring& caption, const std::function<void()>& open,
                          const std::function<void(HWND)>& inspect);

// Counts the help-page openings instead of starting a browser, while it lives.
class CHelpPageCounter {
 public:
  CHelpPageCounter();
  ~CHelpPageCounter();
  CHelpPageCounter(const CHelpPageCounter&) = delete;
  CHelpPageCounter& operator=(const CHelpPageCounter&) = delete;
  int Count() const;
  std::wstring LastUrl() const;
};
