#pragma once
// Runs one command line through the platform's command interpreter and waits until it has
// ended: _wsystem on Windows; on POSIX our own small interpreter ("&" between commands, Windows
// quoting rules, "pause", "copy /b a + b  c", the bare tool names resolved in the program
// folder then on PATH), which starts every program directly, never through a shell.
#include <string>

// The exit status of the interpreter (on POSIX: of the last command run); -1 when it could
// not run at all.
int RunCommandLine(const std::wstring& commandLine);
