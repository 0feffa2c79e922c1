#include "ui/ui_test_support.h"

#include <cstdlib>
#include <vector>

#include "ui/dialog_base.h"
#include "ui/help_link.h"
#include "ui/ui_language.h"

namespace {

constexpr const wchar_t* kStoreKey = L"Software\\Kestrune";

struct CModalWatch {
  std::wstring caption;
  const std::function<void(HWND)>* inspect = nullptr;
  bool seen = false;
};
CModalWatch* currentWatch = nullptr;

struct CWindowSearch {
  const std::wstring* caption;
  HWND found;
};

BOOL CALLBACK FindByCaption(HWND hwnd, LPARAM l) {
  auto* search = reinterpret_cast<CWindowSearch*>(l);
  if (IsWindowVisible(hwnd) && WindowText(hwnd) == *search->caption) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK OnWatchTimer(HWND, UINT, UINT_PTR, DWORD) {
  CModalWatch* watch = currentWatch;
  if (!watch || watch->seen) return;
  CWindowSearch search{&watch->caption, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), &FindByCaption, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return;
  watch->seen = true;
  (*watch->inspect)(search.found);
  if (IsWindow(search.found)) PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

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

void ClearStoredPosition() { RegDeleteKeyW(HKEY_LOCAL_MACHINE, kStoreKey); }

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

void StorePosition(uint32_t x, uint32_t y) {
  StoreValue(L"win_x", x);
  StoreValue(L"win_y", y);
}

std::optional<uint32_t> StoredValue(const wchar_t* name) {
  DWORD data = 0;
  DWORD size = sizeof(data);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kStoreKey, name, RRF_RT_REG_DWORD, nullptr, &data, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return data;
}

DWORD StoredType(const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kStoreKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  DWORD type = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) type = 0;
  RegCloseKey(key);
  return type;
}

bool WhileModalDialogOpen(const std::wstring& caption, const std::function<void()>& open,
                          const std::function<void(HWND)>& inspect) {
  CModalWatch watch{caption, &inspect, false};
  currentWatch = &watch;
  UINT_PTR timer = SetTimer(nullptr, 0, 10, &OnWatchTimer);
  open();
  KillTimer(nullptr, timer);
  currentWatch = nullptr;
  return watch.seen;
}

CHelpPageCounter::CHelpPageCounter() {
  helpCount = 0;
  helpUrl.clear();
  SetHelpPageOpener(&CountHelpPage);
}

CHelpPageCounter::~CHelpPageCounter() { SetHelpPageOpener(nullptr); }

int CHelpPageCounter::Count() const { return helpCount; }

std::wstring CHelpPageCounter::LastUrl() const { return helpUrl; }
