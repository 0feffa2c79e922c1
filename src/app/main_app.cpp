// The application: the object that runs the main dialog, and the program's entry point.
#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>

#include <cstdlib>

#include "batch/batch_worker.h"
#include "batch/gpu_check.h"
#include "ui/main_dlg.h"

// The application object: starts the common controls, runs the main dialog modally and ends
// the program when it closes. It has no state of its own.
class CMainApp {
 public:
  // Always false: the program ends when the dialog has closed, no message loop follows.
  bool InitInstance();
};

// The one application object, constructed before the entry point runs.
CMainApp theApp;

bool CMainApp::InitInstance() {
  // List views, the run's progress bar and the classic controls; drawing of 3-D controls is the
  // system's own.
  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  CMainDlg dialog;
  dialog.DoModal(nullptr);  // its result does not matter; a failed creation ends the program
  return false;
}

// The program reads no arguments.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  theApp.InitInstance();
  // A run that the closed window left behind must not see the program's static objects (the
  // trace, the probe's lock, the program folder) destroyed under it: the program ends here
  // without their destructors. The command it was running goes on in its own console. So does
  // a GPU check that Start had begun (its test encode ends within a second or its time limit).
  if (BatchThreadsAlive() > 0 || GpuChecksRunning() > 0) _exit(0);
  return 0;
}
