#include <windows.h>

#include <atomic>
#include <string>

#include "base/file_util.h"
#include "base/private_folder.h"

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
    HANDLE file = CreateFileW(LongPathForm(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

std::wstring MakePrivateFolder(const std::wstring& parent, const std::wstring& name, PrivateFolderUse use) {
  if (parent.empty() || name.empty()) return std::wstring();
  std::wstring folder = parent;
  if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  folder += name;
  if (!CreateDirectoryW(LongPathForm(folder).c_str(), nullptr) &&
      (GetLastError() != ERROR_ALREADY_EXISTS || use == PRIVATE_FOLDER_NEW_ONLY || !IsDirectory(folder)))
    return std::wstring();
  folder += L'\\';
  return CanCreateFileIn(folder) ? folder : std::wstring();
}
