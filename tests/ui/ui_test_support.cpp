#include "ui/ui_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/message.h"
#include "base/text.h"
#include "ui/dialog_base.h"
#include "ui/hyperlink.h"
#include "ui/dialog_base.h"

namespace {

constexpr const wchar_t* kStoreKey = L"Software\\Kestrune";

struct CModalWatch {
  const std::function<bool(HWND)>* match = nullptr;
  const std::function<void(HWND)>* act = nullptr;
  bool seen = false;
};
CModalWatch* currentWatch = nullptr;

struct CWindowSearch {
  const std::function<bool(HWND)>* match;
  HWND found;
};

BOOL CALLBACK FindMatching(HWND hwnd, LPARAM l) {
  auto* search = reinterpret_cast<CWindowSearch*>(l);
  if (IsWindowVisible(hwnd) && (*search->match)(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK OnWatchTimer(HWND, UINT, UINT_PTR, DWORD) {
  CModalWatch* watch = currentWatch;
  if (!watch || watch->seen) return;
  CWindowSearch search{watch->match, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), &FindMatching, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return;
  watch->seen = true;
  (*watch->act)(search.found);
}

// The point of a row's spot in the list's client area; false when there is none.
bool RowPoint(HWND list, int row, RowSpot spot, POINT& point) {
  int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  if (row >= count) {
    // Below the last row (or at the top of an empty list).
    RECT client{};
    GetClientRect(list, &client);
    RECT last{LVIR_BOUNDS, 0, 0, 0};
    int bottom = count > 0 && SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(count - 1),
                                           reinterpret_cast<LPARAM>(&last))
                     ? last.bottom
                     : 0;
    point = POINT{10, bottom + 4};
    return point.y < client.bottom;
  }
  RECT bounds{LVIR_BOUNDS, 0, 0, 0};
  if (!SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds))) {
    return false;
  }
  LONG middle = (bounds.top + bounds.bottom) / 2;
  UINT wanted = LVHT_ONITEMLABEL;
  if (spot == RowSpot::CHECK_BOX) {
    // The state image sits left of the (empty) icon; take the first x the list says is on it.
    wanted = LVHT_ONITEMSTATEICON;
    for (LONG x = bounds.left; x < bounds.left + 40; ++x) {
      LVHITTESTINFO hit{};
      hit.pt = POINT{x, middle};
      if (SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) == row && (hit.flags & wanted)) {
        point = POINT{x + 3, middle};
        break;
      }
    }
  } else {
    RECT label{LVIR_LABEL, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label));
    point = POINT{label.left + 12, middle};
  }
  LVHITTESTINFO hit{};
  hit.pt = point;
  return SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) == row && (hit.flags & wanted);
}

// A message box that no test expects would wait for a click that never comes; outside a
// MessageCapture every message fails the test instead.
class CNoMessageBoxes : public ::testing::Environment {
 public:
  void SetUp() override {
    SetMessageSink(
        [](const std::wstring& text) { ADD_FAILURE() << "unexpected message: " << WideToUtf8(text); });
  }
  void TearDown() override { SetMessageSink(nullptr); }
};
::testing::Environment* const noMessageBoxes = ::testing::AddGlobalTestEnvironment(new CNoMessageBoxes);

int helpCount = 0;
std::wstring helpUrl;

void CountHelpPage(const wchar_t* url) {
  ++helpCount;
  helpUrl = url;
}

}  // namespace

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) CDialogBase::ProcessQueuedMessage(msg);
}

