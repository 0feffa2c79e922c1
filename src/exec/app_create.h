#pragma once
// The only direct process start: runs the program named at the head of a command line (an
// ".exe" or ".bat", quoted or not) in its own folder, hidden or shown, and waits for its end.
//
// The program is the line up to its first ".exe" or ".bat" (any case), quotes removed. A
// program without a folder must exist in the current folder and runs from the program folder
// (ProgramDir). A program with a folder runs with that folder current; the drive changes too
// when the path begins with a drive letter and a colon (a network or relative path keeps the
// drive). A quoted program without a folder runs as if it were not quoted, so the quotes of
// the arguments stay balanced. Launches take turns: the current folder is the process's.
//
// Windows: CreateProcessW on the command line, no handle inheritance, NORMAL_PRIORITY_CLASS,
// SW_SHOW or SW_HIDE. POSIX: fork and exec, never through a shell; the arguments are split by
// the Windows rules; a ".bat" runs the ".sh" beside it (which is the file that must exist);
// the standard input is /dev/null, and a hidden program's output and error lead there too.
// Either way the program ends with this process (tied_child.h).
#include <cstdint>
#include <string>

// Returns the process id after the program has ended, or 0 when nothing could be started.
uint32_t AppCreate(const std::wstring& commandLine, bool show);
