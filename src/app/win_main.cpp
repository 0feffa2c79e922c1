#include <windows.h>

#include <cstdlib>

#include "app/main_app.h"
#include "exec/batch_worker.h"

// The program reads no arguments.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  theApp.InitInstance();
  // A run that the closed window left behind must not see the program's static objects (the
  // trace, the probe's lock, the program folder) destroyed under it: the program ends here
  // without their destructors. The command it was running goes on in its own console.
  if (BatchThreadsAlive() > 0) _exit(0);
  return 0;
}
