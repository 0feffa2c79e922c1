#include "base/text.h"
#include "cli/program_arguments.h"

std::vector<std::wstring> GetProgramArguments(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8ToWide(argv[i]));
  return args;
}
