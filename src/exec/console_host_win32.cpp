#include <windows.h>

#include <atomic>
#include <chrono>

#include "base/command_quoting.h"
#include "base/format.h"
#include "base/program_dir.h"
#include "base/trace.h"
#include "exec/command_interpreter.h"
#include "exec/command_stop.h"
#include "exec/console_host.h"
#include "exec/process_start.h"

namespace {

// How long a host may take to stop its line by itself before its whole console is ended.
constexpr auto kStopGrace = std::chrono::seconds(10);
constexpr DWORD kPollMillis = 200;

// The host learns of a stop through an event named after its own process id, made by the
// starter before the host runs.
std::wstring StopEventName(DWORD hostProcessId) {
  return Sprintf(L"Local\\KestruneConsoleStop-%u", static_cast<unsigned>(hostProcessId));
}

// A Ctrl-C or Ctrl-Break typed in the host's console, as the host's handler learns of it.
std::atomic<bool> interrupted{false};

// The console delivers Ctrl-C to every process attached to it: the program running in it ends
// by its own handling, and the host only takes note, so that it goes on to the pause (its window
// stays readable) and reports the line as stopped. A console that closes ends the host a few
// seconds later anyway: it ends at once as stopped, which ends its programs (their job closes),
// and the starter removes what they had written.
BOOL WINAPI NoteInterrupt(DWORD event) {
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
    interrupted = true;
    return TRUE;
  }
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
    TerminateProcess(GetCurrentProcess(), kStoppedStatus);
  return FALSE;
}

// A redirected standard input (a file, NUL or a pipe; not a console) as an inheritable copy;
// null when the input is a console or there is none.
HANDLE RedirectedInput() {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (input == nullptr || input == INVALID_HANDLE_VALUE) return nullptr;
  DWORD mode = 0;
  if (GetConsoleMode(input, &mode)) return nullptr;
  HANDLE copy = nullptr;
  HANDLE self = GetCurrentProcess();
  if (!DuplicateHandle(self, input, self, &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) return nullptr;
  return copy;
}

// Owns a handle and closes it.
class CHandle {
 public:
  explicit CHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~CHandle() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  CHandle(const CHandle&) = delete;
  CHandle& operator=(const CHandle&) = delete;
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

std::wstring ConsoleHostProgram() { return ProgramDir() + L"kestrune-cli.exe"; }

int RunInOwnConsole(const std::wstring& commandLine, CCommandStop* stop) {
  if (stop != nullptr && stop->Stopped()) return kStoppedStatus;
  std::wstring host = ConsoleHostProgram();
  std::wstring hostLine = QuoteArgument(host) + L" " + kConsoleHostMarker + L" " + commandLine;
  DebugLog(L"RunInOwnConsole-%s", hostLine);

  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  HANDLE input = RedirectedInput();
  if (input != nullptr) {
    // Output and error stay unset: the host writes to its own console.
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
  }
  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof info);
  // Suspended until the job holds it and its stop event exists.
  const uint32_t error = CreateProcessPatiently(
      host.c_str(), hostLine, input != nullptr ? std::vector<void*>{input} : std::vector<void*>(),
      CREATE_NEW_CONSOLE | CREATE_SUSPENDED, nullptr, startup, info);
  if (input != nullptr) CloseHandle(input);
  if (error != 0) {
    DebugLog(L"RunInOwnConsole-cannot start %s (%u)", host, static_cast<unsigned>(error));
    return kNotFoundStatus;
  }
  CHandle process(info.hProcess);
  CHandle thread(info.hThread);
  // The job holds the host and, by inheritance, every program it starts: ending the job ends
  // them all, and the console window closes with them.
  CHandle job(CreateJobObjectW(nullptr, nullptr));
  if (job.Get() != nullptr) AssignProcessToJobObject(job.Get(), process.Get());
  CHandle stopEvent(CreateEventW(nullptr, TRUE, FALSE, StopEventName(info.dwProcessId).c_str()));
  int ticket = 0;
  if (stop != nullptr) {
    HANDLE event = stopEvent.Get();
    ticket = stop->Add([event] { SetEvent(event); });
    if (ticket == 0) SetEvent(event);
  }
  ResumeThread(thread.Get());

  bool stopping = false;
  std::chrono::steady_clock::time_point stopAsked;
  while (WaitForSingleObject(process.Get(), kPollMillis) == WAIT_TIMEOUT) {
    if (stop == nullptr || !stop->Stopped()) continue;
    if (!stopping) {
      stopping = true;
      stopAsked = std::chrono::steady_clock::now();
    } else if (std::chrono::steady_clock::now() - stopAsked > kStopGrace) {
      if (job.Get() != nullptr) TerminateJobObject(job.Get(), kStoppedStatus);
      TerminateProcess(process.Get(), kStoppedStatus);
    }
  }
  if (ticket != 0) stop->Remove(ticket);
  DWORD code = 0;
  return GetExitCodeProcess(process.Get(), &code) ? static_cast<int>(code) : -1;
}

int RunConsoleHost(const std::wstring& line) {
  // The host lies in the program folder; the tools the line names are looked for there.
  SetProgramDir(GetProgramDir());
  SetConsoleTitleW(line.c_str());
  // A Ctrl-C typed in this console must reach the program running in it. Ignoring it here
  // (a null handler) would be inherited by every program the host starts, ffmpeg included, and
  // so would an ignore this process inherited from its own starter: that is switched off, and a
  // handler of its own keeps the host alive instead.
  SetConsoleCtrlHandler(nullptr, FALSE);
  SetConsoleCtrlHandler(NoteInterrupt, TRUE);
  // A host started with only its input given writes to its own console.
  for (DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
      SetStdHandle(which,
                   CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr));
    }
  }
  CCommandStop stop;
  CHandle stopEvent(OpenEventW(SYNCHRONIZE, FALSE, StopEventName(GetCurrentProcessId()).c_str()));
  CHandle lineDone(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  HANDLE watcher = nullptr;
  struct Watch {
    HANDLE events[2];
    CCommandStop* stop;
  } watch{{stopEvent.Get(), lineDone.Get()}, &stop};
  if (stopEvent.Get() != nullptr && lineDone.Get() != nullptr) {
    watcher = CreateThread(
        nullptr, 0,
        [](void* parameter) -> DWORD {
          Watch* w = static_cast<Watch*>(parameter);
          if (WaitForMultipleObjects(2, w->events, FALSE, INFINITE) == WAIT_OBJECT_0) w->stop->Stop();
          return 0;
        },
        &watch, 0, nullptr);
  }
  // The programs of the line keep the console's input: the user may press keys for them there.
  int status = RunCommandLine(line, &stop, nullptr, COMMAND_INPUT_INHERITED);
  if (watcher != nullptr) {
    SetEvent(lineDone.Get());
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
  }
  // A program that the user's Ctrl-C ended reports it in its own way (ffmpeg 255, others
  // STATUS_CONTROL_C_EXIT); the starter hears that the line was stopped, so the output it had
  // begun is not taken for a finished one. A program that finished anyway keeps its status.
  // The system may run a program's end by the Ctrl-C before this host's own handler has run:
  // the status that says so counts as the interrupt.
  const bool endedByCtrlC = static_cast<DWORD>(status) == static_cast<DWORD>(STATUS_CONTROL_C_EXIT);
  if ((interrupted || endedByCtrlC) && status != 0) return kStoppedStatus;
  return status;
}
