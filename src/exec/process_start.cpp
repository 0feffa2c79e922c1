#include "exec/process_start.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#else
#include <cerrno>
#endif
#include <chrono>
#include <thread>

#include "base/trace.h"

#ifdef _WIN32
namespace {
constexpr uint32_t kElevationRequired = 740;  // ERROR_ELEVATION_REQUIRED, missing from older headers
}  // namespace
#endif

bool CouldStartLater(uint32_t error) {
#ifdef _WIN32
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_EXE_MACHINE_TYPE_MISMATCH:
    case ERROR_ACCESS_DENIED:
    case kElevationRequired:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
      return false;
    default:
      return error != ERROR_SUCCESS;
  }
#else
  return error == EAGAIN || error == ENOMEM;
#endif
}

uint32_t StartPatiently(const std::function<uint32_t()>& start, int pauseMs) {
  for (int tries = 1;; ++tries) {
    const uint32_t error = start();
    if (error == 0 || tries == kStartTries || !CouldStartLater(error)) return error;
    DebugLog(L"StartPatiently-retry-%u", static_cast<unsigned>(error));
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
  }
}

#ifdef _WIN32
uint32_t CreateProcessPatiently(const wchar_t* application, const std::wstring& commandLine,
                                const std::vector<void*>& inherited, unsigned long flags,
                                const wchar_t* folder, STARTUPINFOW& startup, PROCESS_INFORMATION& info) {
  // Each handle once: a list that names one twice is refused.
  std::vector<HANDLE> handles;
  for (void* handle : inherited)
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE &&
        std::find(handles.begin(), handles.end(), handle) == handles.end())
      handles.push_back(handle);
  STARTUPINFOEXW extended;
  ZeroMemory(&extended, sizeof extended);
  extended.StartupInfo = startup;
  if (!handles.empty()) extended.StartupInfo.cb = sizeof extended;
  std::vector<unsigned char> attributes;
  if (!handles.empty()) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    attributes.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &size)) return static_cast<uint32_t>(GetLastError());
    if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles.data(),
                                   handles.size() * sizeof(HANDLE), nullptr, nullptr)) {
      const uint32_t error = static_cast<uint32_t>(GetLastError());
      DeleteProcThreadAttributeList(list);
      return error;
    }
    extended.lpAttributeList = list;
  }
  const uint32_t error = StartPatiently([&] {
    std::wstring writable = commandLine;
    const DWORD extendedFlag = handles.empty() ? 0 : EXTENDED_STARTUPINFO_PRESENT;
    return CreateProcessW(application, &writable[0], nullptr, nullptr, handles.empty() ? FALSE : TRUE,
                          flags | extendedFlag, nullptr, folder, &extended.StartupInfo, &info)
               ? 0u
               : static_cast<uint32_t>(GetLastError());
  });
  if (extended.lpAttributeList != nullptr) DeleteProcThreadAttributeList(extended.lpAttributeList);
  return error;
}
#endif
