#include <windows.h>

#include <cstdlib>
#include <vector>

#include "base/command_quoting.h"
#include "base/file_util.h"
#include "base/text.h"
#include "exec/command_interpreter.h"
#include "exec/command_programs.h"
#include "exec/command_stop.h"
#include "exec/process_start.h"
#include "exec/program_lookup.h"
#include "exec/tied_child.h"

namespace {

bool HasFolder(const std::wstring& name) { return name.find_first_of(L"\\/:") != std::wstring::npos; }

bool EndsWithNoCase(const std::wstring& text, const wchar_t* ending) {
  std::wstring lower = ToLowerText(text);
  std::wstring tail(ending);
  return lower.size() >= tail.size() && lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
}

bool IsBatchFile(const std::wstring& path) {
  return EndsWithNoCase(path, L".bat") || EndsWithNoCase(path, L".cmd");
}

bool IsFile(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The name as given when it has an extension, then with each extension cmd.exe tries.
std::wstring FindWithExtensions(const std::wstring& base) {
  size_t slash = base.find_last_of(L"\\/:");
  size_t dot = base.rfind(L'.');
  bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
  if (hasExtension && IsFile(base)) return base;
  for (const wchar_t* extension : {L".com", L".exe", L".bat", L".cmd"}) {
    if (IsFile(base + extension)) return base + extension;
  }
  return std::wstring();
}

std::wstring JoinFolder(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty()) return name;
  wchar_t last = folder.back();
  return last == L'\\' || last == L'/' ? folder + name : folder + L"\\" + name;
}

// cmd.exe's search: the current folder, then every folder of PATH.
std::wstring SearchProgram(const std::wstring& name) {
  if (HasFolder(name)) return FindWithExtensions(name);
  wchar_t current[MAX_PATH * 4] = {0};
  DWORD length = GetCurrentDirectoryW(MAX_PATH * 4, current);
  if (length > 0 && length < MAX_PATH * 4) {
    std::wstring found = FindWithExtensions(JoinFolder(current, name));
    if (!found.empty()) return found;
  }
  const wchar_t* path = _wgetenv(L"PATH");
  if (path == nullptr) return std::wstring();
  std::wstring folders(path);
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(L';', start);
    if (end == std::wstring::npos) end = folders.size();
    std::wstring folder = folders.substr(start, end - start);
    if (!folder.empty()) {
      std::wstring found = FindWithExtensions(JoinFolder(folder, name));
      if (!found.empty()) return found;
    }
    start = end + 1;
  }
  return std::wstring();
}

std::wstring SystemCommandInterpreter() {
  wchar_t folder[MAX_PATH] = {0};
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return L"cmd.exe";
  return JoinFolder(folder, L"cmd.exe");
}

// The standard handles this process hands to the programs it starts, as inheritable copies:
// its own output and error, and its own input or the null device; none when it has no output
// or error of its own (the program then gets a console of its own).
class CInheritedStdHandles {
 public:
  explicit CInheritedStdHandles(CommandInput input) {
    const DWORD which[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    HANDLE self = GetCurrentProcess();
    for (int i = 0; i < 3; ++i) {
      HANDLE handle = GetStdHandle(which[i]);
      if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
          !DuplicateHandle(self, handle, self, &handles_[i], 0, TRUE, DUPLICATE_SAME_ACCESS)) {
        handles_[i] = nullptr;
      }
    }
    if (input == COMMAND_INPUT_NULL) {
      if (handles_[0] != nullptr) CloseHandle(handles_[0]);
      SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
      handles_[0] = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                OPEN_EXISTING, 0, nullptr);
      if (handles_[0] == INVALID_HANDLE_VALUE) handles_[0] = nullptr;
    }
  }
  ~CInheritedStdHandles() {
    for (HANDLE handle : handles_)
      if (handle != nullptr) CloseHandle(handle);
  }
  CInheritedStdHandles(const CInheritedStdHandles&) = delete;
  CInheritedStdHandles& operator=(const CInheritedStdHandles&) = delete;

  bool Complete() const { return handles_[0] && handles_[1] && handles_[2]; }
  // The handles the program inherits: these three, or none.
  std::vector<void*> Inherited() const {
    return Complete() ? std::vector<void*>{handles_[0], handles_[1], handles_[2]} : std::vector<void*>();
  }
  void FillIn(STARTUPINFOW& startup) const {
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = handles_[0];
    startup.hStdOutput = handles_[1];
    startup.hStdError = handles_[2];
  }

 private:
  HANDLE handles_[3] = {nullptr, nullptr, nullptr};
};

// Starts application with commandLine on this process's standard handles (the input as input
// says) and waits for it. The program starts suspended until it is tied to this process, so
// nothing it starts escapes the tie either.
int StartAndWait(const std::wstring& application, const std::wstring& commandLine, CCommandStop* stop,
                 CommandInput input) {
  if (stop != nullptr && stop->Stopped()) return kStoppedStatus;
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  CInheritedStdHandles std(input);
  if (std.Complete()) std.FillIn(startup);
  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof info);
  if (CreateProcessPatiently(application.c_str(), commandLine, std.Inherited(), CREATE_SUSPENDED, nullptr,
                             startup, info) != 0)
    return kNotFoundStatus;
  TieToThisProcess(info.hProcess);
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  HANDLE process = info.hProcess;
  int ticket = 0;
  if (stop != nullptr) {
    ticket = stop->Add([process] { TerminateProcess(process, kStoppedStatus); });
    if (ticket == 0) TerminateProcess(process, kStoppedStatus);
  }
  WaitForSingleObject(process, INFINITE);
  if (ticket != 0) stop->Remove(ticket);
  DWORD code = 0;
  int status = GetExitCodeProcess(process, &code) ? static_cast<int>(code) : -1;
  CloseHandle(process);
  return status;
}

}  // namespace

std::wstring ResolveCommandProgram(const std::wstring& name) {
  std::wstring lower = ToLowerText(name);
  std::wstring tool;
  if (lower == L"ffmpeg" || lower == L"ffmpeg.exe") tool = FindToolProgram(L"ffmpeg");
  if (lower == L"mediainfo" || lower == L"mediainfo.exe") tool = FindToolProgram(L"mediainfo");
  return tool.empty() ? SearchProgram(name) : tool;
}

// errors never opens on Windows: the programs write into the console.
int RunCommandProgram(const std::wstring& program, const std::vector<std::wstring>& words, CCommandStop* stop,
                      CCommandErrorPipe*, CommandInput input) {
  std::wstring arguments;
  for (size_t i = 1; i < words.size(); ++i) arguments += L" " + QuoteArgument(words[i]);
  if (IsBatchFile(program)) {
    // Only cmd.exe runs a batch file. The system's own batch files (unzip.bat) take fixed names.
    std::wstring interpreter = SystemCommandInterpreter();
    return StartAndWait(interpreter, L"cmd.exe /d /s /c \"" + QuoteArgument(program) + arguments + L"\"",
                        stop, input);
  }
  return StartAndWait(program, QuoteArgument(program) + arguments, stop, input);
}

// cmd.exe's own pause on this process's standard input: it names no file, so nothing in it
// can be expanded.
void RunPause(CCommandStop* stop) {
  StartAndWait(SystemCommandInterpreter(), L"cmd.exe /d /c pause", stop, COMMAND_INPUT_INHERITED);
}
