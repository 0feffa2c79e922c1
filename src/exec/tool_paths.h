#pragma once
// Where the external tools are: ProgramDir() + "mediainfo.exe" / "ffmpeg.exe" on Windows; on
// POSIX the program folder first, then PATH ("mediainfo", "ffmpeg").
#include <string>

// The MediaInfo program to hand to exec.bat / exec.sh; empty when there is none.
std::wstring MediaInfoProgramPath();
// The ffmpeg program; empty when there is none.
std::wstring FfmpegProgramPath();
