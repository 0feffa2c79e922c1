#pragma once
// What a batch run needs of the program that started it. The main window and the command line
// each implement it, so both drive the same worker. The worker holds the host through a
// shared_ptr for the whole run; after CBatchWorker::Detach it calls only RunCommand, so a
// window that goes away first is never reached through ShowStatus or ReportEnd.
#include <cstdint>
#include <string>
#include <vector>

#include "base/texts.h"
#include "jobs/job_settings.h"

class CCommandStop;

// The command the preview last built, with the job kind, the file list and the output folder it
// was built for.
// command is empty when that build made none (a merge condition not met, a failed probe):
// a merge of video and audio then refuses to start instead of running an older command.
struct CPreviewedCommand {
  std::wstring command;
  int32_t jobKind = 0;
  std::vector<std::wstring> files;
  std::wstring outputPath;      // the file command writes
  int64_t expectedMs = 0;       // how long that file must last; 0 when it cannot be told
  std::wstring outputFolder{};  // the output folder it was built for (JobSettings::outputFolder)
};

// One command of a run, as the host is asked to run it.
struct CBatchCommand {
  std::wstring text;       // the command line, exactly as it runs
  std::wstring input;      // the file it works on; empty for a join and a merge of video and audio
  std::wstring output;     // the file it writes
  int position = 0;        // input's 1-based place in the list; 0 for a join and a merge of video and audio
  int fileCount = 0;       // entries in the run's list
  int64_t expectedMs = 0;  // how long the output must last (CBuiltCommand); 0 when it cannot be told
  std::wstring plannedOutput;  // the name the build chose, when something took it before the
                               // command started and output is the next free one; else empty
  bool gpuEncode = false;      // it encodes with NVENC: it waits for one of the GPU's sessions
};

// What the run found of a command's output beyond its exit status; the host hears of every
// verdict but OUTPUT_WHOLE.
enum OutputVerdict {
  OUTPUT_WHOLE = 0,   // there, read by MediaInfo, with a stream, and as long as expected (or its
                      // length cannot be told)
  OUTPUT_SHORT,       // there, but shorter than expected: counted short, and kept for the user
  OUTPUT_MISSING,     // the command exited with 0 but left no output or an empty one: failed
  OUTPUT_UNCLAIMED,   // the name could not be created (the folder refused it): nothing ran, failed
  OUTPUT_UNREADABLE,  // MediaInfo cannot read it: failed, and kept for the user
  OUTPUT_NO_STREAM,   // it holds no audio or video stream: failed, and kept
  OUTPUT_NO_LENGTH,   // it lasts 0 ms: failed, and kept
};

struct COutputReport {
  OutputVerdict verdict = OUTPUT_WHOLE;
  int64_t expectedMs = 0;
  int64_t actualMs = 0;  // the output's length as measured; 0 when it could not be told
};

// How a join of merged files ended.
enum JoinOutcome {
  JOIN_NONE = 0,  // not a merge-files run, or fewer than two files
  JOIN_DONE,      // the join command exited with 0
  JOIN_FAILED,    // it exited with another status, or left no output
  JOIN_SKIPPED,   // not run, because a file before it was not remuxed
  JOIN_SHORT,     // it exited with 0, but the joined file is shorter than its parts together
};

// How the run ended with one file of its list, counted as the report counts it.
enum FileOutcome {
  FILE_DONE = 0,  // its command exited with 0
  FILE_FAILED,    // its command exited with another status
  FILE_SKIPPED,   // no command could be made for it (its probe failed, its range lies past its end),
                  // or a stop ended its command
  FILE_SHORT,     // its command exited with 0, but its output lasts less than asked
  FILE_RESUMED,   // not run: an earlier run of the same settings made its output whole, and the
                  // input and that output are as that run left them (run_resume.h)
};

// Why a file, or the join, did not end as done.
enum RunReason {
  REASON_NONE = 0,          // it is done
  REASON_EXIT_STATUS,       // its command exited with exitStatus; errorLine says why, as ffmpeg put it
  REASON_INTERRUPTED,       // a Ctrl-C in its console ended its command
  REASON_NO_OUTPUT,         // its command exited with 0 but left no output, or an empty one
  REASON_UNCLAIMED,         // its output's name could not be made (the folder refused it); nothing ran
  REASON_SHORT,             // its output lasts outputMs of the expectedMs asked for
  REASON_NOT_PROBED,        // MediaInfo could not read it, so no command was made
  REASON_STOPPED,           // the user's stop ended its command, or came before it started
  REASON_NOT_REACHED,       // the run ended before it for another reason (the window closed, an empty
                            // entry, a merge of video and audio that takes only the first two files)
  REASON_PARTS_MISSING,     // the join did not run, because not every file was remuxed
  REASON_REFUSED,           // the build refused its command (refusal says why: a range past its end)
  REASON_UNTRUSTED_OUTPUT,  // its command exited with 0, but its output cannot be trusted: check says
                            // how (unreadable, no stream, no length)
};

