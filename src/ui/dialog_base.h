#pragma once
// A dialog window made from a resource template of the program, without any framework: modal
// (our own message loop, so PreTranslateMessage sees queued messages before the dialog manager
// does) or modeless. Commands and notifications arrive by control id; controls are reached by
// id through one-line typed helpers.
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/texts.h"

// The interface language of the dialogs, decided once per dialog object: Korean labels when the
// user's interface language is Korean, English labels otherwise.
inline int32_t UserUiLanguage() { return UiLanguageFromLangId(GetUserDefaultUILanguage()); }

class CDialogBase {
 public:
  explicit CDialogBase(int templateId);
  virtual ~CDialogBase();
  CDialogBase(const CDialogBase&) = delete;
  CDialogBase& operator=(const CDialogBase&) = delete;

  // Creates the window modeless, owned by owner (may be null). False when it cannot be made.
  bool Create(HWND owner);
  // Creates the window, disables the owner and runs until EndDialog. Returns the value given
  // to EndDialog, or -1 when the window cannot be made. The window is gone afterwards.
  INT_PTR DoModal(HWND owner);
  // Ends a modal run; a modeless dialog is only hidden, so it can be shown again.
  void EndDialog(INT_PTR result);
  void DestroyWindow();

  HWND Hwnd() const { return hwnd_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

  void CheckButton(int id, bool checked) { CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED); }
  bool IsChecked(int id) const { return IsDlgButtonChecked(hwnd_, id) != BST_UNCHECKED; }
  void SetItemText(int id, const std::wstring& text) { SetDlgItemTextW(hwnd_, id, text.c_str()); }
  std::wstring GetItemText(int id) const;
  // Signed decimal, as the dialog manager writes it.
  void SetItemInt(int id, int value) { SetDlgItemInt(hwnd_, id, static_cast<UINT>(value), TRUE); }
  void EnableItem(int id, bool enable) { EnableWindow(Item(id), enable ? TRUE : FALSE); }
  bool IsItemEnabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  void ShowItem(int id, bool show) { ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE); }
  LRESULT SendItemMessage(int id, UINT message, WPARAM w, LPARAM l) const {
    return SendDlgItemMessageW(hwnd_, id, message, w, l);
  }
  void SetTitle(const std::wstring& text) { SetWindowTextW(hwnd_, text.c_str()); }

  // Handles one message taken from the thread's queue the way the modal loop does: the dialog
  // that the target window belongs to gets it first in PreTranslateMessage, then it is
  // translated and dispatched. Any message loop of the program may use it.
  static void ProcessQueuedMessage(MSG& msg);
  // The dialog object of one of our dialog windows, or null.
  static CDialogBase* FromHandle(HWND hwnd);

 protected:
  // The window and its controls exist; true lets the dialog manager set the focus.
  virtual bool OnInitDialog() { return true; }
  // The OK (1) and Cancel (2) commands: Enter, Escape, the close box.
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // Every other command, by control id and notification code.
  virtual void OnCommand(int id, int code, HWND control);
  // WM_NOTIFY by control id; true when handled, with result as the answer.
  virtual bool OnNotify(int id, NMHDR* header, LRESULT& result);
  // Any other message; true when handled, with result as the answer.
  virtual bool OnMessage(UINT message, WPARAM w, LPARAM l, LRESULT& result);
  // Sees every message that reaches the dialog procedure before it is handled; never consumes.
  virtual void OnAnyMessage(UINT message, WPARAM w, LPARAM l);
  virtual void OnDestroy() {}
  // A queued message for this dialog or one of its controls, before dispatch; true consumes
  // it. The default gives the dialog manager its keyboard handling.
  virtual bool PreTranslateMessage(MSG* msg);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM w, LPARAM l);
  INT_PTR HandleMessage(UINT message, WPARAM w, LPARAM l);

  int templateId_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  bool endRequested_ = false;
  INT_PTR modalResult_ = -1;
};
