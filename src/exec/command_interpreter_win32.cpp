#include <cstdlib>

#include "exec/command_interpreter.h"

int RunCommandLine(const std::wstring& commandLine) { return _wsystem(commandLine.c_str()); }
