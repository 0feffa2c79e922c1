#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "base/file_util.h"
#include "base/text.h"
#include "exec/command_interpreter.h"
#include "exec/command_line_split.h"
#include "exec/copy_command.h"
#include "exec/find_executable.h"
#include "exec/find_executable_posix.h"
#include "exec/tool_paths.h"

extern char** environ;

namespace {

// The Windows interpreter's status for a command it cannot find.
constexpr int STATUS_NOT_FOUND = 9009;

// The tool names the system's commands use resolve where the tools live; "unzip" is the
// system's own; any other name is looked up as the Windows lookup would (current folder, then
// PATH, with and without ".exe"), and a name with a folder is taken as it is.
std::wstring ResolveProgram(const std::wstring& name) {
  std::wstring lower = ToLowerText(name);
  if (lower == L"ffmpeg" || lower == L"ffmpeg.exe") return FindToolProgram(L"ffmpeg");
  if (lower == L"mediainfo" || lower == L"mediainfo.exe") return FindToolProgram(L"mediainfo");
  if (lower == L"unzip" || lower == L"unzip.exe") {
    const char* path = std::getenv("PATH");
    return path == nullptr ? std::wstring() : SearchFolderList(path, L"unzip");
  }
  if (name.find(L'/') != std::wstring::npos) return name;
  std::wstring found;
  return FindExecutablePath(name, found) > 32 ? found : std::wstring();
}

int StatusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return -1;
}

int RunProgram(const std::vector<std::wstring>& words) {
  std::wstring program = ResolveProgram(words[0]);
  if (program.empty()) {
    std::cerr << "'" << WideToUtf8(words[0]) << "' is not recognized as a program." << std::endl;
    return STATUS_NOT_FOUND;
  }
  // Every word reaches the program exactly as split: no shell ever sees a file name.
  std::vector<std::string> narrow{PathToNative(program)};
  for (size_t i = 1; i < words.size(); ++i) narrow.push_back(PathToNative(words[i]));
  std::vector<char*> argv;
  for (std::string& word : narrow) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  std::cout.flush();
  std::fflush(nullptr);
  pid_t pid = 0;
  int result = posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  if (result != 0) {
    std::cerr << "'" << WideToUtf8(words[0]) << "' cannot be started." << std::endl;
    return STATUS_NOT_FOUND;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return StatusOf(status);
}

// "pause" waits for Enter at a terminal; without one nobody could answer, so it goes on.
int RunPause() {
  if (!isatty(STDIN_FILENO)) return 0;
  std::fputs("Press Enter to continue . . . ", stdout);
  std::fflush(stdout);
  int c;
  while ((c = std::getchar()) != EOF && c != '\n') {
  }
  return 0;
}

int RunCommand(const std::vector<std::wstring>& words) {
  std::wstring lower = ToLowerText(words[0]);
  if (lower == L"pause") return RunPause();
  if (lower == L"copy") {
    std::wstring error;
    if (RunCopyCommand(std::vector<std::wstring>(words.begin() + 1, words.end()), error)) {
      std::puts("        1 file(s) copied.");
      return 0;
    }
    std::cerr << WideToUtf8(error) << std::endl;
    return 1;
  }
  return RunProgram(words);
}

}  // namespace

int RunCommandLine(const std::wstring& commandLine) {
  int status = 0;
  for (const CommandWords& command : SplitCommandSequence(commandLine)) {
    if (command.onlyAfterSuccess && status != 0) continue;
    status = RunCommand(command.words);
  }
  return status;
}
