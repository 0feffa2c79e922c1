#include <limits.h>
#include <unistd.h>

#include <cstdlib>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"

std::wstring GetProgramDir() {
  // KESTRUNE_PROGRAM_DIR lets a test or a packager name the folder that holds the tools.
  if (const char* overridden = std::getenv("KESTRUNE_PROGRAM_DIR")) {
    std::wstring dir = Utf8ToWide(overridden);
    if (!dir.empty() && dir.back() != kPathSeparator) dir += kPathSeparator;
    return dir;
  }
  char buffer[PATH_MAX];
  ssize_t size = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (size <= 0) return std::wstring();
  std::wstring path = Utf8ToWide(std::string(buffer, static_cast<size_t>(size)));
  size_t slash = path.rfind(kPathSeparator);
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring GetProgramName() {
  char buffer[PATH_MAX];
  ssize_t size = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (size <= 0) return std::wstring();
  std::wstring name = Utf8ToWide(std::string(buffer, static_cast<size_t>(size)));
  size_t slash = name.rfind(kPathSeparator);
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) name.erase(dot);
  return name;
}

bool EnterProgramDir() {
  SetProgramDir(GetProgramDir());
  SetCurrentDir(ProgramDir());
  return true;
}

std::wstring GetCurrentDir() {
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer) == nullptr) return std::wstring();
  return Utf8ToWide(buffer);
}

bool SetCurrentDir(const std::wstring& dir) {
  return !dir.empty() && chdir(PathToNative(dir).c_str()) == 0;
}
