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
//
// The starter may also read what the line's programs write on their standard error (ffmpeg's
// statistics, its last error line) while the console still shows all of it: the host relays
// every byte to the starter through a pipe of the host's own, named after the host's process
// id, which the starter makes before the host runs. The command text is not touched.
#include <functional>
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

// Receives, piece by piece as it comes, what the programs of a line write on their standard
// error; a piece may end anywhere, within a line or a character.
using ConsoleErrorSink = std::function<void(const std::string& bytes)>;
// The same, with errors (when not empty) receiving the line's standard error on the calling
// thread while the console shows it as it always did. Where no relay can be made the line runs
// as without one, and errors receives nothing.
int RunInOwnConsole(const std::wstring& commandLine, CCommandStop* stop, const ConsoleErrorSink& errors);

// The host's side: the marker that makes kestrune-cli.exe host a console, and the line after it.
constexpr const wchar_t* kConsoleHostMarker = L"--console-line";
// True when the raw command line of the process asks it to host a console; line receives the
// text after the marker and one blank, exactly as given.
bool IsConsoleHostCall(const std::wstring& processCommandLine, std::wstring& line);
// Runs line in this process's console until it ends, stopping it when the starter asks; the
// line's status. Its programs read the console's input, as the pause does. When the starter
// made a relay, their standard error goes through this host to the console and to the relay.
int RunConsoleHost(const std::wstring& line);
