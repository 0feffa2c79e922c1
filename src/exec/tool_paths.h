#pragma once
// Where the external tools are: ProgramDir() + "mediainfo.exe" / "ffmpeg.exe" on Windows; on
// POSIX the program folder first (ProgramDir(), then GetProgramDir()), then the folders of
// KESTRUNE_TOOL_PATH when that variable is set (an empty value: nowhere), else PATH
// ("mediainfo", "ffmpeg").
#include <string>

// The MediaInfo program to hand to exec.bat / exec.sh; empty when there is none.
std::wstring MediaInfoProgramPath();
// The ffmpeg program; empty when there is none.
std::wstring FfmpegProgramPath();

// The tool of that base name ("ffmpeg", "mediainfo") by the search above; empty when none.
std::wstring FindToolProgram(const std::wstring& tool);
// Where the program folder's copy of the tool would be (ProgramDir() + tool, with ".exe" on
// Windows): the path named when a tool is missing.
std::wstring ProgramFolderToolPath(const std::wstring& tool);
