#include "ui/countdown_dlg.h"

#include "ui/control_ids.h"

namespace {
constexpr UINT_PTR kSecondTimer = 1;
constexpr UINT kSecondMs = 1000;
}  // namespace

CCountdownDlg::CCountdownDlg(TextId text, int32_t uiLanguage, int seconds)
    : CDialogBase(IDD_COUNTDOWN), text_(text), uiLanguage_(uiLanguage), left_(seconds) {}

bool CCountdownDlg::OnInitDialog() {
  SetTitle(Text(TXT_QUESTION_CAPTION, uiLanguage_));
  SetItemText(IDCANCEL, Text(TXT_COUNTDOWN_CANCEL, uiLanguage_));
  ShowSecondsLeft();
  if (left_ <= 0) {
    EndDialog(IDOK);
    return true;
  }
  SetTimer(Hwnd(), kSecondTimer, kSecondMs, nullptr);
  return true;
}

bool CCountdownDlg::OnMessage(UINT message, WPARAM w, LPARAM, LRESULT&) {
  if (message != WM_TIMER || w != kSecondTimer) return false;
  --left_;
  ShowSecondsLeft();
  if (left_ <= 0) {
    KillTimer(Hwnd(), kSecondTimer);
    EndDialog(IDOK);
  }
  return true;
}

void CCountdownDlg::ShowSecondsLeft() {
  SetItemText(IDC_COUNTDOWN_TEXT, FormatText(text_, uiLanguage_, left_));
}
