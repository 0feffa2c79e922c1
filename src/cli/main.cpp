// The kestrune command line: the window's jobs without a window.
#include <cstdlib>

#include "base/trace.h"
#include "cli/cli_commands.h"
#include "cli/cli_output.h"
#include "exec/console_host.h"

#ifdef _WIN32
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#else
#include "base/text.h"
#endif

namespace {
// The program's arguments as wide text, without the program name: taken from the wide command
// line on Windows (whatever the code page), decoded from UTF-8 on POSIX.
#ifdef _WIN32
std::vector<std::wstring> GetProgramArguments(int, char**) {
  std::vector<std::wstring> args;
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (list == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(list[i]);
  LocalFree(list);
  return args;
}
#else
std::vector<std::wstring> GetProgramArguments(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8ToWide(argv[i]));
  return args;
}
#endif
}  // namespace

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
