#pragma once
// The batch: walks a snapshot of the file list on a worker thread, builds one ffmpeg command
// per file and runs it, one after another, reporting through a CBatchHost; each command's
// output name is claimed as the command starts, and its output checked before it counts as
// done. The main window and the command line both start runs here.
//
// A run owns everything it uses: its own copy of JobSettings taken at Start, the names its
// commands write, and a share of the host. Nothing done in the window after Start
// changes the commands of that run, and one worker runs one batch at a time.
#include <memory>
#include <thread>

#include "base/texts.h"
#include "batch/batch_host.h"
#include "batch/file_command.h"
#include "batch/gpu_sessions.h"
#include "batch/output_check.h"
#include "batch/probe_groups.h"
#include "batch/run_report.h"
#include "batch/run_resume.h"
#include "jobs/job_settings.h"
#include "probe/media_lengths.h"
#include "probe/probe_runner.h"

enum BatchStart {
  BATCH_STARTED = 0,
  BATCH_BUSY,       // a run of this worker is still going; nothing was started
  BATCH_REFUSED,    // the request cannot be run as it stands; the refusal says why
  BATCH_NO_THREAD,  // the platform could not start the thread
  // A merge of files whose parts differ (CompareMergeParts); the refusal names the first
  // difference. The same request with settings.joinAnyway set joins them all the same.
  BATCH_PARTS_DIFFER,
};

struct CBatchOptions {
  // The window keeps the " & pause" endings, so the last console window waits for a key; the
  // command line drops them unless asked to keep them.
  bool pause = true;
  ProbeFunction probe = ProbeMediaFile;
  // How many files' commands may run at once. With 1 (the window's way) each file is built and
  // run before the next one is built. With more, a job whose files' commands are independent
  // (convert, the extracts, the remuxes of a merge of files) builds every command first, so
  // every output name is chosen before anything runs, then runs up to this many at once; the
  // join of a merge runs after all of them. A name that something took between the build and
  // the start gives way to the next free one as the command starts (output_claim.h).
  int jobs = 1;
  // A probe of several files at once with a report file of its own (ProbeMediaFilesTogether):
  // when given, the files of a job that probes each of them are probed before the first
  // command is built, in groups side by side (batch/probe_groups.h), and the builds take those
  // results. Empty: every file is probed by probe just before its build, one at a time.
  GroupProbeFunction probeGroup;
  // Groups of probeGroup probed at once; 0: ProbeProcessCount().
  int probeProcesses = 0;
  // A plan: the host only shows each command. No output name is claimed and no output checked.
  // Otherwise each command's output is claimed as it starts (output_claim.h) and, after it
  // exited with 0, checked with measure (output_check.h).
  bool dryRun = false;
  // How an output is checked, and how each input's lengths are read to the millisecond after its
  // probe, for the length its output must have and the range's check against its end (a plan
  // measures its inputs only where a range applies). Empty: MeasureMediaFile.
  MeasureFunction measure = MeasureMediaFile;
  // NVENC encodes of a run of several files at once that run together (gpu_sessions.h).
  int gpuSessions = kDefaultGpuSessions;
  // Entries of the list that an earlier run made whole (FindDoneInputs), by path: each is left
  // out, unprobed, counted as resumed, and its host told which output the run relies on. Only a
  // run of convert or an extract takes them.
  std::map<std::wstring, CDoneBefore> doneBefore;
  // Where the run's report is kept as the run goes (CRunReportFile): a run killed outright leaves
  // the entries it finished for a later run to resume from. Empty: nowhere; a plan keeps none.
  std::wstring reportFolder;
};

struct CBatchRun;

// Worker threads that have not ended, detached ones included. A program that ends while one
// still runs must end without its static objects being destroyed under that thread.
int BatchThreadsAlive();

class CBatchWorker {
 public:
  CBatchWorker() = default;
  // Does not wait for a running batch: detaches it as Detach does.
  ~CBatchWorker();
  CBatchWorker(const CBatchWorker&) = delete;
  CBatchWorker& operator=(const CBatchWorker&) = delete;

  // Snapshots settings and starts the worker thread. For a merge of video and audio the host's
  // previewed command is taken now, and only when it was built by that job kind for this very
  // file list and output folder; a merge-files list that the join cannot carry is refused
  // (CheckMergeEntries), and one whose parts differ, unless settings.joinAnyway (BATCH_PARTS_DIFFER): its
  // files are probed here, on the calling thread, and the run keeps what they told. refusal, when given, says
  // why a request was refused; the front end words it.
  BatchStart Start(const JobSettings& settings, std::shared_ptr<CBatchHost> host,
                   CBatchOptions options = CBatchOptions(), CRefusal* refusal = nullptr);

  bool IsRunning() const;

  // Waits until the current run has ended (a run that waits for a key waits for it too).
  void Join();

  // The user's stop: the command running now is ended (its partial output removed: the run
  // claimed its name, so the file is the run's own), no further command starts, and the run
  // ends as stopped, with its report. Any thread.
  void Stop();

  // For a host that is going away: after this returns the worker never calls ShowStatus or
  // ReportEnd again and starts no further command, also when it is building one now. A command
  // already running goes on in its own process; the thread ends when it returns, touching
  // only what the run owns.
  void Detach();

 private:
  std::shared_ptr<CBatchRun> run_;
  std::thread thread_;
};
