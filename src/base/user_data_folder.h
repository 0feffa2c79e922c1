#pragma once
// The user's own folder for what the program keeps between runs, apart from its settings: the
// reports of past runs, the journals of runs in progress. Only this user may enter it (see
// MakePrivateFolder), so nobody else can read a report or plant a journal.
#include <string>

// The folder name inside the user's application data, with its trailing separator, created
// (with its parents) when missing; empty when no safe one can be had.
//   Windows: %LOCALAPPDATA%\Kestrune\<name>\.
//   POSIX: $XDG_STATE_HOME/kestrune/<name>/ when that variable is an absolute path, else
//   $HOME/.local/state/kestrune/<name>/.
std::wstring UserDataFolder(const std::wstring& name);
