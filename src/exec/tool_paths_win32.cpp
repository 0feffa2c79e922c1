#include "base/file_util.h"
#include "base/program_dir.h"
#include "exec/tool_paths.h"

// Windows keeps the tools beside the program, nowhere else.
std::wstring ProgramFolderToolPath(const std::wstring& tool) { return ProgramDir() + tool + L".exe"; }

std::wstring FindToolProgram(const std::wstring& tool) {
  std::wstring path = ProgramFolderToolPath(tool);
  return FileExists(path) ? path : std::wstring();
}
