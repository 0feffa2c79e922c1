#pragma once
// While it lives, the user's interrupt stops the run instead of ending the process: on POSIX
// SIGINT (Ctrl-C) and SIGTERM, on Windows Ctrl-C, Ctrl-Break and the closing of the console.
// The first one calls onStop, on a thread of its own (never inside a signal handler: the POSIX
// handler only writes to a pipe that this thread reads). A second one calls onStop again, which
// ends whatever the run still has running, and ends the process at once with kStoppedStatus.
// A console that closes (or a session that ends) on Windows ends the process a few seconds
// later whatever it does: there onStop is called and the process ends with kStoppedStatus as
// soon as this object is destroyed, or just before Windows would end it. So it must live until
// the run has removed what its stopped programs had written.
#include <functional>

class CRunInterrupt {
 public:
  explicit CRunInterrupt(std::function<void()> onStop);
  // Gives the signals back their earlier handling.
  ~CRunInterrupt();
  CRunInterrupt(const CRunInterrupt&) = delete;
  CRunInterrupt& operator=(const CRunInterrupt&) = delete;

  // Whether an interrupt has come since the process started (any thread). A program of the run
  // may end by the same Ctrl-C before onStop has been called: its status is then the stop's.
  static bool Arrived();

  struct CState;

 private:
  CState* state_ = nullptr;
};
