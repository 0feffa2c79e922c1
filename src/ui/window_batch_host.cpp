#include "ui/window_batch_host.h"

#include <utility>

#include "base/text.h"
#include "batch/ffmpeg_statistics.h"
#include "ui/run_texts.h"

CWindowBatchHost::CWindowBatchHost(HWND window, CPreviewedCommand preview, CommandRunner runner,
                                   int fileCount, int32_t jobKind)
    : window_(window),
      preview_(std::move(preview)),
      runner_(std::move(runner)),
      fileCount_(fileCount),
      progress_(fileCount, jobKind == JOB_MERGE_FILES && fileCount >= 2) {}

// The worker names each file once, in list order, as it reaches it.
void CWindowBatchHost::ShowStatus(const std::wstring& text) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    status_ = RunStatusText(++reached_, fileCount_, text);
  }
  PostMessageW(window_, WM_BATCH_STATUS, 0, 0);
}

// Uses nothing of the window: it may run after the window has gone. ffmpeg's statistics move
// the progress as they come; its words are kept for a failure.
int CWindowBatchHost::RunCommand(const CBatchCommand& command, CCommandStop* stop) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    progress_.OnCommandStart(command.position, command.expectedMs / 1000.0);
  }
  PostProgress();
  CFfmpegErrorStream stream(command.expectedMs / 1000.0);
  stream.onProgress = [this, &command](const CFfmpegProgress& reached) {
    {
      std::lock_guard<std::mutex> guard(lock_);
      progress_.OnStatistics(command.position, reached);
    }
    PostProgress();
  };
  const int status =
      runner_ ? runner_(command.text, stop, [&stream](const std::string& bytes) { stream.Take(bytes); }) : -1;
  stream.Finish();
  if (status != 0) {
    std::lock_guard<std::mutex> guard(lock_);
    reasons_[command.position] = Utf8ToWide(stream.LastErrorLine());
  }
  return status;
}

std::wstring CWindowBatchHost::CommandFailureReason(const CBatchCommand& command) {
  std::lock_guard<std::mutex> guard(lock_);
  auto found = reasons_.find(command.position);
  return found == reasons_.end() ? std::wstring() : found->second;
}

// The worker has kept the report before the end comes, so the end message can offer it.
void CWindowBatchHost::ReportEnd(const CBatchReport& report) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    report_ = report;
    ended_ = true;
  }
  PostMessageW(window_, WM_BATCH_END, 0, 0);
}

// The status line counts it as reached, as any other file; the end's count and the kept report
// say it was done before, and which output the run relies on.
void CWindowBatchHost::ReportResumed(const std::wstring& path, int position, const std::wstring& output) {
  (void)position;
  (void)output;
  ShowStatus(path);
}

void CWindowBatchHost::ReportFileEnd(int position, FileOutcome outcome) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    progress_.OnFileEnd(position);
    if (outcome == FILE_FAILED || outcome == FILE_SHORT) failed_ = true;
  }
  PostMessageW(window_, WM_BATCH_FILE_END, 0, 0);
}

void CWindowBatchHost::PostProgress() {
  if (!progressPosted_.exchange(true)) PostMessageW(window_, WM_BATCH_PROGRESS, 0, 0);
}

CRunProgress CWindowBatchHost::Progress() {
  progressPosted_ = false;
  std::lock_guard<std::mutex> guard(lock_);
  CRunProgress now;
  now.fraction = progress_.Fraction();
  now.percent = progress_.CommandPercent();
  now.speed = progress_.Speed();
  now.secondsLeft = progress_.SecondsLeft();
  return now;
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

std::wstring CWindowBatchHost::ReportPath() const {
  std::lock_guard<std::mutex> guard(lock_);
  return report_.keptAs;
}

bool CWindowBatchHost::AnyFileFailed() const {
  std::lock_guard<std::mutex> guard(lock_);
  return failed_;
}
