// The kestrune command line: the window's jobs without a window.
#include <cstdlib>

#include "base/trace.h"
#include "cli/cli_commands.h"
#include "cli/cli_output.h"
#include "cli/program_arguments.h"

int main(int argc, char** argv) {
  CConsoleOutput out;
#ifdef _WIN32
  // The trace goes to the debugger on Windows; the command line shows it on request, as POSIX does.
  if (std::getenv("KESTRUNE_TRACE") != nullptr)
    SetTraceSink([&out](const std::wstring& line) { out.Err(line); });
#endif
  return RunKestrune(GetProgramArguments(argc, argv), out);
}
