#pragma once
// The About box (template 100): the program's name and version and a link to its site. Opened
// modally from the "?" button and from the system menu.
#include "ui/dialog_base.h"

class CAboutDlg : public CDialogBase {
 public:
  CAboutDlg();

 protected:
  bool OnInitDialog() override;
  void OnAnyMessage(UINT message, WPARAM w, LPARAM l) override;
};
