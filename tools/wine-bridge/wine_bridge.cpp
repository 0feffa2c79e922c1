// The Wine bridge: one program, built as ffmpeg.exe, mediainfo.exe and unzip.exe, that lets
// the Windows build do real work under Wine. Each copy runs the Linux program of its own base
// name (lower case) found on the Unix PATH, with the same arguments, Windows paths turned into
// Unix paths, its standard streams and its current folder, and exits with that program's
// exit status. It is test and Linux-user infrastructure, never part of a Windows release.
//
// How a Windows process under Wine 8 starts a Linux program:
//   - CreateProcessW on the path of an ELF file does start it (ntdll sees the image is not PE
//     and falls back to fork and exec), but detached: it returns TRUE with no process handle
//     (hProcess is NULL), so nobody can wait for the program or read its exit status.
//   - ntdll exports __wine_unix_spawnvp(argv, wait). With wait set it forks, execvp()s the
//     Unix argv (searching the Unix PATH) and waits, and returns the exit status (0..255), or
//     an NTSTATUS (0xC0000034) when the program cannot be started. The bridge uses this.
//   - That child inherits the Unix side of the Wine process: Unix descriptors 0..2 and the
//     Unix current folder, and neither follows the Windows side (SetCurrentDirectoryW does not
//     chdir; the Windows standard handles may be files or pipes a parent chose). So before the
//     spawn the bridge puts each standard handle on its Unix descriptor and changes to the
//     Unix form of its Windows current folder, with direct Linux system calls (pipe2, dup2,
//     read, write, close, chdir), which code in a Wine process may make like any Linux code.
//     A file or terminal handle has a Unix descriptor of its own (ntdll's
//     wine_server_handle_to_fd), which goes onto 0..2 as it is. A Windows pipe lives in the
//     wineserver and what a Linux program writes to its descriptor never arrives, so a pipe
//     gets a Unix pipe in its place and a thread of the bridge relays the bytes between the
//     two while the program runs.
//   - kernel32's wine_get_unix_file_name turns a Windows path (X:\...) into its Unix path.
//   - A Windows program ended from outside (TerminateProcess, the end of a job) dies at once,
//     but the Linux program it started is no child Wine knows of and would run on. So the
//     Linux program runs under a small sh that watches the bridge's own Unix process and
//     kills the program when the bridge is gone: a stopped conversion stops writing.
// The environment the Linux program sees is the Unix one Wine was started with.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <cwctype>
#include <string>
#include <vector>

namespace {

using SpawnFunction = LONG(WINAPI*)(char* const argv[], int wait);
using HandleToFdFunction = LONG(CDECL*)(HANDLE handle, unsigned int access, int* fd, unsigned int* options);
using UnixFileNameFunction = char*(CDECL*)(const wchar_t* path);

constexpr long long LINUX_READ = 0;
constexpr long long LINUX_WRITE = 1;
constexpr long long LINUX_CLOSE = 3;
constexpr long long LINUX_DUP2 = 33;
constexpr long long LINUX_CHDIR = 80;
constexpr long long LINUX_PIPE2 = 293;
constexpr long long LINUX_GETPID = 39;
constexpr long long LINUX_O_CLOEXEC = 02000000;
constexpr long long LINUX_EINTR = 4;
constexpr int EXIT_NOT_STARTED = 127;

long long LinuxCall(long long number, long long a, long long b = 0, long long c = 0) {
  long long result;
  __asm__ volatile("syscall" : "=a"(result) : "a"(number), "D"(a), "S"(b), "d"(c) : "rcx", "r11", "memory");
  return result;
}

struct WineEntryPoints {
  SpawnFunction spawn = nullptr;
  HandleToFdFunction handleToFd = nullptr;
  UnixFileNameFunction unixFileName = nullptr;
};

// GetProcAddress answers a generic function pointer; the entry point's own type goes through
// void* to say that the cast is meant.
template <typename Function>
Function EntryPoint(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool LoadWineEntryPoints(WineEntryPoints& wine) {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  if (ntdll == nullptr || kernel32 == nullptr) return false;
  wine.spawn = EntryPoint<SpawnFunction>(ntdll, "__wine_unix_spawnvp");
  wine.handleToFd = EntryPoint<HandleToFdFunction>(ntdll, "wine_server_handle_to_fd");
  wine.unixFileName = EntryPoint<UnixFileNameFunction>(kernel32, "wine_get_unix_file_name");
  return wine.spawn != nullptr && wine.handleToFd != nullptr && wine.unixFileName != nullptr;
}

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                 nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr,
                      nullptr);
  return out;
}

