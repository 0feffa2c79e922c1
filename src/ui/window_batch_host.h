#pragma once
// The main window's side of a batch run. The worker thread never touches a window: the path
// it reaches and its end report are kept here and the window is told by a posted message, so
// the worker never waits for the window's thread (which may be busy closing the window and
// detaching the worker at that very moment).
#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "batch/batch_host.h"
#include "ui/run_texts.h"

// Posted to the main window: a new status text (WM_BATCH_STATUS), the end of the run
// (WM_BATCH_END) and of one of its files (WM_BATCH_FILE_END). Each is read back from the host
// on the window's thread.
constexpr UINT WM_BATCH_STATUS = WM_APP + 1;
constexpr UINT WM_BATCH_END = WM_APP + 2;
constexpr UINT WM_BATCH_FILE_END = WM_APP + 4;

// Runs one command line and waits for its end, ending it when stop (if any) stops; its exit
// status.
using CommandRunner = std::function<int(const std::wstring& commandLine, CCommandStop* stop)>;

class CWindowBatchHost : public CBatchHost {
 public:
  // window: where the messages go; preview: the last preview at the time of Start; runner: runs
  // a line (RunInOwnConsole in the program).
  // fileCount: the entries of the run's list, for the status line's "[2/5]".
  CWindowBatchHost(HWND window, CPreviewedCommand preview, CommandRunner runner, int fileCount);

  void ShowStatus(const std::wstring& text) override;
  int RunCommand(const CBatchCommand& command, CCommandStop* stop) override;
  void ReportOutput(const CBatchCommand& command, const COutputReport& report) override;
  CPreviewedCommand PreviewedCommand() override { return preview_; }
  void ReportEnd(const CBatchReport& report) override;
  void ReportFileEnd(int position, FileOutcome outcome) override;
  void ReportRefusedFile(const std::wstring& path, int position, const CRefusal& refusal) override;

  // On the window's thread, after the messages above. Status is "[n/m] path" of the file the
  // run reached last.
  std::wstring Status() const;
  bool Ended() const;
  CBatchReport Report() const;
  // The files the run is done with so far, and whether any of them failed.
  int FilesFinished() const;
  bool AnyFileFailed() const;
  std::vector<CKeptOutput> KeptOutputs() const;
  // The files whose command the build refused, and why (a range past a file's end).
  std::vector<CRefusal> RefusedFiles() const;

 private:
  const HWND window_;
  const CPreviewedCommand preview_;
  const CommandRunner runner_;
  const int fileCount_;
  mutable std::mutex lock_;
  int reached_ = 0;  // files the run has reached, in list order
  std::wstring status_;
  CBatchReport report_;
  std::vector<CKeptOutput> keptOutputs_;
  std::vector<CRefusal> refusedFiles_;
  bool ended_ = false;
  int finished_ = 0;
  bool failed_ = false;
};
