#pragma once
// Starts a program with an argument list, hidden (no console window, nothing to read from the
// keyboard), and waits for its end. Its standard output goes into a file when one is named,
// else nowhere; its standard error goes nowhere. No command interpreter is involved, so no
// argument is ever expanded. The program's own folder is its current folder. It ends with this
// process (tied_child.h).
#include <string>
#include <vector>

// The program's exit status; -1 when it could not be started or waited for.
int RunHiddenProgram(const std::wstring& program, const std::vector<std::wstring>& arguments,
                     const std::wstring& outputFile = std::wstring());

// What RunHiddenProgramWithin gives for a program it ended because its time was up.
constexpr int kHiddenProgramTimedOut = -2;

// The same, for a program that may hang (a driver that never answers): one still running
// after timeLimitMs milliseconds is ended and gives kHiddenProgramTimedOut.
int RunHiddenProgramWithin(int timeLimitMs, const std::wstring& program,
                           const std::vector<std::wstring>& arguments,
                           const std::wstring& outputFile = std::wstring());
