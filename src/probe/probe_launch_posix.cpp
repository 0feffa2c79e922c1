#include "base/trace.h"
#include "exec/app_create.h"
#include "probe/probe_launch.h"

// exec.sh takes its arguments as they are: no name is ever expanded here.
void LaunchProbe(const ProbePaths& paths) {
  std::wstring command = ProbeBatchCommand(paths);
  DebugLog(L"%s", command);
  AppCreate(command, false);
}
