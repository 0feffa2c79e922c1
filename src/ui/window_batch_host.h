#pragma once
// The main window's side of a batch run. The worker thread never touches a window: the path
// it reaches, its progress and its end report are kept here and the window is told by a posted
// message, so the worker never waits for the window's thread (which may be busy closing the
// window and detaching the worker at that very moment).
#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "batch/batch_host.h"
#include "batch/batch_progress.h"
#include "exec/console_host.h"

// Posted to the main window: a new status text (WM_BATCH_STATUS), the end of the run
// (WM_BATCH_END), of one of its files (WM_BATCH_FILE_END), and new progress figures
// (WM_BATCH_PROGRESS, at most one waiting at a time). Each is read back from the host on the
// window's thread.
constexpr UINT WM_BATCH_STATUS = WM_APP + 1;
constexpr UINT WM_BATCH_END = WM_APP + 2;
constexpr UINT WM_BATCH_FILE_END = WM_APP + 4;
constexpr UINT WM_BATCH_PROGRESS = WM_APP + 12;

// Runs one command line and waits for its end, ending it when stop (if any) stops; its exit
// status. errors, when not empty, receives what the line's programs write on their standard
// error as it comes (RunInOwnConsole).
using CommandRunner =
    std::function<int(const std::wstring& commandLine, CCommandStop* stop, const ConsoleErrorSink& errors)>;

// The run's progress as the window shows it (CBatchProgress).
struct CRunProgress {
  double fraction = 0;      // of the whole run
  int percent = -1;         // of the running command; -1 while not known
  double speed = 0;         // of the running command, times realtime; 0 while not known
  double secondsLeft = -1;  // for the whole run; -1 while not known
};

class CWindowBatchHost : public CBatchHost {
 public:
  // window: where the messages go; preview: the last preview at the time of Start; runner: runs
  // a line (RunInOwnConsole in the program). fileCount: the entries of the run's list, for the
  // status line's "[2/5]"; jobKind: the run's job.
  CWindowBatchHost(HWND window, CPreviewedCommand preview, CommandRunner runner, int fileCount,
                   int32_t jobKind = 0);

  void ShowStatus(const std::wstring& text) override;
  int RunCommand(const CBatchCommand& command, CCommandStop* stop) override;
  std::wstring CommandFailureReason(const CBatchCommand& command) override;
  CPreviewedCommand PreviewedCommand() override { return preview_; }
  void ReportEnd(const CBatchReport& report) override;
  void ReportFileEnd(int position, FileOutcome outcome) override;
  void ReportResumed(const std::wstring& path, int position, const std::wstring& output) override;

  // On the window's thread, after the messages above. Status is "[n/m] path" of the file the
  // run reached last.
  std::wstring Status() const;
  bool Ended() const;
  CBatchReport Report() const;
  // The run's report as the worker kept it (CBatchOptions::reportFolder); empty when it was not.
  std::wstring ReportPath() const;
  // Whether any file the run is done with so far failed or came out short.
  bool AnyFileFailed() const;
  // The progress now; a new WM_BATCH_PROGRESS may be posted after this.
  CRunProgress Progress();

 private:
  void PostProgress();

  const HWND window_;
  const CPreviewedCommand preview_;
  const CommandRunner runner_;
  const int fileCount_;
  mutable std::mutex lock_;
  int reached_ = 0;  // files the run has reached, in list order
  std::wstring status_;
  CBatchReport report_;
  bool ended_ = false;
  bool failed_ = false;
  CBatchProgress progress_;
  std::map<int, std::wstring> reasons_;  // ffmpeg's words on a failed command, by its position
  std::atomic<bool> progressPosted_{false};
};
