#include <windows.h>
#include <direct.h>

#include <cstdlib>
#include <cwctype>

#include "base/program_dir.h"

std::wstring GetProgramDir() {
  // KESTRUNE_PROGRAM_DIR names another folder for the tools, as on POSIX; tests use it to
  // work in a copy instead of the build's program folder.
  if (const wchar_t* overridden = _wgetenv(L"KESTRUNE_PROGRAM_DIR")) {
    std::wstring dir = overridden;
    if (!dir.empty()) {
      if (dir.back() != L'\\' && dir.back() != L'/') dir += L'\\';
      return dir;
    }
  }
  wchar_t buffer[1024] = {0};
  DWORD size = GetModuleFileNameW(nullptr, buffer, 1024);
  if (size == 0 || size >= 1024) return std::wstring();
  std::wstring path(buffer, size);
  size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring GetProgramName() {
  wchar_t buffer[1024] = {0};
  DWORD size = GetModuleFileNameW(nullptr, buffer, 1024);
  if (size == 0 || size >= 1024) return std::wstring();
  std::wstring name(buffer, size);
  size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) name.erase(dot);
  return name;
}

bool EnterProgramDir() {
  SetProgramDir(GetProgramDir());
  std::wstring dir = ProgramDir();
  if (!dir.empty()) {
    // Drive letters a..z are drives 1..26; anything else (a network path) keeps the drive.
    int drive = static_cast<int>(std::towlower(dir[0])) - 96;
    if (drive >= 1 && drive <= 26) _chdrive(drive);
  }
  _wchdir(dir.c_str());
  return true;
}

std::wstring GetCurrentDir() {
  wchar_t buffer[1024] = {0};
  if (_wgetcwd(buffer, 1024) == nullptr) return std::wstring();
  return buffer;
}

bool SetCurrentDir(const std::wstring& dir) { return !dir.empty() && _wchdir(dir.c_str()) == 0; }
