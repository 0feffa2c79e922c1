#include "exec/program_lookup.h"

#include "base/file_util.h"
#include "base/program_dir.h"

#ifdef _WIN32
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "base/text.h"
#endif

std::wstring MediaInfoProgramPath() { return FindToolProgram(L"mediainfo"); }

std::wstring FfmpegProgramPath() { return FindToolProgram(L"ffmpeg"); }

#ifdef _WIN32
int FindExecutablePath(const std::wstring& name, std::wstring& found) {
  wchar_t buffer[1024] = {0};
  INT_PTR code = reinterpret_cast<INT_PTR>(FindExecutableW(name.c_str(), nullptr, buffer));
  found = buffer;
  return static_cast<int>(code);
}

// Windows keeps the tools beside the program, nowhere else.
std::wstring ProgramFolderToolPath(const std::wstring& tool) { return ProgramDir() + tool + L".exe"; }

std::wstring FindToolProgram(const std::wstring& tool) {
  std::wstring path = ProgramFolderToolPath(tool);
  return FileExists(path) ? path : std::wstring();
}
#else
namespace {

// What the Windows lookup answers: above 32 found, 2 not found, 31 (no program associated)
// for a file that exists but cannot be run.
constexpr int FIND_FOUND = 42;
constexpr int FIND_NOT_FOUND = 2;
constexpr int FIND_NOT_RUNNABLE = 31;

bool IsRegularFile(const std::wstring& path) {
  struct stat info;
  return stat(PathToNative(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty() || folder.back() == L'/') return folder + name;
  return folder + L"/" + name;
}

// Windows names programs without regard to case and with or without ".exe": try the name as
// given, then without (or with) ".exe", then both in lower case.
std::vector<std::wstring> NameVariants(const std::wstring& name) {
  std::vector<std::wstring> variants;
  auto add = [&](const std::wstring& variant) {
    for (const std::wstring& known : variants)
      if (known == variant) return;
    variants.push_back(variant);
  };
  bool hasExe = name.size() > 4 && ToLowerText(name.substr(name.size() - 4)) == L".exe";
  std::wstring other = hasExe ? name.substr(0, name.size() - 4) : name + L".exe";
  add(name);
  add(other);
  add(ToLowerText(name));
  add(ToLowerText(other));
  return variants;
}

std::vector<std::wstring> SplitFolders(const std::string& folders) {
  std::vector<std::wstring> list;
  size_t start = 0;
  while (start <= folders.size()) {
    size_t colon = folders.find(':', start);
    if (colon == std::string::npos) colon = folders.size();
    list.push_back(Utf8ToWide(folders.substr(start, colon - start)));
    start = colon + 1;
  }
  return list;
}

}  // namespace

bool IsRunnableFile(const std::wstring& path) {
  return IsRegularFile(path) && access(PathToNative(path).c_str(), X_OK) == 0;
}

std::wstring SearchFolderList(const std::string& folders, const std::wstring& name) {
  if (folders.empty()) return std::wstring();
  for (const std::wstring& folder : SplitFolders(folders)) {
    std::wstring candidate = JoinPath(folder.empty() ? GetCurrentDir() : folder, name);
    if (IsRunnableFile(candidate)) return candidate;
  }
  return std::wstring();
}

int FindExecutablePath(const std::wstring& name, std::wstring& found) {
  found.clear();
  if (name.empty()) return FIND_NOT_FOUND;
  std::vector<std::wstring> folders;
  std::wstring base = name;
  size_t slash = name.rfind(L'/');
  if (slash != std::wstring::npos) {
    folders.push_back(name.substr(0, slash + 1));  // a path: only where it points
    base = name.substr(slash + 1);
    if (base.empty()) return FIND_NOT_FOUND;
  } else {
    folders.push_back(GetCurrentDir());
    const char* path = std::getenv("PATH");
    if (path != nullptr && *path != '\0')
      for (const std::wstring& folder : SplitFolders(path))
        folders.push_back(folder.empty() ? GetCurrentDir() : folder);
  }
  std::wstring existing;
  for (const std::wstring& folder : folders) {
    for (const std::wstring& variant : NameVariants(base)) {
      std::wstring candidate = JoinPath(folder, variant);
      if (!IsRegularFile(candidate)) continue;
      if (access(PathToNative(candidate).c_str(), X_OK) == 0) {
        found = candidate;
        return FIND_FOUND;
      }
      if (existing.empty()) existing = candidate;
    }
  }
  if (existing.empty()) return FIND_NOT_FOUND;
  found = existing;
  return FIND_NOT_RUNNABLE;
}

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
#endif
