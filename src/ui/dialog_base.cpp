#include "ui/dialog_base.h"

#include <vector>

namespace {

// Marks our own dialog windows; DWLP_USER alone could belong to any dialog.
constexpr const wchar_t* kDialogObjectProp = L"Kestrune_Dialog_Object";

// Messages whose answer a dialog procedure returns directly instead of through
// DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

}  // namespace

CDialogBase::CDialogBase(int templateId) : templateId_(templateId) {}

CDialogBase::~CDialogBase() { DestroyWindow(); }

bool CDialogBase::Create(HWND owner) {
  if (hwnd_) return true;
  endRequested_ = false;
  HWND hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                                 &CDialogBase::DialogProc, reinterpret_cast<LPARAM>(this));
  return hwnd != nullptr;
}

INT_PTR CDialogBase::DoModal(HWND owner) {
  modal_ = true;
  modalResult_ = -1;
  if (!Create(owner)) {
    modal_ = false;
    return -1;
  }
  bool disabledOwner = owner && IsWindowEnabled(owner);
  if (disabledOwner) EnableWindow(owner, FALSE);
  if (!endRequested_) ShowWindow(hwnd_, SW_SHOWNORMAL);
  MSG msg;
  while (!endRequested_ && hwnd_) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // The program is quitting: leave the quit for the outer loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    ProcessQueuedMessage(msg);
  }
  // The owner is enabled before this window goes, so activation returns to it.
  if (disabledOwner) EnableWindow(owner, TRUE);
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
  DestroyWindow();
  modal_ = false;
  return modalResult_;
}

void CDialogBase::EndDialog(INT_PTR result) {
  if (!hwnd_) return;
  if (modal_) {
    modalResult_ = result;
    endRequested_ = true;
    PostMessageW(hwnd_, WM_NULL, 0, 0);  // wakes the loop if it is waiting
  } else {
    ShowWindow(hwnd_, SW_HIDE);
  }
}

void CDialogBase::DestroyWindow() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

std::wstring CDialogBase::GetItemText(int id) const {
  HWND item = Item(id);
  int length = GetWindowTextLengthW(item);
  if (length <= 0) return std::wstring();
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(item, buffer.data(), length + 1);
  return std::wstring(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void CDialogBase::ProcessQueuedMessage(MSG& msg) {
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  CDialogBase* dialog = root ? FromHandle(root) : nullptr;
  if (dialog && dialog->PreTranslateMessage(&msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

CDialogBase* CDialogBase::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<CDialogBase*>(GetPropW(hwnd, kDialogObjectProp)) : nullptr;
}

void CDialogBase::OnCommand(int, int, HWND) {}

bool CDialogBase::OnNotify(int, NMHDR*, LRESULT&) { return false; }

bool CDialogBase::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void CDialogBase::OnAnyMessage(UINT, WPARAM, LPARAM) {}

bool CDialogBase::PreTranslateMessage(MSG* msg) { return hwnd_ && IsDialogMessageW(hwnd_, msg) != FALSE; }

INT_PTR CALLBACK CDialogBase::DialogProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  CDialogBase* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<CDialogBase*>(l);
    self->hwnd_ = hwnd;
    SetPropW(hwnd, kDialogObjectProp, self);
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  } else {
    // This procedure belongs to our dialogs only, so their DWLP_USER is ours. A property would
    // do as well, but Wine asks its server for one, and a list sends a notification for each
    // row it takes.
    self = reinterpret_cast<CDialogBase*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  // Messages before WM_INITDIALOG (WM_SETFONT) go to the dialog manager.
  if (!self) return FALSE;
  return self->HandleMessage(message, w, l);
}

INT_PTR CDialogBase::HandleMessage(UINT message, WPARAM w, LPARAM l) {
  OnAnyMessage(message, w, l);
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND: {
      int id = LOWORD(w);
      int code = HIWORD(w);
      if (id == IDOK && code == BN_CLICKED) {
        OnOK();
      } else if (id == IDCANCEL && code == BN_CLICKED) {
        OnCancel();
      } else {
        OnCommand(id, code, reinterpret_cast<HWND>(l));
      }
      return TRUE;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(l);
      LRESULT result = 0;
      if (!header || !OnNotify(static_cast<int>(header->idFrom), header, result)) return FALSE;
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_DESTROY:
      // FALSE leaves the dialog manager its own clean-up as well.
      OnDestroy();
      return FALSE;
    case WM_NCDESTROY: {
      RemovePropW(hwnd_, kDialogObjectProp);
      SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
      hwnd_ = nullptr;
      return FALSE;
    }
    default: {
      LRESULT result = 0;
      if (!OnMessage(message, w, l, result)) return FALSE;
      if (AnswersDirectly(message)) return static_cast<INT_PTR>(result);
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
      return TRUE;
    }
  }
}
