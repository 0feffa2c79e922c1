#include "base/process_stamp.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "base/text.h"
#endif

#ifdef _WIN32
uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

std::wstring ProcessStamp(uint32_t pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return std::wstring();
  std::wstring stamp;
  FILETIME created, exited, kernel, user;
  // A process that has ended lives on as an object while a handle to it is open.
  if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT &&
      GetProcessTimes(process, &created, &exited, &kernel, &user))
    stamp = std::to_wstring((static_cast<unsigned long long>(created.dwHighDateTime) << 32) |
                            created.dwLowDateTime);
  CloseHandle(process);
  return stamp;
}
#else
namespace {
std::string FirstLineOf(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}
}  // namespace

uint32_t CurrentProcessId() { return static_cast<uint32_t>(getpid()); }

std::wstring ProcessStamp(uint32_t pid) {
  // "pid (name) state ppid ...": the name may hold blanks and parentheses, so the fields are
  // counted from the last ")"; the state is the 3rd field and the start time the 22nd.
  const std::string stat = FirstLineOf("/proc/" + std::to_string(pid) + "/stat");
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return std::wstring();
  std::istringstream fields(stat.substr(close + 1));
  std::string state, field;
  int number = 3;
  if (!(fields >> state)) return std::wstring();
  while (number < 22 && fields >> field) ++number;
  if (number != 22 || state == "Z" || state == "X") return std::wstring();
  const std::string boot = FirstLineOf("/proc/sys/kernel/random/boot_id");
  return Utf8ToWide(boot + "/" + field);
}
#endif
