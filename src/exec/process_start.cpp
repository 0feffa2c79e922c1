#include "exec/process_start.h"

#ifdef _WIN32
#include <windows.h>
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
uint32_t CreateProcessPatiently(const wchar_t* application, const std::wstring& commandLine, bool inheritHandles,
                                unsigned long flags, const wchar_t* folder, STARTUPINFOW& startup,
                                PROCESS_INFORMATION& info) {
  return StartPatiently([&] {
    std::wstring writable = commandLine;
    return CreateProcessW(application, &writable[0], nullptr, nullptr, inheritHandles ? TRUE : FALSE, flags, nullptr,
                          folder, &startup, &info)
               ? 0u
               : static_cast<uint32_t>(GetLastError());
  });
}
#endif