std::wstring WindowText(HWND hwnd) {
  int length = GetWindowTextLengthW(hwnd);
  std::vector<wchar_t> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  int copied = GetWindowTextW(hwnd, buffer.data(), static_cast<int>(buffer.size()));
  return std::wstring(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

std::wstring WindowClass(HWND hwnd) {
  wchar_t buffer[256] = {0};
  int length = GetClassNameW(hwnd, buffer, 256);
  return std::wstring(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

RECT DialogUnitsToPixels(HWND dialog, int x, int y, int width, int height) {
  // The dialog manager maps the corner and the size each on its own, so does this.
  RECT mapped{x, y, width, height};
  MapDialogRect(dialog, &mapped);
  return RECT{mapped.left, mapped.top, mapped.left + mapped.right, mapped.top + mapped.bottom};
}

RECT ChildRect(HWND dialog, HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LOGFONTW WindowFont(HWND hwnd) {
  LOGFONTW font{};
  auto handle = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  if (handle) GetObjectW(handle, sizeof(font), &font);
  return font;
}

bool ExpectKorean() {
  const char* language = std::getenv("KESTRUNE_UI_LANGUAGE");
  if (language && std::string(language) == "ko") return true;
  if (language && std::string(language) == "en") return false;
  return UserUiLanguage() == 18;
}

void ClearStoredPosition() {
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kStoreKey);
  RegDeleteKeyW(HKEY_CURRENT_USER, kStoreKey);
}

void StoreValue(const wchar_t* name, uint32_t value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kStoreKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  DWORD data = value;
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
  RegCloseKey(key);
}

void StoreText(const wchar_t* name, const std::wstring& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kStoreKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

void StorePosition(uint32_t x, uint32_t y) {
  StoreValue(L"win_x", x);
  StoreValue(L"win_y", y);
}

namespace {
std::optional<uint32_t> StoredValueBelow(HKEY root, const wchar_t* name) {
  DWORD data = 0;
  DWORD size = sizeof(data);
  if (RegGetValueW(root, kStoreKey, name, RRF_RT_REG_DWORD, nullptr, &data, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return data;
}
}  // namespace

std::optional<uint32_t> StoredValue(const wchar_t* name) {
  return StoredValueBelow(HKEY_LOCAL_MACHINE, name);
}

std::optional<uint32_t> StoredUserValue(const wchar_t* name) {
  return StoredValueBelow(HKEY_CURRENT_USER, name);
}

DWORD StoredType(const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kStoreKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  DWORD type = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) type = 0;
  RegCloseKey(key);
  return type;
}

bool WhileDialogOpen(const std::function<bool(HWND)>& match, const std::function<void()>& open,
                     const std::function<void(HWND)>& act) {
  CModalWatch watch{&match, &act, false};
  currentWatch = &watch;
  UINT_PTR timer = SetTimer(nullptr, 0, 10, &OnWatchTimer);
  open();
  KillTimer(nullptr, timer);
  currentWatch = nullptr;
  return watch.seen;
}

bool WhileModalDialogOpen(const std::wstring& caption, const std::function<void()>& open,
                          const std::function<void(HWND)>& inspect) {
  return WhileDialogOpen([&](HWND hwnd) { return WindowText(hwnd) == caption; }, open,
                         [&](HWND hwnd) {
                           inspect(hwnd);
                           if (IsWindow(hwnd))
                             PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                         });
}

bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    PumpMessages();
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return condition();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

void DropFiles(HWND dialog, const std::vector<std::wstring>& paths) {
  size_t chars = 1;  // the empty path that ends the list
  for (const std::wstring& path : paths) chars += path.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  auto* text = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES));
  for (const std::wstring& path : paths) {
    std::memcpy(text, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    text += path.size() + 1;
  }
  *text = L'\0';
  GlobalUnlock(memory);
  SendMessageW(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  PumpMessages();
}

bool ClickListRow(HWND list, int row, RowSpot spot) {
  POINT point{};
  if (!RowPoint(list, row, spot, point)) return false;
  LPARAM at = MAKELPARAM(point.x, point.y);
  PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(list, WM_LBUTTONUP, 0, at);
  // The dialog takes a check list's click up in a message of its own, after the list.
  PumpMessages();
  PumpMessages();
  return true;
}

CHelpPageCounter::CHelpPageCounter() {
  helpCount = 0;
  helpUrl.clear();
  SetHelpPageOpener(&CountHelpPage);
}

CHelpPageCounter::~CHelpPageCounter() { SetHelpPageOpener(nullptr); }

int CHelpPageCounter::Count() const { return helpCount; }

std::wstring CHelpPageCounter::LastUrl() const { return helpUrl; }
