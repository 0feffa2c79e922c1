#include <cstdlib>

#include "base/program_dir.h"
#include "exec/find_executable_posix.h"
#include "exec/tool_paths.h"

std::wstring ProgramFolderToolPath(const std::wstring& tool) { return ProgramDir() + tool; }

std::wstring FindToolProgram(const std::wstring& tool) {
  for (const std::wstring& folder : {ProgramDir(), GetProgramDir()}) {
    if (!folder.empty() && IsRunnableFile(folder + tool)) return folder + tool;
  }
  // KESTRUNE_TOOL_PATH, when set, replaces PATH for the tools: a packager can pin a build of
  // them, and a test can make them missing (an empty value searches nowhere).
  const char* folders = std::getenv("KESTRUNE_TOOL_PATH");
  if (folders == nullptr) folders = std::getenv("PATH");
  return folders == nullptr ? std::wstring() : SearchFolderList(folders, tool);
}
