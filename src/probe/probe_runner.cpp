#include "probe/probe_runner.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/trace.h"
#include "exec/hidden_program.h"
#include "exec/program_lookup.h"
#include "probe/probe_launch.h"
#include "probe/probe_runner_lock.h"
#include "probe/report_folder.h"
#include "probe/report_parser.h"

namespace {

// After the batch file ends, the report may still be on its way: up to 30 waits of 100 ms.
constexpr int REPORT_WAIT_STEPS = 30;
constexpr int REPORT_WAIT_STEP_MS = 100;

// Every probe writes the same media.txt in the program folder, and the launcher moves the
// process's current folder: probes take turns, whichever thread asks (and, through the
// folder lock, whichever process).
std::mutex probeLock;

}  // namespace

bool ProbeMediaFile(const std::wstring& inputPath, MediaDesc& media) {
  std::lock_guard<std::mutex> guard(probeLock);
  ResetMediaDesc(media);

  std::wstring mediaInfo = MediaInfoProgramPath();
  if (mediaInfo.empty()) {
    DebugLog(L"%s 가 없습니다. ", ProgramFolderToolPath(L"mediainfo"));
    return false;
  }
  if (!FileExists(inputPath)) {
    DebugLog(L"%s 가 없습니다. ", inputPath);
    return false;
  }

  const std::wstring programDir = ProgramDir();
  // The report lies in the program folder when the program may write there, else in a folder
  // of the user's own; the lock is taken on the folder that really holds it.
  const std::wstring reportDir = ReportFolder(programDir);
  if (reportDir.empty()) {
    DebugLog(L"%smedia.txt 를 쓸 수 없습니다. ", programDir);
    return false;
  }
  CProbeFolderLock folderLock(reportDir);
  const std::wstring reportPath = reportDir + L"media.txt";
  // A report that stays (a read-only file, a folder that cannot be written) would be read as
  // this file's: the probe fails instead.
  if (FileExists(reportPath) && !RemoveFileSoon(reportPath)) {
    DebugLog(L"%s 를 지울 수 없습니다. ", reportPath);
    return false;
  }

  LaunchProbe(ProbePaths{programDir, mediaInfo, inputPath, reportPath});

  int step = 0;
  while (step < REPORT_WAIT_STEPS) {
    if (GetFileLength(reportPath) > 1) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(REPORT_WAIT_STEP_MS));
    ++step;
  }
  DebugLog(L"기다림 %d ms (%d)", step * REPORT_WAIT_STEP_MS, step);

  SetMediaPath(media, inputPath);
  return ParseMediaReport(reportPath, media);
}

bool ProbeMediaFileAlone(const std::wstring& inputPath, MediaDesc& media, const std::wstring& reportPath) {
  ResetMediaDesc(media);
  std::wstring mediaInfo = MediaInfoProgramPath();
  if (mediaInfo.empty() || !FileExists(inputPath)) return false;
  // A relative name beginning with "-" would read as an option.
  std::wstring input = !inputPath.empty() && inputPath[0] == L'-' ? L"./" + inputPath : inputPath;
  int status = RunHiddenProgram(mediaInfo, {input}, reportPath);
  DebugLog(L"ProbeMediaFileAlone-%d-%s", status, inputPath);
  SetMediaPath(media, inputPath);
  return ParseMediaReport(reportPath, media);
}
