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
// Set once the run the interrupt guards is over, its partial outputs removed.
HANDLE runOver = CreateEventW(nullptr, TRUE, FALSE, nullptr);

// Windows ends a process 5 s after its console closed (or the session ends), or at once when
// the handler returns; the run has a little less than that to end what it started and remove
// what they had written.
constexpr DWORD kClosingWaitMillis = 4500;

bool IsClosing(DWORD event) {
  return event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
  const bool closing = IsClosing(event);
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && !closing) return FALSE;
  arrived = true;
  {
    std::lock_guard<std::mutex> guard(handlerLock);
    if (current == nullptr) return FALSE;
    (*current)();
    // The second interrupt: the programs of the run are ended above; nothing more is waited for.
    if (!closing) {
      if (++interrupts >= 2) TerminateProcess(GetCurrentProcess(), kStoppedStatus);
      return TRUE;
    }
  }
  // The console is going, and this process with it: the stop above has ended the run's
  // programs, and the run removes their partial outputs as it ends, as after a Ctrl-C. The
  // process ends when the run has, or when the time Windows allows is nearly over.
  WaitForSingleObject(runOver, kClosingWaitMillis);
  TerminateProcess(GetCurrentProcess(), kStoppedStatus);
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
  ResetEvent(runOver);
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

CRunInterrupt::~CRunInterrupt() {
  // First, so that a handler waiting for the run's end lets the process go: the handler may
  // hold the console's own lock, which the removal of the handler below would wait for.
  SetEvent(runOver);
  SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
  {
    std::lock_guard<std::mutex> guard(handlerLock);
    current = nullptr;
  }
  delete state_;
}
