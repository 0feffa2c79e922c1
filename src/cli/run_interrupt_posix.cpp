#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <thread>

#include "cli/run_interrupt.h"
#include "exec/command_interpreter.h"

namespace {
// What the handler may touch: a lock-free flag and a descriptor, both set before it is installed.
std::atomic<bool> arrived{false};
int wakeWrite = -1;
constexpr char kQuit = 0;  // the thread's own end, never a signal number

void OnSignal(int signal) {
  int saved = errno;
  arrived = true;
  char byte = static_cast<char>(signal);
  ssize_t ignored = write(wakeWrite, &byte, 1);
  (void)ignored;
  errno = saved;
}
}  // namespace

struct CRunInterrupt::CState {
  std::function<void()> onStop;
  int wakeRead = -1;
  struct sigaction previousInt {
  }, previousTerm{};
  std::thread watcher;

  void Watch() {
    int signals = 0;
    char byte = 0;
    while (true) {
      ssize_t got = read(wakeRead, &byte, 1);
      if (got < 0 && errno == EINTR) continue;
      if (got != 1 || byte == kQuit) return;
      onStop();
      if (++signals >= 2) {
        // The second interrupt: what the run started is ended above; nothing is waited for.
        _exit(kStoppedStatus);
      }
    }
  }
};

bool CRunInterrupt::Arrived() { return arrived; }

CRunInterrupt::CRunInterrupt(std::function<void()> onStop) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return;
  state_ = new CState;
  state_->onStop = std::move(onStop);
  state_->wakeRead = ends[0];
  wakeWrite = ends[1];
  CState* state = state_;
  state_->watcher = std::thread([state] { state->Watch(); });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &state_->previousInt);
  sigaction(SIGTERM, &action, &state_->previousTerm);
}

CRunInterrupt::~CRunInterrupt() {
  if (state_ == nullptr) return;
  sigaction(SIGINT, &state_->previousInt, nullptr);
  sigaction(SIGTERM, &state_->previousTerm, nullptr);
  char quit = kQuit;
  ssize_t ignored = write(wakeWrite, &quit, 1);
  (void)ignored;
  state_->watcher.join();
  close(state_->wakeRead);
  close(wakeWrite);
  wakeWrite = -1;
  delete state_;
}
