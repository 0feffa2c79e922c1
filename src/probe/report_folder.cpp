#include "probe/report_folder.h"

#include <string>

#include "base/private_folder.h"

#ifdef _WIN32
#include <windows.h>
// needs <windows.h> first
#include <shlobj.h>
#else
#include <unistd.h>

#include <cstdlib>

#include "base/text.h"
#endif

#ifdef _WIN32
std::wstring UserReportFolder() {
  wchar_t buffer[MAX_PATH] = {0};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                              buffer)))
    return std::wstring();
  return MakePrivateFolder(buffer, L"Kestrune", PRIVATE_FOLDER_OWN_OR_NEW);
}
#else
std::wstring UserReportFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::wstring folder = MakePrivateFolder(Utf8ToWide(runtime != nullptr ? runtime : ""), L"kestrune",
                                          PRIVATE_FOLDER_OWN_OR_NEW);
  if (folder.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string parent = tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
    folder = MakePrivateFolder(Utf8ToWide(parent), L"kestrune-" + std::to_wstring(geteuid()),
                               PRIVATE_FOLDER_OWN_OR_NEW);
  }
  return folder;
}
#endif

std::wstring ReportFolder(const std::wstring& programDir) {
  if (CanCreateFileIn(programDir)) return programDir;
  return UserReportFolder();
}
