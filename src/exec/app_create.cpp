#include "exec/app_create.h"

#include <mutex>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/trace.h"
#include "exec/app_create_launch.h"
#include "exec/app_create_plan.h"

namespace {
// The current drive and folder belong to the whole process: two launches at once would save
// and restore each other's folders, so launches take turns.
std::mutex launchLock;
}  // namespace

uint32_t AppCreate(const std::wstring& commandLine, bool show) {
  std::lock_guard<std::mutex> guard(launchLock);
  DebugLog(L"AppCreate-0-%s", commandLine);

  AppLaunchPlan plan;
  if (!PlanAppLaunch(commandLine, ProgramDir(), kPathSeparator, plan)) return 0;
  DebugLog(L"AppCreate-2-%s\n%s", plan.programPath, plan.argumentText);
  DebugLog(L"AppCreate-3-%s\n%s\n%s", std::wstring(), plan.commandToRun, plan.programPath);

  // A program without a folder is looked for in the current directory, where the start will
  // look for it too when the program folder is current.
  if (!FileExists(LaunchedFile(plan))) {
    DebugLog(L"AppCreate-4-파일이 없습니다.");
    return 0;
  }

  SavedFolder saved = SaveCurrentFolder();
  if (!plan.workingFolder.empty()) EnterLaunchFolder(plan.drive, plan.workingFolder);
  DebugLog(L"AppCreate-5-%s \n%s \n \n", plan.commandToRun, plan.workingFolder);

  uint32_t processId = 0;
  if (!plan.commandToRun.empty()) {
    StartedProgram program;
    bool started = StartProgram(plan, show, program);
    DebugLog(L"AppCreate-6-CreateProcess, ret=%d, id=%d  <%s>", started ? 1 : 0,
             started ? static_cast<int>(program.processId) : 0, plan.commandToRun);
    if (started) {
      WaitForProgram(program);
      processId = program.processId;
    }
  }

  if (!plan.workingFolder.empty()) RestoreFolder(saved);
  return processId;
}
