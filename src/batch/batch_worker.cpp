#include "batch/batch_worker.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <vector>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/scratch_folder.h"
#include "base/trace.h"
#include "batch/parallel_runs.h"
#include "exec/command_interpreter.h"
#include "exec/command_stop.h"
#include "jobs/merge_commands.h"
#include "jobs/output_naming.h"

namespace {
const wchar_t kPauseEnding[] = L" & pause";
}  // namespace

// Everything one run uses. The worker thread holds it by shared_ptr, so it outlives the
// CBatchWorker and the window that started it.
struct CBatchRun {
  CBatchRun(const JobSettings& snapshot, std::shared_ptr<CBatchHost> runHost, const CBatchOptions& runOptions)
      : settings(snapshot), options(runOptions), probe(options.probe), host(std::move(runHost)) {}

  JobSettings settings;
  CBatchOptions options;
  ProbeFunction probe;  // options.probe, or what the files probed at once already told
  // The names this run's commands write: its outputs never share a name, whether their commands
  // have run yet or not.
  COutputReservations reserved;
  CPreviewedCommand mergeCommand;           // the previewed video-and-audio merge
  std::vector<std::wstring> intermediates;  // what the remuxes of a merge of files wrote
  std::shared_ptr<CBatchHost> host;
  CCommandStop commandStop;  // ends the running command when the user stops the run

  std::mutex hostLock;  // held around ShowStatus and ReportEnd, and by Detach
  bool attached = true;
  std::atomic<bool> stopping{false};  // no further command starts: the window went, or a stop came
  std::atomic<bool> stopped{false};   // the user stopped the run
  std::atomic<bool> finished{false};

  void ShowStatus(const std::wstring& text) {
    std::lock_guard<std::mutex> guard(hostLock);
    if (attached) host->ShowStatus(text);
  }

  void ReportNoCommand(const std::wstring& path, int position) {
    std::lock_guard<std::mutex> guard(hostLock);
    if (attached) host->ReportNoCommand(path, position);
  }

  // The run counts as over before the host hears of it, so a Start prompted by the report is
  // never refused as busy; that Start then only waits for this call to return.
  void ReportEnd(const CBatchReport& report) {
    finished = true;
    std::lock_guard<std::mutex> guard(hostLock);
    if (attached) host->ReportEnd(report);
  }

  // The fixed texts of the two joining jobs end in " & pause"; without pause the command line
  // must not leave a terminal waiting for a key.
  std::wstring ApplyPauseOption(std::wstring command) const {
    const std::wstring ending = kPauseEnding;
    if (!options.pause && command.size() >= ending.size() &&
        command.compare(command.size() - ending.size(), ending.size(), ending) == 0) {
      command.resize(command.size() - ending.size());
    }
    return command;
  }
};

