#include "ui/text_fit.h"

#include <commctrl.h>

#include "ui/ui_test_support.h"

namespace {

// Pixels at the display's resolution for a length given at 96 DPI.
int Scaled(HDC dc, int pixelsAt96) { return MulDiv(pixelsAt96, GetDeviceCaps(dc, LOGPIXELSX), 96); }

// The parts a control draws beside its text, at 96 DPI. A check box's box is 13 pixels, and
// the themed controls leave 6 pixels before the text (the classic ones half a digit's width,
// which is less). A push button's frame and focus rectangle take 4 pixels a side; a group
// box's caption starts 10 pixels in and keeps 2 pixels clear on either side, and the frame
// must still show to its right; an edit box's caret needs a pixel after the text; a drop-down
// list keeps 2 pixels around its choice.
constexpr int kBoxAndGap = 13 + 6;
constexpr int kPushMargins = 2 * 4;
constexpr int kGroupMargins = 10 + 2 * 2 + 4;
constexpr int kCaret = 1;
constexpr int kChoiceMargins = 2 * 2;

bool IsClass(HWND hwnd, const wchar_t* name) { return lstrcmpiW(WindowClass(hwnd).c_str(), name) == 0; }

// The control's font selected into a device context of its own for as long as this lives.
class CControlDC {
 public:
  explicit CControlDC(HWND control) : control_(control), dc_(GetDC(control)) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    old_ = SelectObject(dc_, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  }
  ~CControlDC() {
    SelectObject(dc_, old_);
    ReleaseDC(control_, dc_);
  }
  CControlDC(const CControlDC&) = delete;
  CControlDC& operator=(const CControlDC&) = delete;
  HDC Get() const { return dc_; }
  int Width(const std::wstring& text) const {
    SIZE size{};
    GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
  }
  int LineHeight() const {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc_, &metrics);
    return metrics.tmHeight;
  }

 private:
  HWND control_;
  HDC dc_;
  HGDIOBJ old_;
};

int ClientWidth(HWND control) {
  RECT client{};
  GetClientRect(control, &client);
  return client.right - client.left;
}

void Check(std::vector<CTextMisfit>& misfits, HWND control, const std::wstring& text, int needed,
           int available) {
  if (needed > available)
    misfits.push_back(CTextMisfit{static_cast<short>(GetDlgCtrlID(control)), text, needed, available});
}

void CheckLabel(std::vector<CTextMisfit>& misfits, HWND control, const std::wstring& text) {
  LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & SS_TYPEMASK;
  if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP) return;
  CControlDC dc(control);
  RECT client{};
  GetClientRect(control, &client);
  // A label of one line must hold the text on it; a taller one wraps it onto its lines.
  if (type == SS_LEFTNOWORDWRAP || client.bottom < 2 * dc.LineHeight()) {
    Check(misfits, control, text, dc.Width(text), client.right);
    return;
  }
  RECT wrapped{0, 0, client.right, 0};
  DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &wrapped, DT_CALCRECT | DT_WORDBREAK);
  Check(misfits, control, text, wrapped.bottom, client.bottom);
}

void CheckButton(std::vector<CTextMisfit>& misfits, HWND control, const std::wstring& text) {
  CControlDC dc(control);
  int width = dc.Width(text);
  switch (GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      Check(misfits, control, text, width + Scaled(dc.Get(), kBoxAndGap), ClientWidth(control));
      break;
    case BS_GROUPBOX:
      Check(misfits, control, text, width + Scaled(dc.Get(), kGroupMargins), ClientWidth(control));
      break;
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      Check(misfits, control, text, width + Scaled(dc.Get(), kPushMargins), ClientWidth(control));
      break;
    default:
      break;
  }
}

void CheckEdit(std::vector<CTextMisfit>& misfits, HWND control, const std::wstring& text) {
  if (GetWindowLongPtrW(control, GWL_STYLE) & ES_MULTILINE) return;
  CControlDC dc(control);
  DWORD margins = static_cast<DWORD>(SendMessageW(control, EM_GETMARGINS, 0, 0));
  int needed = dc.Width(text) + LOWORD(margins) + HIWORD(margins) + Scaled(dc.Get(), kCaret);
  Check(misfits, control, text, needed, ClientWidth(control));
}

void CheckChoices(std::vector<CTextMisfit>& misfits, HWND control) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (!GetComboBoxInfo(control, &info)) return;
  CControlDC dc(control);
  int available = info.rcItem.right - info.rcItem.left;
  int rows = static_cast<int>(SendMessageW(control, CB_GETCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    int length = static_cast<int>(SendMessageW(control, CB_GETLBTEXTLEN, row, 0));
    if (length <= 0) continue;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(control, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    Check(misfits, control, text, dc.Width(text) + Scaled(dc.Get(), kChoiceMargins), available);
  }
}

}  // namespace

std::vector<CTextMisfit> FindTextMisfits(HWND dialog) {
  std::vector<CTextMisfit> misfits;
  for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
    if (!(GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE)) continue;
    if (IsClass(control, WC_COMBOBOXW)) {
      CheckChoices(misfits, control);
      continue;
    }
    std::wstring text = WindowText(control);
    if (text.empty()) continue;
    if (IsClass(control, WC_STATICW))
      CheckLabel(misfits, control, text);
    else if (IsClass(control, WC_BUTTONW))
      CheckButton(misfits, control, text);
    else if (IsClass(control, WC_EDITW))
      CheckEdit(misfits, control, text);
  }
  return misfits;
}
