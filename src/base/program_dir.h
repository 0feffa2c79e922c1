#pragma once
// The program folder: where the external tools, exec.bat, media.txt and downloaded archives
// live. Every path to them is ProgramDir() followed by a file name.
#include <string>

// The folder of the running executable with its trailing separator; empty when unknown.
std::wstring GetProgramDir();

// The program's name: the running executable's file name without its extension ("kestrune"
// for kestrune.exe); empty when unknown.
std::wstring GetProgramName();

// The process-wide program folder: empty until set. Safe from any thread.
std::wstring ProgramDir();
void SetProgramDir(const std::wstring& dir);

// Refreshes ProgramDir from GetProgramDir and makes it the current drive and directory.
// Always true; failures of the directory change are ignored.
bool EnterProgramDir();

// Current directory of the process, and a change of it (false on failure).
std::wstring GetCurrentDir();
bool SetCurrentDir(const std::wstring& dir);
