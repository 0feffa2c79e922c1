#include "exec/command_interpreter.h"

#include <cstdio>
#include <vector>

#include "base/text.h"
#include "exec/command_line_split.h"
#include "exec/command_programs.h"
#include "exec/command_stop.h"
#include "exec/copy_command.h"

namespace {

int RunCopy(const std::vector<std::wstring>& words) {
  std::wstring error;
  if (RunCopyCommand(std::vector<std::wstring>(words.begin() + 1, words.end()), error)) {
    std::puts("        1 file(s) copied.");
    std::fflush(stdout);
    return 0;
  }
  std::fprintf(stderr, "%s\n", WideToUtf8(error).c_str());
  return 1;
}

int RunProgram(const std::vector<std::wstring>& words, CCommandStop* stop) {
  std::wstring program = ResolveCommandProgram(words[0]);
  if (program.empty()) {
    std::fprintf(stderr, "'%s' is not recognized as a program.\n", WideToUtf8(words[0]).c_str());
    return kNotFoundStatus;
  }
  std::fflush(nullptr);
  return RunCommandProgram(program, words, stop);
}

}  // namespace

int RunCommandLine(const std::wstring& commandLine, CCommandStop* stop) {
  int status = 0;
  for (const CommandWords& command : SplitCommandSequence(commandLine)) {
    if (command.onlyAfterSuccess && status != 0) continue;
    std::wstring name = ToLowerText(command.words[0]);
    bool stopped = stop != nullptr && stop->Stopped();
    if (name == L"pause") {
      // The pause keeps the window open; how the line went is still the command's before it.
      if (!stopped) RunPause(stop);
    } else if (stopped) {
      return kStoppedStatus;
    } else if (name == L"copy") {
      status = RunCopy(command.words);
    } else {
      status = RunProgram(command.words, stop);
    }
  }
  return status;
}

int RunCommandLine(const std::wstring& commandLine) { return RunCommandLine(commandLine, nullptr); }
