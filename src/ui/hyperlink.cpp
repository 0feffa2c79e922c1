#include "ui/hyperlink.h"

#include <shellapi.h>

#include <atomic>

#include "ui/control_ids.h"
#include "ui/gdi_handles.h"

namespace {

WNDPROC OriginalProc(HWND hwnd) {
  return reinterpret_cast<WNDPROC>(GetPropW(hwnd, kHyperlinkOriginalProcProp));
}

// The parent's replaced procedure, read from its property once while the same parent gets
// message after message: Wine asks its server for every property read, and the parent (the main
// window) gets a notification for each row its file list takes. A window's procedure runs on
// the window's own thread.
thread_local HWND lastParent = nullptr;
thread_local WNDPROC lastParentProc = nullptr;

WNDPROC ParentOriginalProc(HWND parent) {
  if (parent != lastParent) {
    lastParentProc = OriginalProc(parent);
    lastParent = parent;
  }
  return lastParentProc;
}

LRESULT CallOriginal(WNDPROC prev, HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  return prev ? CallWindowProcW(prev, hwnd, message, w, l) : DefWindowProcW(hwnd, message, w, l);
}

void InstallProc(HWND hwnd, WNDPROC proc) {
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

void ShowFont(HWND control, const wchar_t* fontProp) {
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetPropW(control, fontProp)), FALSE);
  InvalidateRect(control, nullptr, FALSE);
}

}  // namespace

void MakeHyperlink(HWND control) {
  if (!control) return;
  HWND parent = GetParent(control);
  if (parent) {
    auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent, GWLP_WNDPROC));
    // A parent is taken over once, however many links it holds.
    if (current != &HyperlinkParentProc) {
      SetPropW(parent, kHyperlinkOriginalProcProp, reinterpret_cast<HANDLE>(current));
      InstallProc(parent, &HyperlinkParentProc);
    }
  }

  // Clicks on a static text reach the parent only with SS_NOTIFY.
  SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | SS_NOTIFY);

  auto controlProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC));
  SetPropW(control, kHyperlinkOriginalProcProp, reinterpret_cast<HANDLE>(controlProc));
  InstallProc(control, &HyperlinkStaticProc);

  auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  SetPropW(control, kHyperlinkOriginalFontProp, font);

  LOGFONTW description{};
  // A control without a font of its own draws with the system font.
  HGDIOBJ source = font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT);
  if (GetObjectW(source, sizeof(description), &description) != 0) {
    description.lfUnderline = TRUE;
    SetPropW(control, kHyperlinkUnderlineFontProp, CreateFontIndirectW(&description));
  }

  SetPropW(control, kHyperlinkFromStaticProp, reinterpret_cast<HANDLE>(1));
}

LRESULT CALLBACK HyperlinkParentProc(HWND parent, UINT message, WPARAM w, LPARAM l) {
  WNDPROC prev = ParentOriginalProc(parent);
  switch (message) {
    case WM_DESTROY:
      // Its handle may come back for another window.
      lastParent = nullptr;
      InstallProc(parent, prev);
      RemovePropW(parent, kHyperlinkOriginalProcProp);
      return CallOriginal(prev, parent, message, w, l);
    case WM_CTLCOLORSTATIC: {
      auto child = reinterpret_cast<HWND>(l);
      if (GetPropW(child, kHyperlinkFromStaticProp) == nullptr) break;
      // The parent chooses the background brush; the link only changes the text colour.
      LRESULT brush = CallOriginal(prev, parent, message, w, l);
      SetTextColor(reinterpret_cast<HDC>(w), kHyperlinkColour);
      return brush;
    }
    default:
      break;
  }
  return CallOriginal(prev, parent, message, w, l);
}

LRESULT CALLBACK HyperlinkStaticProc(HWND control, UINT message, WPARAM w, LPARAM l) {
  WNDPROC prev = OriginalProc(control);
  switch (message) {
    case WM_DESTROY: {
      InstallProc(control, prev);
      RemovePropW(control, kHyperlinkOriginalProcProp);
      SendMessageW(control, WM_SETFONT,
                   reinterpret_cast<WPARAM>(GetPropW(control, kHyperlinkOriginalFontProp)), FALSE);
      RemovePropW(control, kHyperlinkOriginalFontProp);
      // The underline font belongs to the link and goes with it.
      CFontHandle underline(static_cast<HFONT>(RemovePropW(control, kHyperlinkUnderlineFontProp)));
      RemovePropW(control, kHyperlinkFromStaticProp);
      return CallOriginal(prev, control, message, w, l);
    }
    case WM_SETCURSOR: {
      HCURSOR cursor = LoadCursorW(nullptr, IDC_HAND);
      if (!cursor) cursor = LoadCursorW(nullptr, IDC_ARROW);
      SetCursor(cursor);
      return TRUE;
    }
    case WM_MOUSEMOVE:
      if (GetCapture() != control) {
        ShowFont(control, kHyperlinkUnderlineFontProp);
        SetCapture(control);
      } else {
        // Unsigned on purpose: a pointer left of or above the control lands far right or
        // below, which is outside as well.
        POINT point{static_cast<LONG>(LOWORD(l)), static_cast<LONG>(HIWORD(l))};
        ClientToScreen(control, &point);
        RECT rect{};
        GetWindowRect(control, &rect);
        if (!PtInRect(&rect, point)) {
          ShowFont(control, kHyperlinkOriginalFontProp);
          ReleaseCapture();
        }
      }
      break;
    default:
      break;
  }
  return CallOriginal(prev, control, message, w, l);
}

namespace {

void ShellOpen(const wchar_t* url) { ShellExecuteW(nullptr, L"open", url, nullptr, nullptr, SW_SHOWNORMAL); }

std::atomic<HelpPageOpener> currentOpener{nullptr};

}  // namespace

HelpPageOpener SetHelpPageOpener(HelpPageOpener opener) { return currentOpener.exchange(opener); }

void OpenHelpPage() {
  HelpPageOpener opener = currentOpener.load();
  (opener ? opener : &ShellOpen)(kHelpPageUrl);
}

void HelpLinkHook(UINT message, WPARAM w) {
  // Only a command carries a click: another message whose first parameter happens to read
  // 1052 (a timer id, a device context) must not start the browser.
  if (message != WM_COMMAND) return;
  if (HIWORD(w) == 0 && LOWORD(w) == IDC_HELP_LINK) OpenHelpPage();
}
