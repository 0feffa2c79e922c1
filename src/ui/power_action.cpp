#include "ui/power_action.h"

#include <windows.h>
// needs <windows.h> first
#include <powrprof.h>

#include "base/trace.h"

namespace {

// Every account may shut the computer down, but the right is off in its token until a program
// switches it on.
bool EnableShutdownRight() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool enabled = LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) &&
                 AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                 GetLastError() == ERROR_SUCCESS;  // not ERROR_NOT_ALL_ASSIGNED
  CloseHandle(token);
  return enabled;
}

}  // namespace

bool DoPowerAction(WhenDone action) {
  if (action != WHEN_DONE_SLEEP && action != WHEN_DONE_SHUT_DOWN) return false;
  bool right = EnableShutdownRight();
  bool taken = false;
  if (action == WHEN_DONE_SLEEP) {
    // Sleep, not hibernation; wake events stay allowed.
    taken = SetSuspendState(FALSE, FALSE, FALSE) != FALSE;
  } else {
    taken = ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF, SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER |
                                                           SHTDN_REASON_FLAG_PLANNED) != FALSE;
  }
  DebugLog(L"DoPowerAction-%d-%d-%d-%u", static_cast<int>(action), right ? 1 : 0, taken ? 1 : 0,
           static_cast<unsigned>(taken ? 0 : GetLastError()));
  return taken;
}
