#include <windows.h>
// needs <windows.h> first
#include <shlobj.h>

#include <string>

#include "base/private_folder.h"
#include "probe/report_folder.h"

std::wstring UserReportFolder() {
  wchar_t buffer[MAX_PATH] = {0};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                              buffer)))
    return std::wstring();
  return MakePrivateFolder(buffer, L"Kestrune", PRIVATE_FOLDER_OWN_OR_NEW);
}