// How the run ended with one entry of its list, or with the join of a merge: a block of the
// run's report (batch/run_report.h).
struct CRunRecord {
  int position = 0;                 // the entry's 1-based place in the list; 0 for the join
  std::wstring input;               // the entry; empty for the join
  std::vector<std::wstring> parts;  // the join's inputs, as their remuxes wrote them
  int64_t inputSize = -1;           // the input's size in bytes and modification time (seconds since
  int64_t inputModified = 0;        // 1970, UTC) as the run found it; -1 and 0 when unknown
  std::wstring command;             // the command run (or that would have run); empty when none was made
  std::wstring output;              // the file it wrote, or would have
  FileOutcome outcome = FILE_SKIPPED;
  RunReason reason = REASON_NOT_REACHED;
  int exitStatus = 0;      // for REASON_EXIT_STATUS
  std::wstring errorLine;  // ffmpeg's own words on why, when the host read them (CommandFailureReason)
  CRefusal refusal;        // for REASON_REFUSED
  // The check of its output, when the command exited with 0 (OutputVerdict); checked is false
  // when there was nothing to check.
  bool checked = false;
  OutputVerdict check = OUTPUT_WHOLE;
  int64_t expectedMs = 0;  // the length the output must have; 0 when it cannot be told
  int64_t outputMs = 0;    // the output's length as measured; 0 when not measured
  double secondsTaken = 0;  // how long its command ran
  // The output as it was once checked whole (or, for a resumed entry, as the earlier run left it):
  // its size and modification time (UTC seconds); -1 and 0 when not known. A later run that
  // resumes relies on it only while it is still so.
  int64_t outputSize = -1;
  int64_t outputModified = 0;
};

// The end-of-run report. Every entry of the file list is counted exactly once.
struct CBatchReport {
  int32_t jobKind = 0;
  int fileCount = 0;     // entries in the snapshot's list
  int filesDone = 0;     // a command was made, exited with 0, and its output is whole
  int filesFailed = 0;   // a command was made and exited with another status, or left no output or
                         // one that cannot be trusted (OutputVerdict)
  int filesSkipped = 0;  // no command made (the probe failed, the build refused), never reached,
                         // or stopped
  int filesShort = 0;    // a command exited with 0, but its output is shorter than expected
  int filesResumed = 0;  // not run: done whole by an earlier run (CBatchOptions::doneBefore)
  JoinOutcome join = JOIN_NONE;
  bool stopped = false;  // the user stopped the run: its running command was ended, no other started
  // One record per entry of the list, in list order, then the join's when a merge of files has
  // one; built as the run goes, whole once the run has ended.
  std::vector<CRunRecord> records;
  std::vector<std::wstring> optionWords;  // the run's settings as the command line's options
  int64_t startedAt = 0;                  // when the run began and ended, seconds since 1970 (UTC)
  int64_t endedAt = 0;
  std::wstring keptAs;  // the file the report is kept as (CBatchOptions::reportFolder); empty: none
};

// True when every file and the join (if any) succeeded.
bool BatchSucceeded(const CBatchReport& report);

class CBatchHost {
 public:
  virtual ~CBatchHost() = default;

  // The status line: the path of the file the worker reached. Called on the worker thread,
  // under the lock that Detach takes, so it must not wait for the thread that calls Detach
  // (a window posts the text rather than sending it).
  virtual void ShowStatus(const std::wstring& text) = 0;

  // Runs one command and waits for its end; returns its exit status as RunCommandLine gives it.
  // stop belongs to the run: when it stops, the command must end (RunCommandLine and
  // RunInOwnConsole take it as it is). Called on the worker thread without any lock, possibly
  // after Detach, so it must use no state of the window. A run with more than one job
  // (CBatchOptions::jobs) calls it from several threads at once.
  virtual int RunCommand(const CBatchCommand& command, CCommandStop* stop) = 0;

  // A file of the list for which no command could be made (its probe failed); position is its
  // 1-based place in the list. Called on the worker thread under the lock that Detach takes,
  // after the file's ShowStatus. The window's status line needs nothing of it.
  virtual void ReportNoCommand(const std::wstring& path, int position) {
    (void)path;
    (void)position;
  }

  // A file of the list that was probed, but whose command the build refused (a range that
  // starts after its end): why, to be worded by the host. Called as ReportNoCommand is, in its
  // place; the file counts as skipped.
  virtual void ReportRefusedFile(const std::wstring& path, int position, const CRefusal& refusal) {
    (void)refusal;
    ReportNoCommand(path, position);
  }

  // The run is done with the file at position (1-based) of the list: once for each file whose
  // command ended or for which none could be made, as it happens (with more than one job, not
  // in the list's order); for a merge of video and audio, each entry once its one command has
  // ended. A file that a stop kept from being reached may get none. Same rule as ShowStatus,
  // one call at a time. The window shows the files finished on its taskbar button.
  virtual void ReportFileEnd(int position, FileOutcome outcome) {
    (void)position;
    (void)outcome;
  }

  // A file of the list left out because an earlier run made its output whole: output is the file
  // the run relies on. Called as ReportNoCommand is, in its place; the file counts as resumed.
  virtual void ReportResumed(const std::wstring& path, int position, const std::wstring& output) {
    (void)path;
    (void)position;
    (void)output;
  }

  // A command's output that is not whole (OutputVerdict), after the command's RunCommand (for
  // OUTPUT_UNCLAIMED in its place). Called as ReportNoCommand is, from several threads when
  // several commands run at once.
  virtual void ReportOutput(const CBatchCommand& command, const COutputReport& report) {
    (void)command;
    (void)report;
  }

  // Why the command that RunCommand just ran failed, as its program said it: ffmpeg's last error
  // line (CFfmpegErrorStream::LastErrorLine); empty where the host did not read its output.
  // Called on the thread that ran it, right after a RunCommand that gave a status other than 0.
  virtual std::wstring CommandFailureReason(const CBatchCommand& command) {
    (void)command;
    return std::wstring();
  }

  // The last preview; read once by Start on the thread that calls it (the window's own thread),
  // and only for a merge of video and audio.
  virtual CPreviewedCommand PreviewedCommand() = 0;

  // Once per run, on the worker thread, after the last command (same rule as ShowStatus). The
  // run already counts as over, but the worker's own thread is still in this call, so a new
  // Start belongs on the window's thread (post the report there).
  virtual void ReportEnd(const CBatchReport& report) = 0;
};
