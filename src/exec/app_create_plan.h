#pragma once
// What AppCreate derives from its command line before it starts anything: kept apart from the
// start itself so the rules can be checked on every platform with either path separator.
#include <string>

struct AppLaunchPlan {
  // The command line up to and including the first ".exe" or ".bat" (whichever comes first,
  // any case), with every double quote removed.
  std::wstring programPath;
  // Everything after that extension, unchanged: it begins with the closing quote when the
  // program was quoted.
  std::wstring argumentText;
  // The arguments alone: argumentText without the program's closing quote. The POSIX start
  // splits this text into the program's arguments.
  std::wstring argumentsOnly;
  // The command line given, or for a program without a folder "\"%s%s\" %s" made of the
  // program folder, the program and the arguments.
  std::wstring commandToRun;
  // The program commandToRun starts: programPath, or the program folder followed by it when
  // it has no folder of its own.
  std::wstring programToRun;
  // The program's folder (programPath before its last separator); empty when the path has
  // no separator or begins with one. "C:" for a program in the root of drive C.
  std::wstring workingFolder;
  // The drive to make current before entering workingFolder: 1 for A: to 26 for Z:, 0 when
  // the program path does not begin with a drive letter and a colon.
  int drive = 0;
};

// Fills plan from commandLine; false (plan untouched) when it names no ".exe" or ".bat".
// programDir is the program folder with its trailing separator; separator is the platform's.
bool PlanAppLaunch(const std::wstring& commandLine, const std::wstring& programDir, wchar_t separator,
                   AppLaunchPlan& plan);

// The file that really runs for programPath: itself on Windows; on POSIX a ".bat" runs the
// shell script of the same name beside it (exec.bat -> exec.sh), anything else itself.
std::wstring RunnableProgramPath(const std::wstring& programPath, bool posix);
