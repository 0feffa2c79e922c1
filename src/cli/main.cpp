// The kestrune command line: the window's jobs without a window.
#include <cstdlib>

#include "base/trace.h"
#include "cli/cli_commands.h"
#include "cli/cli_output.h"
#include "cli/program_arguments.h"
#include "exec/console_host.h"

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  // The window runs each of its command lines in a console of this program; the line is read
  // from the raw command line, exactly as the window wrote it.
  std::wstring line;
  if (IsConsoleHostCall(GetCommandLineW(), line)) return RunConsoleHost(line);
#endif
  CConsoleOutput out;
#ifdef _WIN32
  // The trace goes to the debugger on Windows; the command line shows it on request, as POSIX does.
  if (std::getenv("KESTRUNE_TRACE") != nullptr)
    SetTraceSink([&out](const std::wstring& line) { out.Err(line); });
#endif
  return RunKestrune(GetProgramArguments(argc, argv), out);
}
