#pragma once
// Starts MediaInfo on one file with its text report written to the report file, and waits
// until it has ended. The way is the probe's batch file: exec.bat (exec.sh on POSIX) in the
// program folder, run by AppCreate with the three paths quoted. On Windows cmd.exe runs the
// batch file and expands %NAME% (and, where delayed expansion is on, !NAME!) even inside the
// quotes, so for a path holding "%", "!" or "^" MediaInfo is started directly instead, its
// output going into the report: the name never passes through a command line cmd.exe reads.
#include <string>

struct ProbePaths {
  std::wstring programDir;  // with its trailing separator; exec.bat lies there
  std::wstring mediaInfo;
  std::wstring input;
  std::wstring report;
};

// The batch file's command line: "\"%sexec.bat\" \"%s\" \"%s\" \"%s\" 0".
std::wstring ProbeBatchCommand(const ProbePaths& paths);

// A file as MediaInfo's own argument: a relative name beginning with "-" would read as an
// option, so it is given as "./-name".
std::wstring MediaInfoFileArgument(const std::wstring& path);

// True when a path holds a character that cmd.exe would expand inside quotes.
bool CommandInterpreterWouldExpand(const std::wstring& path);

// Runs the probe program (see above); traces the command it runs.
void LaunchProbe(const ProbePaths& paths);