namespace {

// Every worker thread that has not ended yet, attached or not.
std::atomic<int> aliveThreads{0};

// How one command ended.
enum CommandOutcome { COMMAND_DONE, COMMAND_FAILED, COMMAND_STOPPED };

// Runs a command unless the run is stopping. A command that a stop ended leaves no partial
// output: its file goes, unless it was there before the command (which the naming never
// chooses, but a name is never trusted blindly). So does one that the user interrupted in its
// own console (its line gives kStoppedStatus), which counts as failed: the run goes on.
CommandOutcome RunOne(CBatchRun& run, const CBatchCommand& command) {
  if (run.stopping) return COMMAND_STOPPED;
  const bool outputExisted = !command.output.empty() && FileExists(command.output);
  int status = run.host->RunCommand(command, &run.commandStop);
  DebugLog(L"DoProcess-2-exit=%d", status);
  if (status == 0) return COMMAND_DONE;
  if (!run.stopped && status != kStoppedStatus) return COMMAND_FAILED;
  if (!outputExisted && !command.output.empty() && FileExists(command.output)) {
    bool removed = RemoveFileSoon(command.output);
    DebugLog(L"DoProcess-stop-%s-%d", command.output, removed ? 1 : 0);
  }
  return run.stopped ? COMMAND_STOPPED : COMMAND_FAILED;
}

void Count(CommandOutcome outcome, int files, CBatchReport& report) {
  if (outcome == COMMAND_DONE)
    report.filesDone += files;
  else if (outcome == COMMAND_FAILED)
    report.filesFailed += files;
  else
    report.filesSkipped += files;
}

void RunMergeVideoAudio(CBatchRun& run, CBatchReport& report) {
  CBatchCommand command;
  command.text = run.ApplyPauseOption(run.mergeCommand.command);
  command.output = run.mergeCommand.outputPath;
  command.fileCount = report.fileCount;
  // The command joins the first two entries; later ones are never looked at.
  int joined = report.fileCount < 2 ? report.fileCount : 2;
  Count(RunOne(run, command), joined, report);
  report.filesSkipped += report.fileCount - joined;
}

// The join runs only when every file was remuxed: otherwise it would silently leave out a part.
// False when the run must end at once, because the first entry gives the join no name.
bool RunJoin(CBatchRun& run, CBatchReport& report) {
  if (report.filesDone != report.fileCount || run.stopping) {
    report.join = JOIN_SKIPPED;
    DebugLog(L"DoProcess-3-skip join, %d of %d files remuxed", report.filesDone, report.fileCount);
    return true;
  }
  CBatchCommand command;
  if (!GetJoinedOutputPath(run.settings.files[0], command.output, &run.reserved)) {
    report.join = JOIN_SKIPPED;
    return false;
  }
  run.reserved.Reserve(command.output);
  command.text = MakeJoinCommand(run.intermediates, command.output);
  command.fileCount = report.fileCount;
  DebugLog(L"DoProcess-3-합치기-%s", command.text);
  command.text = run.ApplyPauseOption(command.text);
  CommandOutcome outcome = RunOne(run, command);
  report.join = outcome == COMMAND_DONE ? JOIN_DONE : outcome == COMMAND_FAILED ? JOIN_FAILED : JOIN_SKIPPED;
  return true;
}

// Whether every file of the job gets a command of its own that needs no other file's.
bool IsPerFileJob(int32_t jobKind) {
  return jobKind == JOB_CONVERT || jobKind == JOB_VIDEO_EXTRACT || jobKind == JOB_AUDIO_EXTRACT ||
         jobKind == JOB_MERGE_FILES;
}

// Probes entry i and builds its command, reserving what it writes; false, counted and reported
// as skipped, when none could be made.
bool BuildFileCommand(CBatchRun& run, int i, CBatchCommand& command, CBatchReport& report) {
  JobSettings& settings = run.settings;
  const int count = static_cast<int>(settings.files.size());
  const std::wstring& path = settings.files[i];
  DebugLog(L"\nDoProcess-1-(%d/%d)-%s", i + 1, count, path);
  run.ShowStatus(path);
  bool pause = run.options.pause && i == count - 1 && settings.jobKind != JOB_MERGE_FILES;
  CBuiltCommand built = ProbeAndBuild(settings, path, run.probe, run.reserved, pause);
  // A file without a command keeps (and traces) the text of the one before.
  if (built.Made()) command.text = built.text;
  DebugLog(L"DoProcess-2-ret=%d, [%s]", built.Made() ? 1 : 0, command.text);
  if (!built.Made()) {
    ++report.filesSkipped;
    run.ReportNoCommand(path, i + 1);
    return false;
  }
  run.reserved.Reserve(built.output);
  command.input = path;
  command.output = built.output;
  command.position = i + 1;
  command.fileCount = count;
  if (settings.jobKind == JOB_MERGE_FILES) run.intermediates.push_back(command.output);
  return true;
}

// Probes the files up to options.jobs at once, each with a report of its own, and lets the
// builds take the results: the probes, not the commands, are what one at a time would cost.
// A file the early probe could not read is probed again before its build, as any other would be.
void ProbeFilesAtOnce(CBatchRun& run) {
  const std::vector<std::wstring>& files = run.settings.files;
  CScratchFolder reports("probes");
  if (!reports.Made()) return;
  std::vector<MediaDesc> media(files.size());
  std::vector<char> probed(files.size(), 0);
  RunAtOnce(files.size(), run.options.jobs, [&](size_t i) {
    if (run.stopping || files[i].empty()) return;
    probed[i] = run.options.probeAlone(files[i], media[i],
                                       reports.File(Sprintf(L"media-%d.txt", static_cast<int>(i))));
  });
  auto known = std::make_shared<std::map<std::wstring, MediaDesc>>();
  for (size_t i = 0; i < files.size(); ++i)
    if (probed[i]) (*known)[files[i]] = media[i];
  ProbeFunction probe = run.options.probe;
  run.probe = [known, probe](const std::wstring& path, MediaDesc& out) {
    auto found = known->find(path);
    if (found == known->end()) return probe(path, out);
    out = found->second;
    return true;
  };
}

// Several files at once: every command is built first, in the order of the list, so each
// output name is chosen (and reserved) before any command runs, and the names are those of a
// run of one file at a time; then up to options.jobs of them run at once.
void RunFilesAtOnce(CBatchRun& run, CBatchReport& report) {
  const int count = report.fileCount;
  if (run.options.probeAlone) ProbeFilesAtOnce(run);
  std::vector<CBatchCommand> commands;
  CBatchCommand command;  // a failed build keeps (and traces) the text of the one before, as in order
  for (int i = 0; i < count; ++i) {
    if (run.stopping || run.settings.files[i].empty()) {
      report.filesSkipped += count - i;
      break;
    }
    run.settings.firstFileOfBatch = i == 0;
    if (BuildFileCommand(run, i, command, report)) commands.push_back(command);
  }
  std::mutex countLock;
  RunAtOnce(commands.size(), run.options.jobs, [&](size_t i) {
    // A stop or a detach keeps every command not yet started from starting; it counts as skipped.
    CommandOutcome outcome = RunOne(run, commands[i]);
    std::lock_guard<std::mutex> guard(countLock);
    Count(outcome, 1, report);
  });
}

// One file after another: each command is built and run before the next file is looked at.
void RunFilesInTurn(CBatchRun& run, CBatchReport& report) {
  JobSettings& settings = run.settings;
  const int count = report.fileCount;
  CBatchCommand command;
  for (int i = 0; i < count; ++i) {
    if (run.stopping || settings.files[i].empty()) {
      report.filesSkipped += count - i;
      break;
    }
    if (i > 0) settings.firstFileOfBatch = false;
    if (!BuildFileCommand(run, i, command, report)) continue;
    // A build may take seconds (it probes the file): the window may have gone meanwhile.
    Count(RunOne(run, command), 1, report);
  }
}

void DoProcess(CBatchRun& run) {
  EnterProgramDir();
  DebugLog(L"\n\nDoProcess-쓰레드 시작");
  JobSettings& settings = run.settings;
  const int count = static_cast<int>(settings.files.size());
  CBatchReport report;
  report.jobKind = settings.jobKind;
  report.fileCount = count;
  settings.firstFileOfBatch = true;

  if (settings.jobKind == JOB_MERGE_VIDEO_AUDIO) {
    RunMergeVideoAudio(run, report);
    report.stopped = run.stopped;
    run.ReportEnd(report);
    return;
  }

  if (run.options.jobs > 1 && IsPerFileJob(settings.jobKind))
    RunFilesAtOnce(run, report);
  else
    RunFilesInTurn(run, report);

  // A merge whose first entry gives the join no name ends at once.
  const bool ended = settings.jobKind == JOB_MERGE_FILES && count >= 2 && !RunJoin(run, report);
  report.stopped = run.stopped;
  if (!ended) {
    DebugLog(L"DoProcess-4-done=%d, failed=%d, skipped=%d", report.filesDone, report.filesFailed,
             report.filesSkipped);
    DebugLog(L"DoProcess-쓰레드 멈춤");
  }
  run.ReportEnd(report);
}

void DoProcessThread(std::shared_ptr<CBatchRun> run) {
  DoProcess(*run);
  run->finished = true;
  --aliveThreads;
}

bool IsPreviewFor(const CPreviewedCommand& preview, const JobSettings& settings) {
  return !preview.command.empty() && preview.jobKind == JOB_MERGE_VIDEO_AUDIO &&
         preview.files == settings.files;
}

}  // namespace

