// The program the launch and interpreter tests start. It appends one record of what it was
// given to the file named by KESTRUNE_WITNESS:
//   begin / pid=N / self=PROGRAM / cwd=FOLDER / show=... / arg=TEXT (one per argument, UTF-8) / end
// self is the program's own path (argv[0] on POSIX, the module path on Windows).
// show is "flags=F window=W" from the start-up record on Windows, and on POSIX "null" when
// its standard output is /dev/null (started hidden), "stream" otherwise. A first argument
// "--exit=N" makes it exit with status N, and "--sleep=N" makes it wait N seconds after
// writing its record and then exit with 0 (the argument is recorded too). input is what its
// standard input is: "null" (the null device), "file", "pipe", "terminal" (a console on
// Windows), "none" or "other". On Windows "--interrupt-console" makes it press Ctrl-C in its
// own console after its record (every process attached to it gets the event, as when the user
// types it) and then wait 10 seconds; a Ctrl-C that reaches it ends it with
// STATUS_CONTROL_C_EXIT, as Windows' own handling does (Wine's would exit with 0). A first
// argument "--peek=N" has it record, before it opens anything itself, what it reads from the
// start of the file behind descriptor N (POSIX) or handle value N (Windows) as "peek=TEXT", or
// "peek=none" when it has no such file open: so a test sees whether it inherited a file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
const char* InputKind() {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (input == nullptr || input == INVALID_HANDLE_VALUE) return "none";
  DWORD mode = 0;
  if (GetConsoleMode(input, &mode)) return "terminal";
  switch (GetFileType(input)) {
    case FILE_TYPE_CHAR:
      return "null";
    case FILE_TYPE_DISK:
      return "file";
    case FILE_TYPE_PIPE:
      return "pipe";
    default:
      return "other";
  }
}

BOOL WINAPI EndByCtrlC(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}
#else
const char* InputKind() {
  struct stat input, null;
  if (fstat(0, &input) != 0) return "none";
  if (isatty(0)) return "terminal";
  if (S_ISCHR(input.st_mode) && stat("/dev/null", &null) == 0 && input.st_rdev == null.st_rdev) return "null";
  if (S_ISREG(input.st_mode)) return "file";
  if (S_ISFIFO(input.st_mode)) return "pipe";
  return "other";
}
#endif

// What "--peek=N" asks for (see above).
std::string Peek(long long value) {
  char buffer[64] = {0};
#ifdef _WIN32
  OVERLAPPED start{};
  DWORD got = 0;
  HANDLE file = reinterpret_cast<HANDLE>(static_cast<intptr_t>(value));
  if (GetFileType(file) != FILE_TYPE_DISK || !ReadFile(file, buffer, sizeof buffer - 1, &got, &start))
    return "none";
#else
  ssize_t got = pread(static_cast<int>(value), buffer, sizeof buffer - 1, 0);
  if (got < 0) return "none";
#endif
  return std::string(buffer, static_cast<size_t>(got));
}

#ifdef _WIN32
std::string Utf8(const wchar_t* text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? static_cast<size_t>(size) : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}
#endif

int NumberAfter(const std::string& first, const std::string& prefix) {
  if (first.compare(0, prefix.size(), prefix) != 0) return 0;
  return std::atoi(first.c_str() + prefix.size());
}

int Finish(const std::string& first) {
  for (int second = NumberAfter(first, "--sleep="); second > 0; --second) {
#ifdef _WIN32
    Sleep(1000);
#else
    sleep(1);
#endif
  }
  return NumberAfter(first, "--exit=");
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  const std::string peek =
      argc > 1 && wcsncmp(argv[1], L"--peek=", 7) == 0 ? Peek(std::wcstoll(argv[1] + 7, nullptr, 10)) : "";
  const wchar_t* target = _wgetenv(L"KESTRUNE_WITNESS");
  if (target == nullptr) return 90;
  FILE* out = _wfopen(target, L"ab");
  if (out == nullptr) return 91;
  wchar_t cwd[2048] = {0};
  _wgetcwd(cwd, 2048);
  STARTUPINFOW startup;
  GetStartupInfoW(&startup);
  wchar_t self[2048] = {0};
  GetModuleFileNameW(nullptr, self, 2048);
  SetConsoleCtrlHandler(EndByCtrlC, TRUE);
  std::fprintf(out, "begin\npid=%lu\nself=%s\ncwd=%s\nshow=flags=%lu window=%u\ninput=%s\n",
               GetCurrentProcessId(), Utf8(self).c_str(), Utf8(cwd).c_str(), startup.dwFlags,
               static_cast<unsigned>(startup.wShowWindow), InputKind());
  std::string first;
  for (int i = 1; i < argc; ++i) {
    std::string arg = Utf8(argv[i]);
    if (i == 1) first = arg;
    std::fprintf(out, "arg=%s\n", arg.c_str());
  }
#else
int main(int argc, char** argv) {
  const std::string peek =
      argc > 1 && std::strncmp(argv[1], "--peek=", 7) == 0 ? Peek(std::atoll(argv[1] + 7)) : "";
  const char* target = std::getenv("KESTRUNE_WITNESS");
  if (target == nullptr) return 90;
  FILE* out = std::fopen(target, "ab");
  if (out == nullptr) return 91;
  char cwd[4096] = {0};
  if (getcwd(cwd, sizeof cwd) == nullptr) cwd[0] = '\0';
  struct stat output, null;
  bool toNull = fstat(1, &output) == 0 && stat("/dev/null", &null) == 0 && S_ISCHR(output.st_mode) &&
                output.st_rdev == null.st_rdev;
  std::fprintf(out, "begin\npid=%ld\nself=%s\ncwd=%s\nshow=%s\ninput=%s\n", static_cast<long>(getpid()),
               argv[0], cwd, toNull ? "null" : "stream", InputKind());
  std::string first;
  for (int i = 1; i < argc; ++i) {
    if (i == 1) first = argv[i];
    std::fprintf(out, "arg=%s\n", argv[i]);
  }
#endif
  if (!peek.empty()) std::fprintf(out, "peek=%s\n", peek.c_str());
  std::fputs("end\n", out);
  std::fclose(out);
#ifdef _WIN32
  if (first == "--interrupt-console") {
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    Sleep(10000);
    return 0;
  }
#endif
  return Finish(first);
}
