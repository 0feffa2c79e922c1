#include "app/main_app.h"

#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>

#include "ui/main_dlg.h"

CMainApp theApp;

bool CMainApp::InitInstance() {
  // List views and the classic controls; drawing of 3-D controls is the system's own.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);

  CMainDlg dialog;
  dialog.DoModal(nullptr);  // its result does not matter; a failed creation ends the program
  return false;
}
