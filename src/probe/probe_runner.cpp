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
#include "probe/report_split.h"

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
  int status = RunHiddenProgram(mediaInfo, {MediaInfoFileArgument(inputPath)}, reportPath);
  DebugLog(L"ProbeMediaFileAlone-%d-%s", status, inputPath);
  SetMediaPath(media, inputPath);
  return ParseMediaReport(reportPath, media);
}

void ProbeMediaFilesTogether(const std::vector<std::wstring>& paths, std::vector<MediaDesc>& media,
                             std::vector<char>& probed, const std::wstring& reportPath) {
  media.resize(paths.size());
  for (MediaDesc& one : media) ResetMediaDesc(one);
  probed.assign(paths.size(), 0);
  const std::wstring mediaInfo = MediaInfoProgramPath();
  if (mediaInfo.empty()) return;
  // Only files: MediaInfo would describe every file of a folder. A name holding a line break
  // is written with " / " in its place, as another name may hold it: such a name is probed
  // alone, so that its section can never be taken for another file's, nor another's for its.
  std::vector<size_t> given, alone;
  std::vector<std::wstring> arguments;
  for (size_t i = 0; i < paths.size(); ++i) {
    if (!FileExists(paths[i]) || IsDirectory(paths[i])) continue;
    if (paths[i].find_first_of(L"\r\n") != std::wstring::npos) {
      alone.push_back(i);
      continue;
    }
    given.push_back(i);
    arguments.push_back(MediaInfoFileArgument(paths[i]));
  }
  std::string report;
  std::vector<std::string_view> sections(given.size());
  if (given.size() > 1) {
    const int status = RunHiddenProgram(mediaInfo, arguments, reportPath);
    // The largest report the parser reads of one file, for each file; a longer report is not
    // cut (its last file's section would be cut with it), it is not used at all.
    const size_t most = given.size() * static_cast<size_t>(MAX_REPORT_LINES) * kReadLineBytes;
    if (status == 0 && ReadTextFile(reportPath, report, most + 1) && report.size() <= most)
      sections = SplitMediaReport(report, arguments);
    DebugLog(L"ProbeMediaFilesTogether-%d-%d", status, static_cast<int>(given.size()));
  }
  for (size_t k = 0; k < given.size(); ++k) {
    const size_t i = given[k];
    if (sections[k].empty()) {
      alone.push_back(i);
      continue;
    }
    SetMediaPath(media[i], paths[i]);
    probed[i] = ParseMediaReportText(sections[k], media[i]);
  }
  for (size_t i : alone) probed[i] = ProbeMediaFileAlone(paths[i], media[i], reportPath);
}
