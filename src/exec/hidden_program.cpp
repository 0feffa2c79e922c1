#include "exec/hidden_program.h"

#ifdef _WIN32
#include <windows.h>

#include "base/command_quoting.h"
#else
#include <sys/wait.h>

#include <cerrno>

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

int RunHiddenProgram(const std::wstring& program, const std::vector<std::wstring>& arguments,
                     const std::wstring& outputFile) {
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
  BOOL created = CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                                CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr,
                                folder.empty() ? nullptr : folder.c_str(), &startup, &info);
  int status = -1;
  if (created) {
    TieToThisProcess(info.hProcess);
    ResumeThread(info.hThread);
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(info.hProcess, &code)) status = static_cast<int>(code);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
  }
  if (output != nothing && output != INVALID_HANDLE_VALUE) CloseHandle(output);
  if (nothing != INVALID_HANDLE_VALUE) CloseHandle(nothing);
  return status;
}
#else
int RunHiddenProgram(const std::wstring& program, const std::vector<std::wstring>& arguments,
                     const std::wstring& outputFile) {
  std::vector<std::string> words{PathToNative(program)};
  for (const std::wstring& argument : arguments) words.push_back(PathToNative(argument));
  ChildStreams streams;
  streams.outputFile = outputFile.empty() ? std::string("/dev/null") : PathToNative(outputFile);
  streams.errorFile = "/dev/null";
  pid_t pid = 0;
  if (StartTiedChild(words, streams, pid) != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif
