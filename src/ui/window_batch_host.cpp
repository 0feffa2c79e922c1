#include "ui/window_batch_host.h"

#include <utility>

#include "ui/run_texts.h"

CWindowBatchHost::CWindowBatchHost(HWND window, CPreviewedCommand preview, CommandRunner runner,
                                   int fileCount)
    : window_(window), preview_(std::move(preview)), runner_(std::move(runner)), fileCount_(fileCount) {}

// The worker names each file once, in list order, as it reaches it.
void CWindowBatchHost::ShowStatus(const std::wstring& text) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    status_ = RunStatusText(++reached_, fileCount_, text);
  }
  PostMessageW(window_, WM_BATCH_STATUS, 0, 0);
}

// Uses nothing of the window: it may run after the window has gone.
int CWindowBatchHost::RunCommand(const CBatchCommand& command, CCommandStop* stop) {
  return runner_ ? runner_(command.text, stop) : -1;
}

// An output kept for the user is named at the end of the run; the other verdicts show in the
// counts, as any failure does.
void CWindowBatchHost::ReportOutput(const CBatchCommand& command, const COutputReport& report) {
  if (report.verdict == OUTPUT_MISSING || report.verdict == OUTPUT_UNCLAIMED) return;
  std::lock_guard<std::mutex> guard(lock_);
  keptOutputs_.push_back(CKeptOutput{command.output, report.verdict, report.actualMs, report.expectedMs});
}

void CWindowBatchHost::ReportRefusedFile(const std::wstring&, int, const CRefusal& refusal) {
  std::lock_guard<std::mutex> guard(lock_);
  refusedFiles_.push_back(refusal);
}

void CWindowBatchHost::ReportEnd(const CBatchReport& report) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    report_ = report;
    ended_ = true;
  }
  PostMessageW(window_, WM_BATCH_END, 0, 0);
}

void CWindowBatchHost::ReportFileEnd(int, FileOutcome outcome) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    ++finished_;
    if (outcome == FILE_FAILED || outcome == FILE_SHORT) failed_ = true;
  }
  PostMessageW(window_, WM_BATCH_FILE_END, 0, 0);
}

std::wstring CWindowBatchHost::Status() const {
  std::lock_guard<std::mutex> guard(lock_);
  return status_;
}

bool CWindowBatchHost::Ended() const {
  std::lock_guard<std::mutex> guard(lock_);
  return ended_;
}

CBatchReport CWindowBatchHost::Report() const {
  std::lock_guard<std::mutex> guard(lock_);
  return report_;
}

int CWindowBatchHost::FilesFinished() const {
  std::lock_guard<std::mutex> guard(lock_);
  return finished_;
}

bool CWindowBatchHost::AnyFileFailed() const {
  std::lock_guard<std::mutex> guard(lock_);
  return failed_;
}

std::vector<CKeptOutput> CWindowBatchHost::KeptOutputs() const {
  std::lock_guard<std::mutex> guard(lock_);
  return keptOutputs_;
}

std::vector<CRefusal> CWindowBatchHost::RefusedFiles() const {
  std::lock_guard<std::mutex> guard(lock_);
  return refusedFiles_;
}
