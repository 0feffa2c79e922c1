#include "base/user_data_folder.h"

#include <string>

#include "base/private_folder.h"

#ifdef _WIN32
#include <windows.h>
// needs <windows.h> first
#include <shlobj.h>
#else
#include <sys/stat.h>

#include <cstdlib>

#include "base/text.h"
#endif

namespace {

#ifdef _WIN32
std::wstring ApplicationFolder() {
  wchar_t buffer[MAX_PATH] = {0};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                              buffer)))
    return std::wstring();
  return MakePrivateFolder(buffer, L"Kestrune", PRIVATE_FOLDER_OWN_OR_NEW);
}
#else
// The state folder of the base-directory rules; its missing parents are made as the rules ask
// (0700). A relative XDG_STATE_HOME is invalid by those rules and is ignored.
std::wstring ApplicationFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  std::string parent;
  if (state != nullptr && state[0] == '/') {
    parent = state;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') return std::wstring();
    parent = home;
    while (parent.size() > 1 && parent.back() == '/') parent.pop_back();
    parent += "/.local";
    mkdir(parent.c_str(), 0700);
    parent += "/state";
  }
  mkdir(parent.c_str(), 0700);
  return MakePrivateFolder(Utf8ToWide(parent), L"kestrune", PRIVATE_FOLDER_OWN_OR_NEW);
}
#endif

}  // namespace

std::wstring UserDataFolder(const std::wstring& name) {
  const std::wstring application = ApplicationFolder();
  if (application.empty() || name.empty()) return std::wstring();
  return MakePrivateFolder(application, name, PRIVATE_FOLDER_OWN_OR_NEW);
}