bool IsDrivePath(const std::wstring& text) {
  return text.size() >= 3 && std::iswalpha(text[0]) && text[1] == L':' &&
         (text[2] == L'\\' || text[2] == L'/');
}

// The Unix form of a Windows path (X:\...); anything else, or a path Wine cannot map, as is.
std::string UnixPath(const WineEntryPoints& wine, const std::wstring& path) {
  if (!IsDrivePath(path)) return ToUtf8(path);
  char* unix = wine.unixFileName(path.c_str());
  if (unix == nullptr) return ToUtf8(path);
  std::string out(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

// An argument as the Linux program should see it: a drive path translated, and each drive
// path of an ffmpeg "concat:A|B|C" list translated in place.
std::string TranslateArgument(const WineEntryPoints& wine, const std::wstring& argument) {
  static const std::wstring concat = L"concat:";
  if (argument.compare(0, concat.size(), concat) != 0) return UnixPath(wine, argument);
  std::string out = ToUtf8(concat);
  size_t start = concat.size();
  while (true) {
    size_t bar = argument.find(L'|', start);
    out +=
        UnixPath(wine, argument.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
    if (bar == std::wstring::npos) break;
    out += '|';
    start = bar + 1;
  }
  return out;
}

// Lower-case base name of this executable: the Linux program to run.
std::wstring OwnToolName() {
  wchar_t buffer[MAX_PATH] = {0};
  GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  std::wstring path(buffer);
  size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
  return name;
}

// Bytes between a Unix pipe end and a Windows pipe handle, until either side ends.
struct PipeRelay {
  int unixFd = -1;
  HANDLE handle = nullptr;
  bool toWindows = true;  // Unix read end to Windows handle, or Windows handle to Unix write end
};

DWORD WINAPI RelayBytes(void* parameter) {
  PipeRelay* relay = static_cast<PipeRelay*>(parameter);
  char buffer[65536];
  while (true) {
    if (relay->toWindows) {
      long long got =
          LinuxCall(LINUX_READ, relay->unixFd, reinterpret_cast<long long>(buffer), sizeof buffer);
      if (got == -LINUX_EINTR) continue;
      if (got <= 0) break;
      DWORD written = 0;
      if (!WriteFile(relay->handle, buffer, static_cast<DWORD>(got), &written, nullptr)) break;
    } else {
      DWORD got = 0;
      if (!ReadFile(relay->handle, buffer, sizeof buffer, &got, nullptr) || got == 0) break;
      for (DWORD done = 0; done < got;) {
        long long put =
            LinuxCall(LINUX_WRITE, relay->unixFd, reinterpret_cast<long long>(buffer + done), got - done);
        if (put == -LINUX_EINTR) continue;
        if (put <= 0) return 0;
        done += static_cast<DWORD>(put);
      }
    }
  }
  LinuxCall(LINUX_CLOSE, relay->unixFd);
  return 0;
}

// Puts the Windows standard handle `which` on Unix descriptor fd. Returns the relay thread
// when a pipe needed one (nullptr otherwise); fd stays as it is when the handle has no Unix
// form (a console of Wine's own, or no handle at all).
HANDLE AttachStandardHandle(const WineEntryPoints& wine, DWORD which, int fd, PipeRelay& relay) {
  HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
  bool input = fd == 0;
  if (GetFileType(handle) == FILE_TYPE_PIPE) {
    int ends[2] = {-1, -1};
    if (LinuxCall(LINUX_PIPE2, reinterpret_cast<long long>(ends), LINUX_O_CLOEXEC) != 0) return nullptr;
    int programEnd = input ? ends[0] : ends[1];
    relay.unixFd = input ? ends[1] : ends[0];
    relay.handle = handle;
    relay.toWindows = !input;
    LinuxCall(LINUX_DUP2, programEnd, fd);  // the copy on fd is inherited, the original is not
    LinuxCall(LINUX_CLOSE, programEnd);
    return CreateThread(nullptr, 0, RelayBytes, &relay, 0, nullptr);
  }
  int unixFd = -1;
  if (wine.handleToFd(handle, input ? FILE_READ_DATA : FILE_WRITE_DATA, &unixFd, nullptr) != 0 || unixFd < 0)
    return nullptr;
  if (unixFd != fd) {
    LinuxCall(LINUX_DUP2, unixFd, fd);
    LinuxCall(LINUX_CLOSE, unixFd);
  }
  return nullptr;
}

void EnterWindowsCurrentFolder(const WineEntryPoints& wine) {
  wchar_t buffer[MAX_PATH * 4] = {0};
  DWORD size = GetCurrentDirectoryW(MAX_PATH * 4, buffer);
  if (size == 0 || size >= MAX_PATH * 4) return;
  std::string unix = UnixPath(wine, buffer);
  if (!unix.empty() && unix[0] == '/') LinuxCall(LINUX_CHDIR, reinterpret_cast<long long>(unix.c_str()));
}

void WriteError(const std::wstring& text) {
  std::string narrow = ToUtf8(text);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), narrow.data(), static_cast<DWORD>(narrow.size()), &written,
            nullptr);
}

// A Ctrl-C in the console ends the bridge as Windows ends a console program that does not
// handle it, with STATUS_CONTROL_C_EXIT; Wine's own ending says 0, which would pass a
// conversion cut short for a finished one. The Linux program goes with the bridge (see the
// watch script below).
BOOL WINAPI EndByCtrlC(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(STATUS_CONTROL_C_EXIT));
  return TRUE;
}

}  // namespace

