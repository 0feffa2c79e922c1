#pragma once
// Runs one command line through the platform's command interpreter and waits until it has
// ended: _wsystem on Windows. On POSIX our own small interpreter, which starts every program
// directly with posix_spawn, never through a shell, so no character of a file name is ever
// interpreted:
//   - "&" outside double quotes separates commands, run in order; "&&" runs the next one only
//     after a success. Quotes are counted by the Windows argument rules, so an escaped quote
//     inside a quoted name never exposes an "&" (see command_line_split.h).
//   - Words are split by the Windows rules. Nothing else is special: no variables, carets,
//     redirections or pipes.
//   - "pause" waits for Enter when standard input is a terminal and is skipped without one.
//   - "copy /b a + b  c" joins a and b byte for byte into c (see copy_command.h).
//   - FFMpeg.exe, ffmpeg, mediainfo (any case, with or without ".exe") resolve like
//     FindToolProgram: the program folder, then KESTRUNE_TOOL_PATH or PATH; "unzip" on PATH;
//     a name with a folder as written; any other name as FindExecutablePath finds it.
//   - A program that cannot be found or started gives 9009, as on Windows.
#include <string>

// The exit status of the interpreter (on POSIX: of the last command run); -1 when it could
// not run at all.
int RunCommandLine(const std::wstring& commandLine);
