#pragma once
// The missing-tool dialog (template 129): a modeless window owned by the main dialog, created
// hidden at start-up and shown when Start finds ffmpeg or MediaInfo missing. Close, the close
// box and Escape only hide it; it lives as long as the main window.
#include <cstdint>
#include <string>

#include "install/installer.h"
#include "ui/dialog_base.h"

class CInstallDlg : public CDialogBase {
 public:
  CInstallDlg();

  // Stores the mode and fills the message and the Install button's caption for it.
  void SetInstallMode(int32_t mode);
  void SetMessageText(const std::wstring& text);

  int32_t installMode = INSTALL_NONE;
  const int32_t uiLanguage;

 protected:
  void OnCommand(int id, int code, HWND control) override;
  void OnButtonInstall();
};
