#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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

extern char** environ;

namespace {

int StatusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return -1;
}

// Waits for pid to end without reaping it, so that its id cannot be reused while a stop may
// still signal it; then reaps it.
int WaitForChild(pid_t pid, CCommandStop* stop, int ticket) {
  siginfo_t info{};
  while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0) {
    if (errno != EINTR) break;
  }
  if (stop != nullptr && ticket != 0) stop->Remove(ticket);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return StatusOf(status);
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
                      CCommandErrorPipe* errors) {
  // Every word reaches the program exactly as split: no shell ever sees a file name.
  std::vector<std::string> narrow{PathToNative(program)};
  for (size_t i = 1; i < words.size(); ++i) narrow.push_back(PathToNative(words[i]));
  std::vector<char*> argv;
  for (std::string& word : narrow) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  if (stop != nullptr && stop->Stopped()) return kStoppedStatus;
  pid_t pid = 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const bool ownErrors = errors != nullptr && errors->WriteEnd() >= 0;
  if (ownErrors) posix_spawn_file_actions_adddup2(&actions, errors->WriteEnd(), STDERR_FILENO);
  int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    std::string message = "'" + WideToUtf8(words[0]) + "' cannot be started.\n";
    if (ownErrors)
      errors->Write(message);
    else
      std::fputs(message.c_str(), stderr);
    return kNotFoundStatus;
  }
  int ticket = 0;
  if (stop != nullptr) {
    ticket = stop->Add([pid] { kill(pid, SIGKILL); });
    if (ticket == 0) kill(pid, SIGKILL);
  }
  int status = WaitForChild(pid, stop, ticket);
  // Ended by the stop, not by itself: a program that finished before the stop keeps its status.
  if (stop != nullptr && stop->Stopped() && status == 128 + SIGKILL) return kStoppedStatus;
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
