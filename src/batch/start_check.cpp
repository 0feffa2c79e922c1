#include "batch/start_check.h"

#include <string>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/trace.h"
#include "exec/program_lookup.h"

namespace {
constexpr int kFileNotFound = 2;
}  // namespace

bool IsMediaInfoPresent() {
#ifdef _WIN32
  return FileExists(ProgramDir() + L"mediainfo.exe");
#else
  // Natively MediaInfo may also come from PATH (Debian's mediainfo package).
  return !MediaInfoProgramPath().empty();
#endif
}

MissingTool FindMissingTool() {
  std::wstring found;
  int code = FindExecutablePath(L"ffmpeg.exe", found);
  DebugLog(L"%X-[%s]", code, found);
  if (code == kFileNotFound) return MISSING_FFMPEG;
  if (!IsMediaInfoPresent()) return MISSING_MEDIAINFO;
  return MISSING_NONE;
}
