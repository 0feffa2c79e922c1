#include <windows.h>

#include "exec/tied_child.h"

namespace {
// Made once and never closed: its only handle closes when this process ends, and then the
// system ends every program still in it. Not inheritable, so no child keeps it open.
HANDLE KillOnCloseJob() {
  static HANDLE job = [] {
    HANDLE made = CreateJobObjectW(nullptr, nullptr);
    if (made == nullptr) return made;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    ZeroMemory(&limits, sizeof limits);
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(made, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
      CloseHandle(made);
      return static_cast<HANDLE>(nullptr);
    }
    return made;
  }();
  return job;
}
}  // namespace

// A process that already belongs to a job (the window's console host does) joins this one as
// well: jobs nest since Windows 8.
bool TieToThisProcess(void* process) {
  HANDLE job = KillOnCloseJob();
  return job != nullptr && AssignProcessToJobObject(job, static_cast<HANDLE>(process));
}
