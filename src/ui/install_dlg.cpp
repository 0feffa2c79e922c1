#include "ui/install_dlg.h"

#include "base/message.h"
#include "ui/control_ids.h"
#include "ui/dialog_base.h"

CInstallDlg::CInstallDlg() : CDialogBase(IDD_INSTALL_DIALOG), uiLanguage(UserUiLanguage()) {}

void CInstallDlg::SetInstallMode(int32_t mode) {
  installMode = mode;
  if (mode != INSTALL_FFMPEG && mode != INSTALL_MEDIAINFO) return;
  SetMessageText(InstallMessageText(mode, uiLanguage));
  // Only the ffmpeg variant sets the caption; the MediaInfo one keeps whatever it shows.
  std::wstring caption = InstallButtonCaption(mode, uiLanguage);
  if (!caption.empty()) SetItemText(IDC_INSTALL_BUTTON, caption);
}

void CInstallDlg::SetMessageText(const std::wstring& text) { SetItemText(IDC_INSTALL_MESSAGE, text); }

void CInstallDlg::OnCommand(int id, int code, HWND) {
  if (id == IDC_INSTALL_BUTTON && code == BN_CLICKED) OnButtonInstall();
}

// Blocks the window while it downloads, checks, joins and unpacks; the outcome is the report,
// in the program's own message box (captioned with its name), with the reason below it when
// the install was refused.
void CInstallDlg::OnButtonInstall() {
  CInstallRefusal refusal;
  std::wstring outcome = RunInstall(installMode, &refusal);
  if (outcome.empty()) return;
  std::wstring reason = InstallRefusalText(refusal, uiLanguage);
  ShowProgramMessage(L"%s", reason.empty() ? outcome : outcome + L"\n\n" + reason);
}
