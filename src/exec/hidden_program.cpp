#include "exec/hidden_program.h"

#ifdef _WIN32
#include <windows.h>

#include "base/command_quoting.h"
#include "exec/process_start.h"
#else
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "base/file_util.h"
#endif
#include "exec/tied_child.h"

#ifdef _WIN32
namespace {
std::wstring FolderOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}
}  // namespace

int RunHiddenProgramWithin(int timeLimitMs, const std::wstring& program,
                           const std::vector<std::wstring>& arguments, const std::wstring& outputFile) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE nothing = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               &inherit, OPEN_EXISTING, 0, nullptr);
  // Shared for deletion too: a copy of the handle that outlives the program for a moment must
  // never keep the next user of the file from removing it.
  HANDLE output = nothing;
  if (!outputFile.empty()) {
    output =
        CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) {
      if (nothing != INVALID_HANDLE_VALUE) CloseHandle(nothing);
      return -1;
    }
  }
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = nothing;
  startup.hStdOutput = output;
  startup.hStdError = nothing;
  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof info);
  std::wstring commandLine = QuoteArgument(program);
  for (const std::wstring& argument : arguments) commandLine += L" " + QuoteArgument(argument);
  std::wstring folder = FolderOf(program);
  const bool created = CreateProcessPatiently(program.c_str(), commandLine,
                                              {startup.hStdInput, startup.hStdOutput, startup.hStdError},
                                              CREATE_NO_WINDOW | CREATE_SUSPENDED,
                                              folder.empty() ? nullptr : folder.c_str(), startup, info) == 0;
  int status = -1;
  if (created) {
    TieToThisProcess(info.hProcess);
    ResumeThread(info.hThread);
    DWORD waited =
        WaitForSingleObject(info.hProcess, timeLimitMs < 0 ? INFINITE : static_cast<DWORD>(timeLimitMs));
    DWORD code = 0;
    if (waited == WAIT_TIMEOUT) {
      TerminateProcess(info.hProcess, 1);
      WaitForSingleObject(info.hProcess, INFINITE);
      status = kHiddenProgramTimedOut;
    } else if (GetExitCodeProcess(info.hProcess, &code)) {
      status = static_cast<int>(code);
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
  }
  if (output != nothing && output != INVALID_HANDLE_VALUE) CloseHandle(output);
  if (nothing != INVALID_HANDLE_VALUE) CloseHandle(nothing);
  return status;
}
#else
namespace {
// Waits for pid; ends it once timeLimitMs (when not negative) has passed. Its exit status, -1
// when it could not be waited for or did not exit by itself.
int WaitForProgram(pid_t pid, int timeLimitMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeLimitMs);
  auto pause = std::chrono::milliseconds(1);
  int status = 0;
  for (;;) {
    pid_t ended = waitpid(pid, &status, timeLimitMs < 0 ? 0 : WNOHANG);
    if (ended == pid) break;
    if (ended < 0 && errno != EINTR) return -1;
    if (ended == 0 && std::chrono::steady_clock::now() >= deadline) {
      kill(pid, SIGKILL);
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      return kHiddenProgramTimedOut;
    }
    // A check's programs end within a second or so: a short nap first, then longer ones.
    if (ended == 0) {
      std::this_thread::sleep_for(pause);
      pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace

int RunHiddenProgramWithin(int timeLimitMs, const std::wstring& program,
                           const std::vector<std::wstring>& arguments, const std::wstring& outputFile) {
  std::vector<std::string> words{PathToNative(program)};
  for (const std::wstring& argument : arguments) words.push_back(PathToNative(argument));
  ChildStreams streams;
  streams.outputFile = outputFile.empty() ? std::string("/dev/null") : PathToNative(outputFile);
  streams.errorFile = "/dev/null";
  pid_t pid = 0;
  if (StartTiedChild(words, streams, pid) != 0) return -1;
  return WaitForProgram(pid, timeLimitMs);
}
#endif

int RunHiddenProgram(const std::wstring& program, const std::vector<std::wstring>& arguments,
                     const std::wstring& outputFile) {
  return RunHiddenProgramWithin(-1, program, arguments, outputFile);
}
