#include "exec/tool_paths.h"

std::wstring MediaInfoProgramPath() { return FindToolProgram(L"mediainfo"); }

std::wstring FfmpegProgramPath() { return FindToolProgram(L"ffmpeg"); }
