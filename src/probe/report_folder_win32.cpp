#include <windows.h>
// needs <windows.h> first
#include <shlobj.h>

#include <atomic>
#include <string>

#include "probe/report_folder.h"

namespace {
std::atomic<unsigned> writeTests{0};
}  // namespace

bool CanCreateFileIn(const std::wstring& folder) {
  std::wstring base = folder.empty() ? std::wstring(L".\\") : folder;
  if (base.back() != L'\\' && base.back() != L'/') base += L'\\';
  // A new file of this process and this call, deleted by the system when its handle closes.
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::wstring name = base + L".kestrune-write-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                        std::to_wstring(writeTests.fetch_add(1));
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

std::wstring UserReportFolder() {
  wchar_t buffer[MAX_PATH] = {0};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                              buffer)))
    return std::wstring();
  std::wstring folder = std::wstring(buffer) + L"\\Kestrune";
  if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    return std::wstring();
  folder += L'\\';
  return CanCreateFileIn(folder) ? folder : std::wstring();
}
