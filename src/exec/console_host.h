#pragma once
// Runs a command line in a console window of its own, as the window's batch and its media-info
// button do: on Windows the command-line program kestrune-cli.exe beside the window's program
// is started in a new console with the line as its own command line (CreateProcessW expands
// nothing) and runs it with the interpreter of command_interpreter.h, so ffmpeg's output and a
// final pause stay in one console window that closes when the line ends. Elsewhere the line
// runs through the interpreter directly.
//
// A process whose standard input is redirected (the window tests give it NUL) hands that input
// to the console, so a pause there reads from it instead of waiting for a key.
#include <string>

class CCommandStop;

// The program that hosts the consoles: kestrune-cli.exe in the program folder (Windows).
std::wstring ConsoleHostProgram();

// The line's status as RunCommandLine gives it, so a line ending in " & pause" reports the
// program before the pause; kNotFoundStatus when the host cannot be started. stop asks the host
// to stop its line as RunCommandLine does (a program that had finished keeps its status), and
// ends the whole console (the host and every program it started) if the host has not ended
// a few seconds later. A Ctrl-C typed in that console reaches the program running there, which
// ends by it in its own way; the line then gives kStoppedStatus (unless the program finished
// with 0 anyway), and the pause after it still waits. A console closed by the user ends the line
// and its programs at once, and gives kStoppedStatus too.
int RunInOwnConsole(const std::wstring& commandLine, CCommandStop* stop);

// The host's side: the marker that makes kestrune-cli.exe host a console, and the line after it.
constexpr const wchar_t* kConsoleHostMarker = L"--console-line";
// True when the raw command line of the process asks it to host a console; line receives the
// text after the marker and one blank, exactly as given.
bool IsConsoleHostCall(const std::wstring& processCommandLine, std::wstring& line);
// Runs line in this process's console until it ends, stopping it when the starter asks; the
// line's status. Its programs read the console's input, as the pause does.
int RunConsoleHost(const std::wstring& line);
