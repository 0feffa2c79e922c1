#include "base/program_dir.h"
#include "exec/command_interpreter.h"
#include "exec/console_host.h"

// No console windows here: the line runs in the terminal of the program itself.
std::wstring ConsoleHostProgram() { return ProgramDir() + L"kestrune"; }

int RunInOwnConsole(const std::wstring& commandLine, CCommandStop* stop) {
  return RunCommandLine(commandLine, stop);
}

int RunConsoleHost(const std::wstring& line) { return RunCommandLine(line); }
