#include "batch/start_check.h"

#include <set>
#include <string>
#include <system_error>

#include "base/file_util.h"
#include "base/private_folder.h"
#include "base/program_dir.h"
#include "base/trace.h"
#include "exec/console_host.h"
#include "exec/program_lookup.h"
#include "jobs/output_naming.h"

namespace {
constexpr int kFileNotFound = 2;
}  // namespace

bool IsMediaInfoPresent() {
#ifdef _WIN32
  return FileExists(ProgramDir() + L"mediainfo.exe");
#else
  // Natively MediaInfo may also come from PATH (Debian's mediainfo package).
  return !MediaInfoProgramPath().empty();
#endif
}

MissingTool FindMissingTool() {
  std::wstring found;
  int code = FindExecutablePath(L"ffmpeg.exe", found);
  DebugLog(L"%X-[%s]", code, found);
  if (code == kFileNotFound) return MISSING_FFMPEG;
  if (!IsMediaInfoPresent()) return MISSING_MEDIAINFO;
  return MISSING_NONE;
}

std::wstring FindMissingConsoleHost() {
#ifdef _WIN32
  // A user who updates by copying only kestrune.exe leaves the window without it; each line
  // would then end with 9009 and nothing said.
  std::wstring host = ConsoleHostProgram();
  return FileExists(host) && !IsDirectory(host) ? std::wstring() : host;
#else
  return std::wstring();
#endif
}

OutputFolderCheck CheckOutputFolder(const std::wstring& folder) {
  if (folder.empty()) return OUTPUT_FOLDER_OK;
  if (!IsDirectory(folder)) return OUTPUT_FOLDER_MISSING;
  return CanCreateFileIn(folder) ? OUTPUT_FOLDER_OK : OUTPUT_FOLDER_NOT_WRITABLE;
}

OutputFolderCheck PrepareOutputFolders(const JobSettings& settings, std::wstring& failedFolder) {
  OutputFolderCheck check = CheckOutputFolder(settings.outputFolder);
  if (check != OUTPUT_FOLDER_OK || settings.outputFolder.empty() || settings.folderRoots.empty()) {
    if (check != OUTPUT_FOLDER_OK) failedFolder = settings.outputFolder;
    return check;
  }
  std::set<std::wstring> folders;
  for (const std::wstring& file : settings.files) {
    std::wstring folder = OutputFolderFor(settings, file);
    if (folder != settings.outputFolder) folders.insert(folder);
  }
  for (const std::wstring& folder : folders) {
    std::error_code error;
    std::filesystem::create_directories(FsPath(LongPathForm(folder)), error);
    check = CheckOutputFolder(folder);
    DebugLog(L"PrepareOutputFolders-%s-%d", folder, static_cast<int>(check));
    if (check != OUTPUT_FOLDER_OK) {
      failedFolder = folder;
      // Whatever stands in the way (a file of that name, a refusal), nothing can be made there.
      return OUTPUT_FOLDER_NOT_WRITABLE;
    }
  }
  return OUTPUT_FOLDER_OK;
}
