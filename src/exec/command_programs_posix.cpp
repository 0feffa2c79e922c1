#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/file_util.h"
#include "base/text.h"
#include "exec/command_error_pipe.h"
#include "exec/command_interpreter.h"
#include "exec/command_programs.h"
#include "exec/command_stop.h"
#include "exec/program_lookup.h"
#include "exec/tied_child.h"

namespace {

using Clock = std::chrono::steady_clock;

// A stop asks a program to end (SIGTERM: ffmpeg then closes its output and gives back what it
// changed) and kills it when it has not ended this long after.
constexpr auto kEndGrace = std::chrono::seconds(5);
// How often the end of a program is looked for where the system cannot say it by itself.
constexpr int kPollMillis = 100;

int StatusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return -1;
}

// A descriptor that becomes readable when pid ends; -1 where the system has none.
int EndDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}

// Whether pid has ended; it stays unreaped, so its id is never reused while it may be signalled.
bool HasEnded(pid_t pid) {
  siginfo_t info{};
  while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT | WNOHANG) != 0) {
    if (errno != EINTR) return true;
  }
  return info.si_pid == pid;
}

// The child of one command and the stop's way to reach the thread that waits for it. Only
// that thread signals the child, and only before it reaps it.
class CWaitedChild {
 public:
  explicit CWaitedChild(pid_t pid)
      : pid_(pid), ended_(EndDescriptor(pid)), wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
  ~CWaitedChild() {
    if (ended_ >= 0) close(ended_);
    if (wake_ >= 0) close(wake_);
  }
  CWaitedChild(const CWaitedChild&) = delete;
  CWaitedChild& operator=(const CWaitedChild&) = delete;

  // The stop's part, on any thread: wakes the waiting thread.
  void Wake() {
    if (wake_ >= 0) eventfd_write(wake_, 1);
  }

  // Waits for the end of the child, asking it to end once stop has come and killing it after
  // the grace; then reaps it. Its status; asked tells whether the stop asked it to end.
  int Wait(CCommandStop* stop, int ticket, bool& asked) {
    asked = false;
    bool killed = false;
    Clock::time_point deadline;
    while (!HasEnded(pid_)) {
      if (!asked && stop != nullptr && stop->Stopped()) {
        asked = true;
        deadline = Clock::now() + kEndGrace;
        kill(pid_, SIGTERM);
      } else if (asked && !killed && Clock::now() >= deadline) {
        killed = true;
        kill(pid_, SIGKILL);
      }
      SleepUntil(asked && !killed ? deadline : Clock::time_point::max());
    }
    if (stop != nullptr && ticket != 0) stop->Remove(ticket);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0) {
      if (errno != EINTR) return -1;
    }
    return StatusOf(status);
  }

 private:
  // Sleeps until the child ends, the stop wakes this thread, or until comes.
  void SleepUntil(Clock::time_point until) {
    int timeout = -1;
    if (until != Clock::time_point::max()) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
      timeout = left < 0 ? 0 : static_cast<int>(left) + 1;
    }
    if (ended_ < 0 || wake_ < 0) timeout = timeout < 0 ? kPollMillis : std::min(timeout, kPollMillis);
    pollfd watched[2] = {{wake_, POLLIN, 0}, {ended_, POLLIN, 0}};
    poll(watched, 2, timeout);
    eventfd_t count = 0;
    if (wake_ >= 0) eventfd_read(wake_, &count);
  }

  pid_t pid_;
  int ended_;
  int wake_;
};

void SayCannotStart(const std::wstring& name, CCommandErrorPipe* errors, bool ownErrors) {
  std::string message = "'" + WideToUtf8(name) + "' cannot be started.\n";
  if (ownErrors)
    errors->Write(message);
  else
    std::fputs(message.c_str(), stderr);
}

}  // namespace

// The tool names the system's commands use resolve where the tools live; "unzip" is the
// system's own; any other name is looked up as the Windows lookup would (current folder, then
// PATH, with and without ".exe"), and a name with a folder is taken as it is.
std::wstring ResolveCommandProgram(const std::wstring& name) {
  std::wstring lower = ToLowerText(name);
  if (lower == L"ffmpeg" || lower == L"ffmpeg.exe") return FindToolProgram(L"ffmpeg");
  if (lower == L"mediainfo" || lower == L"mediainfo.exe") return FindToolProgram(L"mediainfo");
  if (lower == L"unzip" || lower == L"unzip.exe") {
    const char* path = std::getenv("PATH");
    return path == nullptr ? std::wstring() : SearchFolderList(path, L"unzip");
  }
  if (name.find(L'/') != std::wstring::npos) return name;
  std::wstring found;
  return FindExecutablePath(name, found) > 32 ? found : std::wstring();
}

int RunCommandProgram(const std::wstring& program, const std::vector<std::wstring>& words, CCommandStop* stop,
                      CCommandErrorPipe* errors, CommandInput) {
  // Every word reaches the program exactly as split: no shell ever sees a file name. Its
  // standard input is the null device whatever input asks: on POSIX the line runs in the
  // caller's own terminal, never in a console of its own.
  std::vector<std::string> argv{PathToNative(program)};
  for (size_t i = 1; i < words.size(); ++i) argv.push_back(PathToNative(words[i]));
  if (stop != nullptr && stop->Stopped()) return kStoppedStatus;
  ChildStreams streams;
  const bool ownErrors = errors != nullptr && errors->WriteEnd() >= 0;
  if (ownErrors) streams.errorDescriptor = errors->WriteEnd();
  pid_t pid = 0;
  if (StartTiedChild(argv, streams, pid) != 0) {
    SayCannotStart(words[0], errors, ownErrors);
    return kNotFoundStatus;
  }
  CWaitedChild child(pid);
  int ticket = 0;
  if (stop != nullptr) ticket = stop->Add([&child] { child.Wake(); });
  bool asked = false;
  int status = child.Wait(stop, ticket, asked);
  // Ended by the stop, not by itself: a program that finished before the stop keeps its status.
  if (asked && status != 0) return kStoppedStatus;
  return status;
}

// "pause" waits for Enter at a terminal; without one nobody could answer, so it goes on.
void RunPause(CCommandStop* stop) {
  if (!isatty(STDIN_FILENO)) return;
  std::fputs("Press Enter to continue . . . ", stdout);
  std::fflush(stdout);
  char c = 0;
  while (stop == nullptr || !stop->Stopped()) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    int ready = poll(&input, 1, 200);
    if (ready < 0 && errno != EINTR) return;
    if (ready <= 0) continue;
    if (read(STDIN_FILENO, &c, 1) != 1 || c == '\n') return;
  }
}
