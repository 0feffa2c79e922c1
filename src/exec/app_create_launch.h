#pragma once
// The platform half of AppCreate: the current folder around a launch, and the start of the
// program itself. app_create.cpp holds the steps and traces common to every platform.
#include <cstdint>
#include <string>

#include "exec/app_create_plan.h"

// The current drive and folder before a launch.
struct SavedFolder {
  std::wstring folder;
  int drive = 0;  // 1 for A:, 0 where drives do not exist
};

SavedFolder SaveCurrentFolder();
// Makes drive (when not 0) the current drive, then folder the current directory; failures
// are ignored, the program then runs in the folder that stays current.
void EnterLaunchFolder(int drive, const std::wstring& folder);
void RestoreFolder(const SavedFolder& saved);

// A program started by StartProgram; WaitForProgram waits for its end and releases it.
struct StartedProgram {
  uint32_t processId = 0;
  void* process = nullptr;  // the platform's handles, when it has any
  void* thread = nullptr;
};

// Starts the program of plan hidden or shown; true when it was created.
bool StartProgram(const AppLaunchPlan& plan, bool show, StartedProgram& program);
void WaitForProgram(StartedProgram& program);

// The file whose existence decides whether the launch goes ahead: the program path as
// written (a bare name in the current folder), or on POSIX the shell twin of a ".bat".
std::wstring LaunchedFile(const AppLaunchPlan& plan);
