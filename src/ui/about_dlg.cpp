#include "ui/about_dlg.h"

#include "ui/control_ids.h"
#include "ui/hyperlink.h"

CAboutDlg::CAboutDlg() : CDialogBase(IDD_ABOUTBOX) {}

bool CAboutDlg::OnInitDialog() {
  MakeHyperlink(Item(IDC_HELP_LINK));
  return true;
}

void CAboutDlg::OnAnyMessage(UINT message, WPARAM w, LPARAM) { HelpLinkHook(message, w); }
