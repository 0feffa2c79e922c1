#include <windows.h>

#include "base/command_quoting.h"
#include "base/trace.h"
#include "exec/app_create.h"
#include "probe/probe_launch.h"

namespace {

std::wstring FolderOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// MediaInfo started by itself, hidden, in its own folder, with its standard output written to
// the report file and nothing to read.
void RunMediaInfoDirectly(const ProbePaths& paths) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  // Shared for deletion too: a copy of the handle that outlives MediaInfo for a moment must
  // never keep the next probe from removing the report.
  HANDLE report =
      CreateFileW(paths.report.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (report == INVALID_HANDLE_VALUE) {
    DebugLog(L"ProbeMediaFile-%s 를 쓸 수 없습니다.", paths.report);
    return;
  }
  HANDLE nothing = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = nothing;
  startup.hStdOutput = report;
  startup.hStdError = nothing;
  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof info);
  std::wstring commandLine = QuoteArgument(paths.mediaInfo) + L" " + QuoteArgument(paths.input);
  std::wstring folder = FolderOf(paths.mediaInfo);
  BOOL created =
      CreateProcessW(paths.mediaInfo.c_str(), &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                     nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &info);
  DebugLog(L"ProbeMediaFile-direct-%d-%s", created ? 1 : 0, commandLine);
  if (created) {
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
  }
  CloseHandle(report);
  if (nothing != INVALID_HANDLE_VALUE) CloseHandle(nothing);
}

}  // namespace

void LaunchProbe(const ProbePaths& paths) {
  if (CommandInterpreterWouldExpand(paths.programDir) || CommandInterpreterWouldExpand(paths.mediaInfo) ||
      CommandInterpreterWouldExpand(paths.input) || CommandInterpreterWouldExpand(paths.report)) {
    RunMediaInfoDirectly(paths);
    return;
  }
  std::wstring command = ProbeBatchCommand(paths);
  DebugLog(L"%s", command);
  AppCreate(command, false);
}
