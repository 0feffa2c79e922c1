#include "probe/probe_launch.h"

#include "base/command_quoting.h"
#include "base/format.h"
#include "base/trace.h"
#include "exec/app_create.h"
#ifdef _WIN32
#include "exec/hidden_program.h"
#endif

std::wstring ProbeBatchCommand(const ProbePaths& paths) {
  // Each path is quoted so that the batch file gets it as one argument; the escape changes
  // nothing in a Windows path and keeps a POSIX name holding a quote or ending in a backslash
  // whole.
  return Sprintf(L"\"%sexec.bat\" \"%s\" \"%s\" \"%s\" 0", paths.programDir, EscapeForQuotes(paths.mediaInfo),
                 EscapeForQuotes(paths.input), EscapeForQuotes(paths.report));
}

std::wstring MediaInfoFileArgument(const std::wstring& path) {
  return !path.empty() && path[0] == L'-' ? L"./" + path : path;
}

bool CommandInterpreterWouldExpand(const std::wstring& path) {
  return path.find_first_of(L"%!^") != std::wstring::npos;
}

#ifdef _WIN32
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
#else
// exec.sh takes its arguments as they are: no name is ever expanded here.
void LaunchProbe(const ProbePaths& paths) {
  std::wstring command = ProbeBatchCommand(paths);
  DebugLog(L"%s", command);
  AppCreate(command, false);
}
#endif
