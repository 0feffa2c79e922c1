#include <windows.h>

#include "app/main_app.h"

// The program reads no arguments.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  theApp.InitInstance();
  return 0;
}
