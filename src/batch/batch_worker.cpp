#include "batch/batch_worker.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <vector>

#include "base/file_times.h"
#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/trace.h"
#include "batch/output_check.h"
#include "batch/output_claim.h"
#include "batch/parallel_runs.h"
#include "batch/probe_groups.h"
#include "batch/run_journal.h"
#include "exec/command_interpreter.h"
#include "exec/command_stop.h"
#include "jobs/merge_commands.h"
#include "jobs/merge_parts.h"
#include "jobs/option_words.h"
#include "jobs/output_naming.h"

namespace {
const wchar_t kPauseEnding[] = L" & pause";
}  // namespace

// Everything one run uses. The worker thread holds it by shared_ptr, so it outlives the
// CBatchWorker and the window that started it.
struct CBatchRun {
  CBatchRun(const JobSettings& snapshot, std::shared_ptr<CBatchHost> runHost, const CBatchOptions& runOptions)
      : settings(snapshot),
        options(runOptions),
        probe(options.probe),
        host(std::move(runHost)),
        gpuSessions(options.gpuSessions) {}

  JobSettings settings;
  CBatchOptions options;
  ProbeFunction probe;     // options.probe, or what the files probed at once already told
  bool probedAll = false;  // probe holds what every file told (ProbeEveryFile)
  // The names this run's commands write: its outputs never share a name, whether their commands
  // have run yet or not.
  COutputReservations reserved;
  CPreviewedCommand mergeCommand;  // the previewed video-and-audio merge
  // The remuxes of a merge of files by their places in the list: what each writes, as claimed
  // when it started, and how long it must last; the join reads them in this order.
  std::map<int, CBatchCommand> parts;
  std::mutex namesLock;  // held around reserved and parts while commands start at once
  std::shared_ptr<CBatchHost> host;
  CCommandStop commandStop;  // ends the running command when the user stops the run
  CGpuSessions gpuSessions;  // the NVENC encodes that may run together
  // The outputs whose commands have started and that are not yet checked; none for a plan.
  std::unique_ptr<CRunJournal> journal;

  // How each entry of the list, and the join, ended: the run's report. Commands that run at once
  // add theirs under recordsLock.
  std::mutex recordsLock;
  std::vector<CRunRecord> records;
  CRunReportFile reportFile;  // the report as the run goes, when it is kept; under recordsLock

  std::mutex hostLock;  // held around ShowStatus and ReportEnd, and by Detach
  bool attached = true;
  std::atomic<bool> stopping{false};  // no further command starts: the window went, or a stop came
  std::atomic<bool> stopped{false};   // the user stopped the run
  std::atomic<bool> finished{false};

  void Record(CRunRecord record) {
    std::lock_guard<std::mutex> guard(recordsLock);
    reportFile.Add(record, static_cast<int>(settings.files.size()));
    records.push_back(std::move(record));
  }

  // Why an entry was not reached: the user's stop, or anything else that ended the run early.
  RunReason NotReached() const { return stopped ? REASON_STOPPED : REASON_NOT_REACHED; }

  void ShowStatus(const std::wstring& text) {
    std::lock_guard<std::mutex> guard(hostLock);
    if (attached) host->ShowStatus(text);
  }

  void ReportNoCommand(const std::wstring& path, int position) {
    std::lock_guard<std::mutex> guard(hostLock);
    if (attached) host->ReportNoCommand(path, position);
  }

  void ReportRefusedFile(const std::wstring& path, int position, const CRefusal& refusal) {
    std::lock_guard<std::mutex> guard(hostLock);
    if (attached) host->ReportRefusedFile(path, position, refusal);
  }

  void ReportResumed(const std::wstring& path, int position, const std::wstring& output) {
    std::lock_guard<std::mutex> guard(hostLock);
    if (attached) host->ReportResumed(path, position, output);
  }

  void ReportFileEnd(int position, FileOutcome outcome) {
    std::lock_guard<std::mutex> guard(hostLock);
    if (attached) host->ReportFileEnd(position, outcome);
  }

  void ReportOutput(const CBatchCommand& command, const COutputReport& report) {
    std::lock_guard<std::mutex> guard(hostLock);
    if (attached) host->ReportOutput(command, report);
  }

  // The run counts as over before the host hears of it, so a Start prompted by the report is
  // never refused as busy; that Start then only waits for this call to return.
  void ReportEnd(const CBatchReport& report) {
    finished = true;
    std::lock_guard<std::mutex> guard(hostLock);
    if (attached) host->ReportEnd(report);
  }

