#include <unistd.h>

#include <cstdlib>
#include <string>

#include "base/private_folder.h"
#include "base/text.h"
#include "probe/report_folder.h"

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
