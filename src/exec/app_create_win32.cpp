#include <direct.h>
#include <windows.h>

#include "exec/app_create_launch.h"
#include "exec/process_start.h"
#include "exec/tied_child.h"

// The start-up record is the 68-byte STARTUPINFOW of 32-bit Windows; the 64-bit build passes
// its own size, since the 64-bit layout puts wShowWindow at offset 68 and a record cut at 68
// bytes would lose the show-window value.
static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOW) == 68, "32-bit STARTUPINFOW is 68 bytes");

SavedFolder SaveCurrentFolder() {
  SavedFolder saved;
  wchar_t buffer[1024] = {0};
  if (_wgetcwd(buffer, 1024) != nullptr) saved.folder = buffer;
  saved.drive = _getdrive();
  return saved;
}

void EnterLaunchFolder(int drive, const std::wstring& folder) {
  if (drive >= 1 && drive <= 26) _chdrive(drive);
  _wchdir(folder.c_str());
}

void RestoreFolder(const SavedFolder& saved) {
  if (saved.drive >= 1 && saved.drive <= 26) _chdrive(saved.drive);
  if (!saved.folder.empty()) _wchdir(saved.folder.c_str());
}

std::wstring LaunchedFile(const AppLaunchPlan& plan) { return plan.programPath; }

bool StartProgram(const AppLaunchPlan& plan, bool show, StartedProgram& program) {
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show ? SW_SHOW : SW_HIDE);
  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof info);
  if (CreateProcessPatiently(nullptr, plan.commandToRun, {}, NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED,
                             nullptr, startup, info) != 0)
    return false;
  // Suspended until it is tied to this process, so nothing it starts escapes the tie.
  TieToThisProcess(info.hProcess);
  ResumeThread(info.hThread);
  program.processId = info.dwProcessId;
  program.process = info.hProcess;
  program.thread = info.hThread;
  return true;
}

void WaitForProgram(StartedProgram& program) {
  if (program.process != nullptr) {
    WaitForSingleObject(static_cast<HANDLE>(program.process), INFINITE);
    CloseHandle(static_cast<HANDLE>(program.process));
  }
  if (program.thread != nullptr) CloseHandle(static_cast<HANDLE>(program.thread));
  program.process = nullptr;
  program.thread = nullptr;
}
