#include "exec/console_host.h"

#include <cstdio>
#include <thread>

#include "base/program_dir.h"
#include "exec/command_error_pipe.h"
#include "exec/command_interpreter.h"
#include "exec/command_line_split.h"

bool IsConsoleHostCall(const std::wstring& processCommandLine, std::wstring& line) {
  // The program word first (quotes only toggle in it), then the marker and exactly one blank;
  // everything after that is the line, untouched.
  bool quoted = false;
  size_t pos = 0;
  while (pos < processCommandLine.size()) {
    wchar_t c = processCommandLine[pos];
    if (!quoted && (c == L' ' || c == L'\t')) break;
    if (c == L'"') quoted = !quoted;
    ++pos;
  }
  while (pos < processCommandLine.size() &&
         (processCommandLine[pos] == L' ' || processCommandLine[pos] == L'\t'))
    ++pos;
  const std::wstring marker = std::wstring(kConsoleHostMarker) + L" ";
  if (processCommandLine.compare(pos, marker.size(), marker) != 0) return false;
  line = processCommandLine.substr(pos + marker.size());
  return true;
}

#ifndef _WIN32
// No console windows here: the line runs in the terminal of the program itself.
std::wstring ConsoleHostProgram() { return ProgramDir() + L"kestrune"; }

int RunInOwnConsole(const std::wstring& commandLine, CCommandStop* stop) {
  return RunCommandLine(commandLine, stop);
}

// The line's standard error goes to errors and on to the terminal as it comes.
int RunInOwnConsole(const std::wstring& commandLine, CCommandStop* stop, const ConsoleErrorSink& errors) {
  CCommandErrorPipe pipe;
  if (!errors || !pipe.IsOpen()) return RunCommandLine(commandLine, stop);
  std::thread reader([&pipe, &errors] {
    std::string chunk;
    while (pipe.Read(chunk)) {
      errors(chunk);
      std::fwrite(chunk.data(), 1, chunk.size(), stderr);
      std::fflush(stderr);
    }
  });
  int status = RunCommandLine(commandLine, stop, &pipe);
  pipe.CloseWriteEnd();
  reader.join();
  return status;
}

int RunConsoleHost(const std::wstring& line) { return RunCommandLine(line); }
#endif
