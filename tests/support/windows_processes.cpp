#include "support/windows_processes.h"

#ifdef _WIN32
#include <windows.h>
// after windows.h, which it needs
#include <tlhelp32.h>

#include "base/text.h"

std::vector<unsigned long> ChildProcessIds(unsigned long processId, const std::wstring& name) {
  std::vector<unsigned long> children;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return children;
  PROCESSENTRY32W entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID != processId) continue;
    if (!name.empty() && ToLowerText(entry.szExeFile) != ToLowerText(name)) continue;
    children.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return children;
}

bool DeliverConsoleEvent(unsigned long processId, unsigned long event) {
  FARPROC routine = GetProcAddress(GetModuleHandleW(L"kernelbase.dll"), "CtrlRoutine");
  HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
  if (routine == nullptr || process == nullptr) {
    if (process != nullptr) CloseHandle(process);
    return false;
  }
  HANDLE thread = CreateRemoteThread(
      process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(routine)),
      reinterpret_cast<void*>(static_cast<DWORD_PTR>(event)), 0, nullptr);
  CloseHandle(process);
  if (thread == nullptr) return false;
  CloseHandle(thread);
  return true;
}

bool WaitForProcessEnd(unsigned long processId, unsigned long millis) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (process == nullptr) return true;
  bool ended = WaitForSingleObject(process, millis) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}
#endif