bool BatchSucceeded(const CBatchReport& report) {
  return report.filesFailed == 0 && report.filesSkipped == 0 && report.join != JOIN_FAILED &&
         report.join != JOIN_SKIPPED;
}

CBatchWorker::~CBatchWorker() { Detach(); }

BatchStart CBatchWorker::Start(const JobSettings& settings, std::shared_ptr<CBatchHost> host,
                               CBatchOptions options, CRefusal* refusal) {
  CRefusal ignored;
  CRefusal& why = refusal != nullptr ? *refusal : ignored;
  why = CRefusal();
  if (IsRunning()) {
    DebugLog(L"DoProcess-busy");
    return BATCH_BUSY;
  }
  if (thread_.joinable()) thread_.join();
  if (!host) return BATCH_REFUSED;
  if (!options.probe) options.probe = ProbeMediaFile;

  auto run = std::make_shared<CBatchRun>(settings, host, options);
  if (settings.jobKind == JOB_MERGE_VIDEO_AUDIO) {
    CPreviewedCommand preview = host->PreviewedCommand();
    if (!IsPreviewFor(preview, settings)) {
      why.text = TXT_REFUSE_STALE_PREVIEW;
      return BATCH_REFUSED;
    }
    run->mergeCommand = preview;
  }
  if (settings.jobKind == JOB_MERGE_FILES) {
    why = CheckMergeEntries(settings.files);
    if (why.Refused()) return BATCH_REFUSED;
  }

  run_ = run;
  ++aliveThreads;
  try {
    thread_ = std::thread(DoProcessThread, run);
  } catch (const std::system_error&) {
    --aliveThreads;
    run_.reset();
    return BATCH_NO_THREAD;
  }
  return BATCH_STARTED;
}

void CBatchWorker::Stop() {
  if (!run_) return;
  DebugLog(L"DoProcess-stop");
  run_->stopped = true;
  run_->stopping = true;
  run_->commandStop.Stop();
}

int BatchThreadsAlive() { return aliveThreads; }

bool CBatchWorker::IsRunning() const { return run_ && !run_->finished; }

void CBatchWorker::Join() {
  if (thread_.joinable()) thread_.join();
}

void CBatchWorker::Detach() {
  if (run_) {
    {
      std::lock_guard<std::mutex> guard(run_->hostLock);
      run_->attached = false;
    }
    run_->stopping = true;
  }
  if (thread_.joinable()) {
    if (run_ && run_->finished)
      thread_.join();
    else
      thread_.detach();
  }
  run_.reset();
}
