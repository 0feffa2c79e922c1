#include <sys/wait.h>

#include <cerrno>
#include <vector>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "exec/app_create_launch.h"
#include "exec/command_line_split.h"
#include "exec/tied_child.h"

SavedFolder SaveCurrentFolder() {
  SavedFolder saved;
  saved.folder = GetCurrentDir();
  return saved;
}

// POSIX has no drives; only the folder changes.
void EnterLaunchFolder(int /*drive*/, const std::wstring& folder) { SetCurrentDir(folder); }

void RestoreFolder(const SavedFolder& saved) { SetCurrentDir(saved.folder); }

// A ".bat" program runs its sibling ".sh", so that is the file that must exist.
std::wstring LaunchedFile(const AppLaunchPlan& plan) { return RunnableProgramPath(plan.programPath, true); }

bool StartProgram(const AppLaunchPlan& plan, bool show, StartedProgram& program) {
  // The program's arguments are split from the text after its name by the Windows rules and
  // handed over as they are: nothing goes through a shell.
  std::vector<std::string> words{PathToNative(RunnableProgramPath(plan.programToRun, true))};
  for (const std::wstring& argument : SplitArguments(plan.argumentsOnly))
    words.push_back(PathToNative(argument));

  // A hidden program has no console to show anything in: its output and error lead nowhere.
  // Its input is the null device either way.
  ChildStreams streams;
  if (!show) streams.outputFile = streams.errorFile = "/dev/null";
  pid_t pid = 0;
  if (StartTiedChild(words, streams, pid) != 0 || pid <= 0) return false;
  program.processId = static_cast<uint32_t>(pid);
  return true;
}

void WaitForProgram(StartedProgram& program) {
  if (program.processId == 0) return;
  int status = 0;
  while (waitpid(static_cast<pid_t>(program.processId), &status, 0) < 0 && errno == EINTR) {
  }
}
