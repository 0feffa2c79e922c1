#pragma once
// The platform half of the command interpreter: finding a program by the name a command gives,
// starting it with its words and waiting for it, and the pause.
#include <string>
#include <vector>

#include "exec/command_interpreter.h"

class CCommandErrorPipe;
class CCommandStop;

// The file that runs for the command word name; empty when there is none.
std::wstring ResolveCommandProgram(const std::wstring& name);

// Starts program with words (words[0] is the name the command gave) and waits for its end;
// its exit status, kNotFoundStatus when it cannot be started, kStoppedStatus when stop ended
// it or had come before it started. errors, when open, is the program's standard error; input
// says what its standard input is (see CommandInput).
int RunCommandProgram(const std::wstring& program, const std::vector<std::wstring>& words, CCommandStop* stop,
                      CCommandErrorPipe* errors, CommandInput input);

// "pause": waits for a key where someone can press one; a stop ends the wait.
void RunPause(CCommandStop* stop);
