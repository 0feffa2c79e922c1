#include "probe/probe_launch.h"

#include "base/command_quoting.h"
#include "base/format.h"

std::wstring ProbeBatchCommand(const ProbePaths& paths) {
  // Each path is quoted so that the batch file gets it as one argument; the escape changes
  // nothing in a Windows path and keeps a POSIX name holding a quote or ending in a backslash
  // whole.
  return Sprintf(L"\"%sexec.bat\" \"%s\" \"%s\" \"%s\" 0", paths.programDir, EscapeForQuotes(paths.mediaInfo),
                 EscapeForQuotes(paths.input), EscapeForQuotes(paths.report));
}

bool CommandInterpreterWouldExpand(const std::wstring& path) {
  return path.find_first_of(L"%!^") != std::wstring::npos;
}
