#include "exec/command_interpreter.h"

#include <cstdio>
#include <vector>

#include "base/text.h"
#include "exec/command_error_pipe.h"
#include "exec/command_line_split.h"
#include "exec/command_programs.h"
#include "exec/command_stop.h"
#include "exec/copy_command.h"

namespace {

// The interpreter's own message about a line, where the line's programs write theirs.
void SayError(const std::string& text, CCommandErrorPipe* errors) {
  if (errors != nullptr && errors->IsOpen()) {
    errors->Write(text);
    return;
  }
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
}

int RunCopy(const std::vector<std::wstring>& words, CCommandErrorPipe* errors) {
  std::wstring error;
  if (RunCopyCommand(std::vector<std::wstring>(words.begin() + 1, words.end()), error)) {
    std::puts("        1 file(s) copied.");
    std::fflush(stdout);
    return 0;
  }
  SayError(WideToUtf8(error) + "\n", errors);
  return 1;
}

int RunProgram(const std::vector<std::wstring>& words, CCommandStop* stop, CCommandErrorPipe* errors,
               CommandInput input) {
  std::wstring program = ResolveCommandProgram(words[0]);
  if (program.empty()) {
    SayError("'" + WideToUtf8(words[0]) + "' is not recognized as a program.\n", errors);
    return kNotFoundStatus;
  }
  std::fflush(nullptr);
  return RunCommandProgram(program, words, stop, errors, input);
}

}  // namespace

int RunCommandLine(const std::wstring& commandLine, CCommandStop* stop, CCommandErrorPipe* errors,
                   CommandInput input) {
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
      status = RunCopy(command.words, errors);
    } else {
      status = RunProgram(command.words, stop, errors, input);
    }
  }
  return status;
}

int RunCommandLine(const std::wstring& commandLine, CCommandStop* stop) {
  return RunCommandLine(commandLine, stop, nullptr);
}

int RunCommandLine(const std::wstring& commandLine) { return RunCommandLine(commandLine, nullptr, nullptr); }
