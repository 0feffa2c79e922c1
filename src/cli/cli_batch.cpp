#include <memory>
#include <mutex>

#include "base/format.h"
#include "base/program_dir.h"
#include "cli/cli_batch_host.h"
#include "cli/cli_commands.h"
#include "cli/cli_plan_host.h"
#include "cli/exit_codes.h"
#include "cli/run_interrupt.h"
#include "batch/batch_worker.h"
#include "batch/gpu_check.h"
#include "batch/start_check.h"
#include "jobs/command_builder.h"

namespace {
// The window runs the merge of video and audio that its preview built; the command line builds
// it the same way, from the same settings, just before the run.
CPreviewedCommand BuildMergePreview(const JobSettings& settings) {
  CPreviewedCommand preview;
  preview.jobKind = settings.jobKind;
  preview.files = settings.files;
  if (settings.jobKind != JOB_MERGE_VIDEO_AUDIO) return preview;
  JobSettings copy = settings;
  std::wstring cmdSet;
  CCommandBuilder builder(copy, cmdSet);
  builder.BuildCommand(copy.currentFile, nullptr, true);
  preview.command = cmdSet;
  // What a stopped run removes, and what plan --json names as its output.
  preview.outputPath = builder.LastOutputPath();
  return preview;
}

std::wstring JoinText(JoinOutcome join) {
  switch (join) {
    case JOIN_DONE:
      return L", join done";
    case JOIN_FAILED:
      return L", join failed";
    case JOIN_SKIPPED:
      return L", join skipped";
    default:
      return std::wstring();
  }
}

// "--gpu auto": the NVIDIA path only where the check finds that it works here, said once.
void DecideGpu(CCliRequest& request, CCliOutput& out) {
  JobSettings& settings = request.settings;
  if (request.gpu != CLI_GPU_AUTO || !UsesNvidiaPath(settings)) return;
  if (IsNvidiaPathAvailable(settings.outputCodec, settings.gpuCompatMode)) {
    out.Err(Sprintf(L"kestrune: GPU acceleration works here: encoding on the NVIDIA GPU (%s)\n",
                    VideoEncoderName(settings.outputCodec, true)));
    return;
  }
  settings.useGpu = false;
  settings.gpuCompatMode = false;
  out.Err(
      Sprintf(L"kestrune: GPU acceleration is not available on this computer: encoding on the CPU (%s); "
              L"--gpu forces it\n",
              VideoEncoderName(settings.outputCodec, false)));
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
    out.Err(L"kestrune: ffmpeg not found (install the ffmpeg package, or put ffmpeg beside kestrune)\n");
    return CLI_EXIT_MISSING_TOOL;
  }
  if (missing == MISSING_MEDIAINFO) {
    out.Err(
        L"kestrune: MediaInfo not found (install the mediainfo package, or put mediainfo beside kestrune)\n");
    return CLI_EXIT_MISSING_TOOL;
  }
  return CLI_EXIT_OK;
}
}  // namespace

int RunBatchCommand(CCliRequest& request, CCliOutput& out, bool dryRun) {
  JobSettings& settings = request.settings;
  std::wstring error;
  if (!CheckCliFiles(settings.files, error)) {
    out.Err(L"kestrune: " + error + L"\n");
    return CLI_EXIT_USAGE;
  }
  settings.currentFile = settings.files[0];
  // The worker runs in the program folder; look for the tools from there, as it will.
  EnterProgramDir();
  int toolCheck = CheckTools(!dryRun, out);
  if (toolCheck != CLI_EXIT_OK) return toolCheck;
  DecideGpu(request, out);

  CPreviewedCommand preview = BuildMergePreview(settings);
  // The builder has said why (two files, one video and one audio, a probe that works).
  if (settings.jobKind == JOB_MERGE_VIDEO_AUDIO && preview.command.empty()) return CLI_EXIT_FAILED;
  CBatchOptions options;
  options.pause = request.pause;
  if (dryRun) {
    // A plan is made one file after another; a run of several at once chooses the same names.
    auto host = std::make_shared<CCliPlanHost>(out, request, preview);
    CBatchWorker worker;
    if (worker.Start(settings, host, options) != BATCH_STARTED) return CLI_EXIT_FAILED;
    worker.Join();
    if (!host->Ended()) return CLI_EXIT_FAILED;
    return BatchSucceeded(host->Report()) ? CLI_EXIT_OK : CLI_EXIT_FAILED;
  }

  auto host = std::make_shared<CCliBatchHost>(out, request, preview);
  options.jobs = request.jobs;
  options.probeAlone = ProbeMediaFileAlone;
  CBatchWorker worker;
  {
    // Ctrl-C and SIGTERM stop the run as the window's Stop does; the interrupt ends (its
    // thread joined) before the worker it stops.
    CStartedWorker started;
    CRunInterrupt interrupt([&started] { started.Stop(); });
    if (worker.Start(settings, host, options) != BATCH_STARTED) return CLI_EXIT_FAILED;
    started.Set(&worker);
    worker.Join();
  }
  const CBatchReport& report = host->Report();
  if (!host->Ended()) return CLI_EXIT_FAILED;
  out.Out(Sprintf(L"kestrune: %d %s: %d done, %d failed, %d skipped%s%s\n", report.fileCount,
                  report.fileCount == 1 ? L"file" : L"files", report.filesDone, report.filesFailed,
                  report.filesSkipped, JoinText(report.join), report.stopped ? L", stopped" : L""));
  if (report.stopped) return CLI_EXIT_STOPPED;
  if (report.filesFailed > 0 && settings.useGpu && settings.jobKind == JOB_CONVERT) {
    out.Err(
        L"kestrune: note: the conversion used the NVIDIA GPU (--gpu); without --gpu it is used only where it "
        L"works\n");
  }
  return BatchSucceeded(report) ? CLI_EXIT_OK : CLI_EXIT_FAILED;
}