  // The probe of a file whose command is built next: the probe, then, where its output is
  // checked or a range must be held against its end, its lengths to the millisecond.
  ProbeFunction InputProbe() const {
    const bool exact = options.measure && (!options.dryRun || settings.applyRange);
    if (!exact) return probe;
    return MeasuringProbe(probe, options.measure);
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
enum CommandOutcome { COMMAND_DONE, COMMAND_FAILED, COMMAND_STOPPED, COMMAND_SHORT };

// The output of a command that did not end well goes while it is the run's own: the claim the
// run made and what the command wrote over it (made: the claim's identity), never a file that
// took its name since.
void RemoveRunOutput(const std::wstring& output, const std::wstring& made, const wchar_t* why) {
  if (!FileExists(output)) return;
  bool removed = RemoveOwnOutput(output, made);
  DebugLog(L"DoProcess-%s-%s-%d", why, output, removed ? 1 : 0);
}

// The part of a merge of files, as it starts: the join reads what it really writes.
void NotePart(CBatchRun& run, const CBatchCommand& command) {
  if (run.settings.jobKind != JOB_MERGE_FILES || command.position == 0) return;
  std::lock_guard<std::mutex> guard(run.namesLock);
  run.parts[command.position] = command;
}

// A command that exited with 0 counts as done only when its output is whole (output_check.h).
// An output that is missing or empty is the run's own empty claim (or, for a command whose
// claim was let go, what its ffmpeg made, since an ffmpeg that exits with 0 wrote its own
// file): it goes, and the command failed. One that cannot be trusted otherwise failed too, but
// stays for the user to look at, as a short one does.
CommandOutcome JudgeOutput(CBatchRun& run, const CBatchCommand& command, const std::wstring& made,
                           CRunRecord& record) {
  const COutputReport report = CheckOutput(command, run.options.measure);
  record.checked = true;
  record.check = report.verdict;
  record.outputMs = report.actualMs;
  if (report.verdict == OUTPUT_WHOLE) return COMMAND_DONE;
  record.reason = report.verdict == OUTPUT_SHORT     ? REASON_SHORT
                  : report.verdict == OUTPUT_MISSING ? REASON_NO_OUTPUT
                                                     : REASON_UNTRUSTED_OUTPUT;
  if (report.verdict == OUTPUT_MISSING) RemoveRunOutput(command.output, made, L"empty");
  run.ReportOutput(command, report);
  return report.verdict == OUTPUT_SHORT ? COMMAND_SHORT : COMMAND_FAILED;
}

// A whole output takes the dates of its input when the user keeps them; a join and a merge of
// video and audio, which name no input, take the first file's. A file whose dates cannot be
// set stays as it is: the output itself is sound.
void KeepSourceDates(const CBatchRun& run, const CBatchCommand& command) {
  if (!run.settings.keepSourceDates) return;
  std::wstring source = command.input;
  if (source.empty() && !run.settings.files.empty()) source = run.settings.files.front();
  if (source.empty()) return;
  bool kept = CopyFileTimes(source, command.output);
  DebugLog(L"DoProcess-dates-%s-%d", command.output, kept ? 1 : 0);
}

// The record of an entry of the list: the file as the run found it.
CRunRecord RecordOfEntry(int position, const std::wstring& input) {
  CRunRecord record;
  record.position = position;
  record.input = input;
  GetFileStamp(input, record.inputSize, record.inputModified);
  return record;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs a command unless the run is stopping. Its output name is claimed first (a name taken
// since the build gives way to the next free one), so the command never writes over a file
// the run did not make; a command that fails, is stopped, or is interrupted by the user in its
// own console (its line gives kStoppedStatus, and it counts as failed: the run goes on) leaves
// none of its output. A plan claims nothing and runs nothing. A command that names no output
// runs as it is. record receives what the command was and why it did not end as done.
//
// A command without "-y" (the merge of video and audio) has its claim let go just before it
// starts, since ffmpeg would refuse it: what then lies under the name when it fails or is
// stopped may be a file that took the name in that gap, on which ffmpeg gave up, and the run
// cannot tell it from ffmpeg's own, so it stays.
CommandOutcome RunCommandOf(CBatchRun& run, CBatchCommand& command, CRunRecord& record) {
  record.command = command.text;
  record.output = command.output;
  record.expectedMs = command.expectedMs;
  if (run.stopping) {
    record.reason = run.NotReached();
    return COMMAND_STOPPED;
  }
  const bool writes = !run.options.dryRun && !command.output.empty();
  std::wstring made;  // the identity of the run's claim while the command writes over it
  if (writes && ClaimOutput(command, run.reserved, run.namesLock, &made) == CLAIM_REFUSED) {
    COutputReport refused;
    refused.verdict = OUTPUT_UNCLAIMED;
    run.ReportOutput(command, refused);
    record.reason = REASON_UNCLAIMED;
    return COMMAND_FAILED;
  }
  // The claim may have given the output a new name, and the command with it.
  record.command = command.text;
  record.output = command.output;
  const bool kept = !writes || CommandOverwrites(command.text);
  if (!kept) {
    RemoveFile(command.output);
    made.clear();
  }
  if (writes && run.journal) run.journal->Add(command.output, made);
  NotePart(run, command);
  // The GPU takes only so many encodes at once: this one waits for its turn, unless a stop comes
  // first, which leaves the run's claim to go as any stopped command's output does.
  const bool session = command.gpuEncode;
  if (session && !run.gpuSessions.Take(run.stopping)) {
    if (writes) {
      RemoveRunOutput(command.output, made, L"stop");
      if (run.journal) run.journal->Remove(command.output);
    }
    record.reason = REASON_STOPPED;
    return COMMAND_STOPPED;
  }
  const auto started = std::chrono::steady_clock::now();
  int status = run.host->RunCommand(command, &run.commandStop);
  record.secondsTaken = SecondsSince(started);
  if (session) run.gpuSessions.Give();
  DebugLog(L"DoProcess-2-exit=%d", status);
  record.reason = REASON_NONE;
  CommandOutcome outcome = COMMAND_DONE;
  if (status == 0) {
    if (writes) outcome = JudgeOutput(run, command, made, record);
    if (writes && outcome == COMMAND_DONE) {
      KeepSourceDates(run, command);
      // As the output now is: a later run relies on it only while it stays so.
      GetFileStamp(command.output, record.outputSize, record.outputModified);
    }
  } else {
    // A stop, an interruption or a failure leaves nothing of the run's own.
    const bool interrupted = run.stopped || status == kStoppedStatus;
    if (writes && kept) RemoveRunOutput(command.output, made, interrupted ? L"stop" : L"fail");
    if (run.stopped) {
      record.reason = REASON_STOPPED;
      outcome = COMMAND_STOPPED;
    } else {
      record.reason = status == kStoppedStatus ? REASON_INTERRUPTED : REASON_EXIT_STATUS;
      record.exitStatus = status;
      if (record.reason == REASON_EXIT_STATUS) record.errorLine = run.host->CommandFailureReason(command);
      outcome = COMMAND_FAILED;
    }
  }
  if (writes && run.journal) run.journal->Remove(command.output);
  return outcome;
}

FileOutcome OutcomeOfFile(CommandOutcome outcome) {
  return outcome == COMMAND_DONE     ? FILE_DONE
         : outcome == COMMAND_FAILED ? FILE_FAILED
         : outcome == COMMAND_SHORT  ? FILE_SHORT
                                     : FILE_SKIPPED;
}

// RunCommandOf, with the outcome the record keeps.
CommandOutcome RunOne(CBatchRun& run, CBatchCommand command, CRunRecord& record) {
  const CommandOutcome outcome = RunCommandOf(run, command, record);
  record.outcome = OutcomeOfFile(outcome);
  return outcome;
}

void Count(CommandOutcome outcome, int files, CBatchReport& report) {
  if (outcome == COMMAND_DONE)
    report.filesDone += files;
  else if (outcome == COMMAND_FAILED)
    report.filesFailed += files;
  else if (outcome == COMMAND_SHORT)
    report.filesShort += files;
  else
    report.filesSkipped += files;
}

void RunMergeVideoAudio(CBatchRun& run, CBatchReport& report) {
  CBatchCommand command;
  command.text = run.ApplyPauseOption(run.mergeCommand.command);
  command.output = run.mergeCommand.outputPath;
  command.expectedMs = run.mergeCommand.expectedMs;
  command.fileCount = report.fileCount;
  // The command joins the first two entries; later ones are never looked at.
  int joined = report.fileCount < 2 ? report.fileCount : 2;
  CRunRecord ran;
  CommandOutcome outcome = RunOne(run, command, ran);
  Count(outcome, joined, report);
  report.filesSkipped += report.fileCount - joined;
  for (int position = 1; position <= report.fileCount; ++position) {
    const std::wstring& file = run.settings.files[position - 1];
    // Each of the two files has the one command's record; a later entry was never looked at.
    CRunRecord record = position <= joined ? ran : CRunRecord();
    CRunRecord entry = RecordOfEntry(position, file);
    record.position = entry.position;
    record.input = entry.input;
    record.inputSize = entry.inputSize;
    record.inputModified = entry.inputModified;
    run.Record(record);
    run.ReportFileEnd(position, position <= joined ? OutcomeOfFile(outcome) : FILE_SKIPPED);
  }
}

// The join runs only when every file was remuxed: otherwise it would silently leave out a part.
// False when the run must end at once, because the first entry gives the join no name.
bool RunJoin(CBatchRun& run, CBatchReport& report) {
  CRunRecord record;
  for (const auto& part : run.parts) record.parts.push_back(part.second.output);
  if (report.filesDone != report.fileCount || run.stopping) {
    report.join = JOIN_SKIPPED;
    DebugLog(L"DoProcess-3-skip join, %d of %d files remuxed", report.filesDone, report.fileCount);
    record.reason = run.stopping ? run.NotReached() : REASON_PARTS_MISSING;
    run.Record(record);
    return true;
  }
  CBatchCommand command;
  if (!GetJoinedOutputPath(run.settings.files[0], command.output, &run.reserved,
                           OutputFolderFor(run.settings, run.settings.files[0]))) {
    report.join = JOIN_SKIPPED;
    run.Record(record);
    return false;
  }
  run.reserved.Reserve(command.output);
  std::vector<std::wstring> intermediates;
  // The joined file lasts as long as its parts together, when each one's length is known.
  int64_t partsMs = 0;
  bool lengthsKnown = true;
  for (const auto& part : run.parts) {
    intermediates.push_back(part.second.output);
    lengthsKnown = lengthsKnown && part.second.expectedMs > 0;
    partsMs += part.second.expectedMs;
  }
  command.expectedMs = lengthsKnown ? partsMs : 0;
  command.text = MakeJoinCommand(intermediates, command.output);
  command.fileCount = report.fileCount;
  DebugLog(L"DoProcess-3-합치기-%s", command.text);
  command.text = run.ApplyPauseOption(command.text);
  CommandOutcome outcome = RunOne(run, command, record);
  run.Record(record);
  report.join = outcome == COMMAND_DONE     ? JOIN_DONE
                : outcome == COMMAND_FAILED ? JOIN_FAILED
                : outcome == COMMAND_SHORT  ? JOIN_SHORT
                                            : JOIN_SKIPPED;
  return true;
}

// Whether every file of the job makes an output of its own, which a later run may rely on.
bool IsResumableJob(int32_t jobKind) {
  return jobKind == JOB_CONVERT || jobKind == JOB_VIDEO_EXTRACT || jobKind == JOB_AUDIO_EXTRACT;
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
  CBuiltCommand built = ProbeAndBuild(settings, path, run.InputProbe(), run.reserved, pause);
  // A file without a command keeps (and traces) the text of the one before.
  if (built.Made()) command.text = built.text;
  DebugLog(L"DoProcess-2-ret=%d, [%s]", built.Made() ? 1 : 0, command.text);
  if (!built.Made()) {
    ++report.filesSkipped;
    CRunRecord record = RecordOfEntry(i + 1, path);
    record.reason = built.refusal.text == TXT_REFUSE_NOT_PROBED ? REASON_NOT_PROBED : REASON_REFUSED;
    if (record.reason == REASON_REFUSED) record.refusal = built.refusal;
    run.Record(record);
    if (built.refusal.text == TXT_REFUSE_NOT_PROBED)
      run.ReportNoCommand(path, i + 1);
    else
      run.ReportRefusedFile(path, i + 1, built.refusal);
    run.ReportFileEnd(i + 1, FILE_SKIPPED);
    return false;
  }
  run.reserved.Reserve(built.output);
  command.input = path;
  command.output = built.output;
  command.expectedMs = built.expectedMs;
  command.gpuEncode = built.gpuEncode;
  command.plannedOutput.clear();
  command.position = i + 1;
  command.fileCount = count;
  return true;
}

// An entry that an earlier run made whole is left out, with the output the run relies on; that
// name stays taken, so no command of this run writes it. False for any other entry.
bool SkipDoneBefore(CBatchRun& run, int i, CBatchReport& report) {
  if (!IsResumableJob(run.settings.jobKind)) return false;
  const std::wstring& path = run.settings.files[i];
  const auto found = run.options.doneBefore.find(path);
  if (found == run.options.doneBefore.end()) return false;
  const std::wstring& output = found->second.output;
  DebugLog(L"\nDoProcess-1-(%d/%d)-%s-done before-%s", i + 1, report.fileCount, path, output);
  run.reserved.Reserve(output);
  ++report.filesResumed;
  CRunRecord record = RecordOfEntry(i + 1, path);
  record.output = output;
  record.outcome = FILE_RESUMED;
  record.reason = REASON_NONE;
  record.checked = true;
  record.check = OUTPUT_WHOLE;
  GetFileStamp(output, record.outputSize, record.outputModified);
  run.Record(record);
  run.ReportResumed(path, i + 1, output);
  run.ReportFileEnd(i + 1, FILE_RESUMED);
  return true;
}

// The entries from first on are never reached: each counts as skipped, with its record.
void SkipTheRest(CBatchRun& run, int first, CBatchReport& report) {
  const int count = static_cast<int>(run.settings.files.size());
  report.filesSkipped += count - first;
  for (int i = first; i < count; ++i) {
    CRunRecord record = RecordOfEntry(i + 1, run.settings.files[i]);
    record.reason = run.NotReached();
    run.Record(record);
  }
}

// Probes every file before the first build, a group of files per MediaInfo run and a run per
// core at once when the run has a group probe (else one file after another), and lets the
// builds take the results: the probes, not the commands, are what one at a time would cost. A
// file the early probe could not read is probed again before its build, as any other would be.
// media and probed receive what each file told.
void ProbeEveryFile(CBatchRun& run, std::vector<MediaDesc>& media, std::vector<char>& probed) {
  // What an earlier run made whole is not looked at again.
  std::vector<std::wstring> files;
  for (const std::wstring& file : run.settings.files)
    if (!IsResumableJob(run.settings.jobKind) || run.options.doneBefore.count(file) == 0)
      files.push_back(file);
  if (run.options.probeGroup) {
    const int processes = run.options.probeProcesses > 0 ? run.options.probeProcesses : ProbeProcessCount();
    ProbeFileGroups(files, processes, run.options.probeGroup, media, probed,
                    [&run] { return run.stopping.load(); });
  } else {
    media.resize(files.size());
    probed.assign(files.size(), 0);
    for (size_t i = 0; i < files.size(); ++i) probed[i] = run.options.probe(files[i], media[i]);
  }
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
  run.probedAll = true;
}

// With a group probe, every file is probed before the first build (ProbeEveryFile), unless
// Start did so already.
void ProbeFilesAtOnce(CBatchRun& run) {
  if (!run.options.probeGroup || run.probedAll) return;
  std::vector<MediaDesc> media;
  std::vector<char> probed;
  ProbeEveryFile(run, media, probed);
}

// Several files at once: every command is built first, in the order of the list, so each
// output name is chosen (and reserved) before any command runs, and the names are those of a
// run of one file at a time; then up to options.jobs of them run at once.
void RunFilesAtOnce(CBatchRun& run, CBatchReport& report) {
  const int count = report.fileCount;
  ProbeFilesAtOnce(run);
  std::vector<CBatchCommand> commands;
  CBatchCommand command;  // a failed build keeps (and traces) the text of the one before, as in order
  for (int i = 0; i < count; ++i) {
    if (run.stopping || run.settings.files[i].empty()) {
      SkipTheRest(run, i, report);
      break;
    }
    run.settings.firstFileOfBatch = i == 0;
    if (SkipDoneBefore(run, i, report)) continue;
    if (BuildFileCommand(run, i, command, report)) commands.push_back(command);
  }
  std::mutex countLock;
  RunAtOnce(commands.size(), run.options.jobs, [&](size_t i) {
    // A stop or a detach keeps every command not yet started from starting; it counts as skipped.
    CRunRecord record = RecordOfEntry(commands[i].position, commands[i].input);
    CommandOutcome outcome = RunOne(run, commands[i], record);
    run.Record(record);
    {
      std::lock_guard<std::mutex> guard(countLock);
      Count(outcome, 1, report);
    }
    run.ReportFileEnd(commands[i].position, OutcomeOfFile(outcome));
  });
}

// One file after another: each command is built and run before the next file is looked at.
void RunFilesInTurn(CBatchRun& run, CBatchReport& report) {
  JobSettings& settings = run.settings;
  const int count = report.fileCount;
  ProbeFilesAtOnce(run);
  CBatchCommand command;
  for (int i = 0; i < count; ++i) {
    if (run.stopping || settings.files[i].empty()) {
      SkipTheRest(run, i, report);
      break;
    }
    if (i > 0) settings.firstFileOfBatch = false;
    if (SkipDoneBefore(run, i, report)) continue;
    if (!BuildFileCommand(run, i, command, report)) continue;
    // A build may take seconds (it probes the file): the window may have gone meanwhile.
    CRunRecord record = RecordOfEntry(command.position, command.input);
    CommandOutcome outcome = RunOne(run, command, record);
    run.Record(record);
    Count(outcome, 1, report);
    run.ReportFileEnd(i + 1, OutcomeOfFile(outcome));
  }
}

int64_t SecondsSince1970() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// The records into the report, in the list's order, the join last; the run's end time with them,
// and the whole report into its kept file.
void TakeRecords(CBatchRun& run, CBatchReport& report) {
  std::lock_guard<std::mutex> guard(run.recordsLock);
  report.records = run.records;
  std::stable_sort(
      report.records.begin(), report.records.end(), [](const CRunRecord& a, const CRunRecord& b) {
        return (a.position == 0 ? INT_MAX : a.position) < (b.position == 0 ? INT_MAX : b.position);
      });
  report.endedAt = SecondsSince1970();
  if (run.reportFile.End(report)) report.keptAs = run.reportFile.Path();
}

void DoProcess(CBatchRun& run) {
  EnterProgramDir();
  DebugLog(L"\n\nDoProcess-쓰레드 시작");
  JobSettings& settings = run.settings;
  const int count = static_cast<int>(settings.files.size());
  CBatchReport report;
  report.jobKind = settings.jobKind;
  report.fileCount = count;
  report.optionWords = SettingsOptionWords(settings);
  report.startedAt = SecondsSince1970();
  settings.firstFileOfBatch = true;
  if (!run.options.dryRun && !run.options.reportFolder.empty()) {
    std::lock_guard<std::mutex> guard(run.recordsLock);
    if (!run.reportFile.Begin(report, run.options.reportFolder))
      DebugLog(L"DoProcess-report not kept-%s", run.options.reportFolder);
  }

  if (settings.jobKind == JOB_MERGE_VIDEO_AUDIO) {
    RunMergeVideoAudio(run, report);
    report.stopped = run.stopped;
    TakeRecords(run, report);
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
    if (report.filesResumed > 0) DebugLog(L"DoProcess-4-done before=%d", report.filesResumed);
    if (report.filesShort > 0) DebugLog(L"DoProcess-4-short=%d", report.filesShort);
    DebugLog(L"DoProcess-쓰레드 멈춤");
  }
  TakeRecords(run, report);
  run.ReportEnd(report);
}

void DoProcessThread(std::shared_ptr<CBatchRun> run) {
  DoProcess(*run);
  run->finished = true;
  --aliveThreads;
}

bool IsPreviewFor(const CPreviewedCommand& preview, const JobSettings& settings) {
  return !preview.command.empty() && preview.jobKind == JOB_MERGE_VIDEO_AUDIO &&
         preview.files == settings.files && preview.outputFolder == settings.outputFolder;
}

}  // namespace

bool BatchSucceeded(const CBatchReport& report) {
  return report.filesFailed == 0 && report.filesSkipped == 0 && report.filesShort == 0 &&
         report.join != JOIN_FAILED && report.join != JOIN_SKIPPED && report.join != JOIN_SHORT;
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
  if (!options.measure) options.measure = MeasureMediaFile;

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
    why = CheckMergeEntries(settings.files, settings.outputFolder);
    if (why.Refused()) return BATCH_REFUSED;
    if (!settings.joinAnyway) {
      // The parts are compared before anything runs; the run then builds from these probes.
      std::vector<MediaDesc> media;
      std::vector<char> probed;
      ProbeEveryFile(*run, media, probed);
      why = CompareMergeParts(settings.files, media, probed);
      if (why.Refused()) {
        DebugLog(L"DoProcess-parts differ-%s", RefusalText(why, kUiLanguageEnglish));
        return BATCH_PARTS_DIFFER;
      }
    }
  }

  if (!options.dryRun) run->journal = std::make_unique<CRunJournal>();
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
  run_->gpuSessions.WakeAll();
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
    run_->gpuSessions.WakeAll();
  }
  if (thread_.joinable()) {
    if (run_ && run_->finished)
      thread_.join();
    else
      thread_.detach();
  }
  run_.reset();
}