// Runs "$@" and waits for it; kills it when the Unix process $1 (the bridge) has gone or is a
// zombie. The exit status is the program's.
const char kWatchScript[] =
    "bridge=$1; shift\n"
    "\"$@\" <&0 &\n"
    "child=$!\n"
    "{ while [ -e /proc/$bridge ] && ! grep -q '^State:[[:space:]]*Z' /proc/$bridge/status 2>/dev/null; do\n"
    "    sleep 0.2\n"
    "  done\n"
    "  kill -KILL $child; } </dev/null >/dev/null 2>&1 &\n"
    "watcher=$!\n"
    "wait $child\n"
    "status=$?\n"
    "kill $watcher 2>/dev/null\n"
    "exit $status\n";

int wmain() {
  std::wstring tool = OwnToolName();
  WineEntryPoints wine;
  if (!LoadWineEntryPoints(wine)) {
    WriteError(L"This " + tool + L".exe only forwards to the Linux " + tool + L" under Wine.\n");
    return EXIT_NOT_STARTED;
  }

  SetConsoleCtrlHandler(EndByCtrlC, TRUE);

  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> words{
      "/bin/sh",   "-c", kWatchScript, "kestrune-bridge", std::to_string(LinuxCall(LINUX_GETPID, 0)),
      ToUtf8(tool)};
  for (int i = 1; arguments != nullptr && i < count; ++i)
    words.push_back(TranslateArgument(wine, arguments[i]));
  if (arguments != nullptr) LocalFree(arguments);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);

  PipeRelay relays[3];
  AttachStandardHandle(wine, STD_INPUT_HANDLE, 0, relays[0]);
  HANDLE outputRelays[2] = {AttachStandardHandle(wine, STD_OUTPUT_HANDLE, 1, relays[1]),
                            AttachStandardHandle(wine, STD_ERROR_HANDLE, 2, relays[2])};
  EnterWindowsCurrentFolder(wine);

  LONG status = wine.spawn(argv.data(), 1);

  // The program has ended: once the bridge's own copies of its output descriptors are closed,
  // the relays read the last bytes and stop. A relay of the input is left to the exit.
  for (int fd = 1; fd <= 2; ++fd) {
    if (outputRelays[fd - 1] == nullptr) continue;
    LinuxCall(LINUX_CLOSE, fd);
    WaitForSingleObject(outputRelays[fd - 1], INFINITE);
    CloseHandle(outputRelays[fd - 1]);
  }
  if (status < 0 || status > 255) {
    WriteError(L"The Linux program " + tool + L" cannot be started (is it on PATH?).\n");
    return EXIT_NOT_STARTED;
  }
  return static_cast<int>(status);
}
