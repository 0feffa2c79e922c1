#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include "exec/find_executable.h"

int FindExecutablePath(const std::wstring& name, std::wstring& found) {
  wchar_t buffer[1024] = {0};
  INT_PTR code = reinterpret_cast<INT_PTR>(FindExecutableW(name.c_str(), nullptr, buffer));
  found = buffer;
  return static_cast<int>(code);
}
