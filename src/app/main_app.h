#pragma once
// The application object: starts the common controls, runs the main dialog modally and ends
// the program when it closes. It has no state of its own.
class CMainApp {
 public:
  // Always false: the program ends when the dialog has closed, no message loop follows.
  bool InitInstance();
};

// The one application object, constructed before the entry point runs.
extern CMainApp theApp;
