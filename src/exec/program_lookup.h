#pragma once
// Where programs are: the platform's usual search for a program by name (FindExecutableW on
// Windows; elsewhere the current folder, then PATH, each with and without ".exe", the name as
// written and in lower case, since Windows names ignore case), and where the external tools
// are: ProgramDir() + "mediainfo.exe" / "ffmpeg.exe" on Windows; on POSIX the program folder
// first (ProgramDir(), then GetProgramDir()), then the folders of KESTRUNE_TOOL_PATH when that
// variable is set (an empty value: nowhere), else PATH ("mediainfo", "ffmpeg").
#include <string>

// Greater than 32 when found (found receives its path); 2 when the file does not exist;
// another code of 32 or less for other failures (on POSIX 31, as for a file no program is
// associated with, when the file exists but cannot be run).
int FindExecutablePath(const std::wstring& name, std::wstring& found);

// The MediaInfo program to hand to exec.bat / exec.sh; empty when there is none.
std::wstring MediaInfoProgramPath();
// The ffmpeg program; empty when there is none.
std::wstring FfmpegProgramPath();

// The tool of that base name ("ffmpeg", "mediainfo") by the search above; empty when none.
std::wstring FindToolProgram(const std::wstring& tool);
// Where the program folder's copy of the tool would be (ProgramDir() + tool, with ".exe" on
// Windows): the path named when a tool is missing.
std::wstring ProgramFolderToolPath(const std::wstring& tool);

#ifndef _WIN32
// A regular file this process may execute.
bool IsRunnableFile(const std::wstring& path);

// The first folder of a colon-separated list that holds a runnable file of that name, joined
// with it; empty when none does. An empty entry of the list is the current folder.
std::wstring SearchFolderList(const std::string& folders, const std::wstring& name);
#endif
