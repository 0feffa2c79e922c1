#include <windows.h>

#include <atomic>
#include <mutex>

#include "cli/run_interrupt.h"
#include "exec/command_interpreter.h"

namespace {
// The console calls its handlers on a thread of its own, so the stop is called from there.
std::atomic<bool> arrived{false};
std::mutex handlerLock;
std::function<void()>* current = nullptr;
int interrupts = 0;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  arrived = true;
  std::lock_guard<std::mutex> guard(handlerLock);
  if (current == nullptr) return FALSE;
  (*current)();
  // The second interrupt, or a console that closes and would end the process anyway: the
  // programs of the run are ended above; nothing more is waited for.
  if (++interrupts >= 2 || event == CTRL_CLOSE_EVENT) TerminateProcess(GetCurrentProcess(), kStoppedStatus);
  return TRUE;
}
}  // namespace

struct CRunInterrupt::CState {
  std::function<void()> onStop;
};

bool CRunInterrupt::Arrived() { return arrived; }

CRunInterrupt::CRunInterrupt(std::function<void()> onStop) : state_(new CState{std::move(onStop)}) {
  {
    std::lock_guard<std::mutex> guard(handlerLock);
    current = &state_->onStop;
    interrupts = 0;
  }
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

CRunInterrupt::~CRunInterrupt() {
  SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
  {
    std::lock_guard<std::mutex> guard(handlerLock);
    current = nullptr;
  }
  delete state_;
}
