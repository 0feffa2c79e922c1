#pragma once
// Runs one command line and waits until it has ended. The same small interpreter on every
// platform, so a command text means the same programs and arguments everywhere and no file
// name is ever interpreted by a shell (Windows' cmd.exe expands %NAME% even inside quotes):
//   - "&" outside double quotes separates commands, run in order; "&&" runs the next one only
//     after a success. Quotes are counted by the Windows argument rules, so an escaped quote
//     inside a quoted name never exposes an "&" (see command_line_split.h).
//   - Words are split by the Windows rules. Nothing else is special: no variables, carets,
//     redirections or pipes.
//   - Every program is started directly with its words as its arguments (POSIX: fork and exec;
//     Windows: CreateProcessW with a command line rebuilt by the same rules; a batch file, which
//     only cmd.exe can run, goes through cmd.exe), tied to this process so that it ends with it
//     (see tied_child.h). Its standard input is the null device: a program never reads what
//     was meant for the caller (see CommandInput for the one exception).
//   - "pause" waits for a key: POSIX reads a line from a terminal and goes on at once without
//     one; Windows runs cmd.exe's own pause, which needs no file name, on the standard input.
//   - "copy /b a + b  c" joins a and b byte for byte into c (see copy_command.h).
//   - FFMpeg.exe, ffmpeg, mediainfo (any case, with or without ".exe") resolve like
//     FindToolProgram, then on PATH; "unzip" is the system's; a name with a folder is taken as
//     written; any other name is looked up in the current folder, then on PATH.
//   - A program that cannot be found or started gives 9009, as cmd.exe does.
// The status of a line is that of its last command other than "pause": a line ending in
// " & pause" reports how the program before the pause ended.
#include <string>

class CCommandErrorPipe;
class CCommandStop;

// The standard input of the programs a line starts. "pause" is the interpreter's own and always
// reads the caller's input.
enum CommandInput {
  COMMAND_INPUT_NULL = 0,   // the null device: a list piped into the caller, or the keys typed at
                            // its terminal, are never taken (ffmpeg reads keys, and on a terminal
                            // changes its settings)
  COMMAND_INPUT_INHERITED,  // Windows: this process's own input, for the console of its own that
                            // hosts a line of the window, where the user may press keys for the
                            // program; POSIX treats it as COMMAND_INPUT_NULL
};

// The status of the line (see above); -1 when a program could not be waited for. With stop,
// a Stop() from another thread ends the program running now and starts no further command
// (a pause is skipped); a command that the stop ended or kept from starting gives the line
// kStoppedStatus, while a program that had already finished keeps its own status.
int RunCommandLine(const std::wstring& commandLine, CCommandStop* stop);
// The same, with the standard error of the line's programs, and the interpreter's own messages
// about it, going into errors when it is open (see command_error_pipe.h).
int RunCommandLine(const std::wstring& commandLine, CCommandStop* stop, CCommandErrorPipe* errors,
                   CommandInput input = COMMAND_INPUT_NULL);
int RunCommandLine(const std::wstring& commandLine);

constexpr int kStoppedStatus = 130;
// The interpreter's status for a program it cannot find or start.
constexpr int kNotFoundStatus = 9009;
