#include <memory>
#include <mutex>

#include "base/format.h"
#include "base/program_dir.h"
#include "base/texts.h"
#include "base/trace.h"
#include "base/user_data_folder.h"
#include "batch/batch_worker.h"
#include "batch/file_command.h"
#include "batch/gpu_check.h"
#include "batch/run_journal.h"
#include "batch/run_report.h"
#include "batch/run_resume.h"
#include "batch/start_check.h"
#include "cli/cli_batch_host.h"
#include "cli/cli_commands.h"
#include "cli/cli_plan_host.h"
#include "cli/exit_codes.h"
#include "cli/run_interrupt.h"
#include "probe/probe_runner.h"

namespace {
// The window runs the merge of video and audio that its preview built; the command line builds
// it the same way, from the same settings, just before the run, and says why when it cannot.
CPreviewedCommand BuildMergePreview(const JobSettings& settings, CCliOutput& out) {
  CPreviewedCommand preview;
  preview.jobKind = settings.jobKind;
  preview.files = settings.files;
  preview.outputFolder = settings.outputFolder;
  if (settings.jobKind != JOB_MERGE_VIDEO_AUDIO) return preview;
  CBuiltCommand built =
      ProbeAndBuild(settings, settings.currentFile, ProbeMediaFile, COutputReservations(), true);
  if (!built.Made()) {
    out.Err(CliFormat(TXT_CLI_MESSAGE, RefusalText(built.refusal, kUiLanguageEnglish)));
    return preview;
  }
  preview.command = built.text;
  // What the run claims and checks, and what plan --json names as its output.
  preview.outputPath = built.output;
  preview.expectedMs = built.expectedMs;
  return preview;
}

// How the run went beyond the three counts: the short outputs, when there are any, then the join.
std::wstring ShortAndJoinText(const CBatchReport& report) {
  std::wstring outputs = report.filesShort > 0 ? CliFormat(TXT_CLI_SHORT_COUNT, report.filesShort) : L"";
  if (report.filesResumed > 0) outputs += CliFormat(TXT_CLI_RESUMED_COUNT, report.filesResumed);
  switch (report.join) {
    case JOIN_DONE:
      return outputs + CliText(TXT_CLI_JOIN_DONE);
    case JOIN_FAILED:
      return outputs + CliText(TXT_CLI_JOIN_FAILED);
    case JOIN_SKIPPED:
      return outputs + CliText(TXT_CLI_JOIN_SKIPPED);
    case JOIN_SHORT:
      return outputs + CliText(TXT_CLI_JOIN_SHORT);
    default:
      return outputs;
  }
}

// "--gpu auto": the NVIDIA path only where the check finds that it works here, said once; the
// CPU's encoder only where this ffmpeg has it. False when neither fits: nothing is run.
bool ChooseGpu(CCliRequest& request, CCliOutput& out) {
  JobSettings& settings = request.settings;
  if (request.gpu != CLI_GPU_AUTO) return true;
  const wchar_t* gpuEncoder = VideoEncoderName(settings.outputCodec, true);
  const wchar_t* cpuEncoder = VideoEncoderName(settings.outputCodec, false);
  switch (DecideGpu(settings)) {
    case GPU_WORKS:
      out.Err(CliFormat(TXT_CLI_GPU_WORKS, gpuEncoder));
      return true;
    case GPU_UNAVAILABLE:
      UseCpuInstead(settings);
      out.Err(CliFormat(TXT_CLI_GPU_UNAVAILABLE, cpuEncoder));
      return true;
    case GPU_NO_ENCODER:
      out.Err(CliFormat(TXT_CLI_GPU_NO_ENCODER, gpuEncoder, cpuEncoder, cpuEncoder));
      return false;
    default:
      return true;
  }
}

// Starts the worker; a refused request is said, as the window would show it, and gives the exit
// code: a join of parts that differ is refused as a bad request is (--join-anyway).
bool StartWorker(CBatchWorker& worker, const JobSettings& settings, std::shared_ptr<CBatchHost> host,
                 const CBatchOptions& options, CCliOutput& out, int& exitCode) {
  CRefusal refusal;
  const BatchStart started = worker.Start(settings, std::move(host), options, &refusal);
  if (started == BATCH_STARTED) return true;
  exitCode = CLI_EXIT_FAILED;
  if (started == BATCH_PARTS_DIFFER) {
    out.Err(CliFormat(TXT_CLI_JOIN_PARTS_DIFFER, RefusalText(refusal, kUiLanguageEnglish)));
    exitCode = CLI_EXIT_USAGE;
  } else if (refusal.Refused()) {
    out.Err(CliFormat(TXT_CLI_MESSAGE, RefusalText(refusal, kUiLanguageEnglish)));
  }
  return false;
}

// The worker an interrupt stops, once it has started; an interrupt that comes before is kept
// for it.
class CStartedWorker {
 public:
  void Stop() {
    std::lock_guard<std::mutex> guard(lock_);
    requested_ = true;
    if (worker_ != nullptr) worker_->Stop();
  }
  void Set(CBatchWorker* worker) {
    std::lock_guard<std::mutex> guard(lock_);
    worker_ = worker;
    if (requested_) worker_->Stop();
  }

