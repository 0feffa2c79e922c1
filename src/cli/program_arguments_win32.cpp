#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include "cli/program_arguments.h"

std::vector<std::wstring> GetProgramArguments(int, char**) {
  std::vector<std::wstring> args;
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (list == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(list[i]);
  LocalFree(list);
  return args;
}
