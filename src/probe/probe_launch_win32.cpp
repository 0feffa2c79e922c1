#include "base/trace.h"
#include "exec/app_create.h"
#include "exec/hidden_program.h"
#include "probe/probe_launch.h"

namespace {

// MediaInfo started by itself, hidden, with its standard output written to the report file.
void RunMediaInfoDirectly(const ProbePaths& paths) {
  int status = RunHiddenProgram(paths.mediaInfo, {paths.input}, paths.report);
  DebugLog(L"ProbeMediaFile-direct-%d-%s", status, paths.input);
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