 private:
  std::mutex lock_;
  CBatchWorker* worker_ = nullptr;
  bool requested_ = false;
};

int CheckTools(bool needFfmpeg, CCliOutput& out) {
  MissingTool missing = needFfmpeg             ? FindMissingTool()
                        : IsMediaInfoPresent() ? MISSING_NONE
                                               : MISSING_MEDIAINFO;
  if (missing == MISSING_FFMPEG) {
    out.Err(CliText(TXT_CLI_FFMPEG_MISSING));
    return CLI_EXIT_MISSING_TOOL;
  }
  if (missing == MISSING_MEDIAINFO) {
    out.Err(CliText(TXT_CLI_MEDIAINFO_MISSING));
    return CLI_EXIT_MISSING_TOOL;
  }
  return CLI_EXIT_OK;
}
}  // namespace

int RunBatchCommand(CCliRequest& request, CCliOutput& out, bool dryRun) {
  JobSettings& settings = request.settings;
  std::wstring error;
  std::vector<std::wstring> unreadable;
  const bool expanded = ExpandCliFolders(settings, unreadable, error);
  for (const std::wstring& folder : unreadable)
    out.Err(CliFormat(TXT_CLI_MESSAGE, CliFormat(TXT_CLI_FOLDER_UNREADABLE, folder)));
  if (!expanded || !CheckCliFiles(settings.files, error) ||
      !CheckCliOutputFolder(settings.outputFolder, error) ||
      (!dryRun && !CheckCliReportFile(request.reportFile, error))) {
    out.Err(CliFormat(TXT_CLI_MESSAGE, error));
    return CLI_EXIT_USAGE;
  }
  settings.currentFile = settings.files[0];
  // The worker runs in the program folder; look for the tools from there, as it will.
  EnterProgramDir();
  int toolCheck = CheckTools(!dryRun, out);
  if (toolCheck != CLI_EXIT_OK) return toolCheck;
  if (!ChooseGpu(request, out)) return CLI_EXIT_FAILED;

  // Outputs that a run which died left unfinished are marked so before this run names its own.
  if (!dryRun) {
    for (const CUnfinishedOutput& output : MarkUnfinishedOutputs())
      out.Err(CliFormat(TXT_CLI_PARTIAL_RENAMED, output.output, output.renamedTo));
  }
  // The folders of a kept tree are made below the output folder as the run starts; a plan
  // makes nothing.
  std::wstring failedFolder;
  if (!dryRun && PrepareOutputFolders(settings, failedFolder) != OUTPUT_FOLDER_OK) {
    out.Err(CliFormat(TXT_CLI_MESSAGE, CliFormat(TXT_CLI_FOLDER_NOT_WRITABLE, failedFolder)));
    return CLI_EXIT_USAGE;
  }
  CPreviewedCommand preview = BuildMergePreview(settings, out);
  // The builder has said why (two files, one video and one audio, a probe that works).
  if (settings.jobKind == JOB_MERGE_VIDEO_AUDIO && preview.command.empty()) return CLI_EXIT_FAILED;
  CBatchOptions options;
  options.pause = request.pause;
  options.dryRun = dryRun;
  options.probeGroup = ProbeMediaFilesTogether;
  options.gpuSessions = request.gpuSessions;
  int refused = CLI_EXIT_FAILED;
  if (dryRun) {
    // A plan is made one file after another; a run of several at once chooses the same names.
    auto host = std::make_shared<CCliPlanHost>(out, request, preview);
    CBatchWorker worker;
    if (!StartWorker(worker, settings, host, options, out, refused)) return refused;
    worker.Join();
    if (!host->Ended()) return CLI_EXIT_FAILED;
    return BatchSucceeded(host->Report()) ? CLI_EXIT_OK : CLI_EXIT_FAILED;
  }

  // Every run's report is kept with the last runs' (as the window keeps its own), so a later
  // --resume knows what this one made whole.
  const std::wstring runsFolder = UserDataFolder(L"runs");
  if (request.resume) {
    options.doneBefore = FindDoneInputs(settings, runsFolder);
    if (options.doneBefore.empty()) out.Err(CliText(TXT_CLI_RESUME_NOTHING));
  }
  auto host = std::make_shared<CCliBatchHost>(out, request, preview);
  options.jobs = request.jobs;
  options.reportFolder = runsFolder;
  CBatchWorker worker;
  {
    // Ctrl-C and SIGTERM stop the run as the window's Stop does; the interrupt ends (its
    // thread joined) before the worker it stops.
    CStartedWorker started;
    CRunInterrupt interrupt([&started] { started.Stop(); });
    if (!StartWorker(worker, settings, host, options, out, refused)) return refused;
    started.Set(&worker);
    worker.Join();
  }
  const CBatchReport& report = host->Report();
  if (!host->Ended()) return CLI_EXIT_FAILED;
  out.Out(CliFormat(TXT_CLI_RUN_SUMMARY, report.fileCount,
                    CliText(report.fileCount == 1 ? TXT_CLI_FILE : TXT_CLI_FILES), report.filesDone,
                    report.filesFailed, report.filesSkipped, ShortAndJoinText(report),
                    report.stopped ? CliText(TXT_CLI_STOPPED) : L""));
  // A report that cannot be written is a failure of the run: the user asked for it.
  const bool reportWritten = request.reportFile.empty() || WriteRunReport(report, request.reportFile);
  if (!reportWritten) out.Err(CliFormat(TXT_CLI_REPORT_NOT_WRITTEN, request.reportFile));
  if (report.stopped) return CLI_EXIT_STOPPED;
  if (report.filesFailed > 0 && settings.useGpu && settings.jobKind == JOB_CONVERT) {
    out.Err(CliText(TXT_CLI_GPU_NOTE));
  }
  return BatchSucceeded(report) && reportWritten ? CLI_EXIT_OK : CLI_EXIT_FAILED;
}
