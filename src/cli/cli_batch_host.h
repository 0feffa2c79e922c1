#pragma once
// The command line's side of a run: each file's line and its progress on standard error,
// commands run through the command interpreter, several at once when the run has more than
// one job, and the report kept for the summary and the exit code.
#include <map>
#include <mutex>
#include <string>

#include "batch/batch_host.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/progress_board.h"

class CCliBatchHost : public CBatchHost {
 public:
  // preview: the merge of video and audio built for this request (empty for other jobs).
  CCliBatchHost(CCliOutput& out, const CCliRequest& request, CPreviewedCommand preview);

  // A file's line comes when its command starts: with several at once, that is when it is reached.
  void ShowStatus(const std::wstring&) override {}
  void ReportNoCommand(const std::wstring& path, int position) override;
  void ReportRefusedFile(const std::wstring& path, int position, const CRefusal& refusal) override;
  void ReportResumed(const std::wstring& path, int position, const std::wstring& output) override;
  int RunCommand(const CBatchCommand& command, CCommandStop* stop) override;
  void ReportOutput(const CBatchCommand& command, const COutputReport& report) override;
  std::wstring CommandFailureReason(const CBatchCommand& command) override;
  CPreviewedCommand PreviewedCommand() override { return preview_; }
  void ReportEnd(const CBatchReport& report) override;

  // Messages of the run, above the progress lines.
  void Say(const std::wstring& text);

  // Valid once the worker has been joined.
  const CBatchReport& Report() const { return report_; }
  bool Ended() const { return ended_; }

 private:
  std::wstring Counter(const CBatchCommand& command) const;
  // Runs the command, reading its standard error where that is wanted: lastLines receives its
  // last lines when they were read and not shown, errorLine the line that says why it failed.
  int RunWatched(const CBatchCommand& command, CCommandStop* stop, const std::wstring& counter,
                 std::string& lastLines, std::string& errorLine);

  CCliOutput& out_;
  CProgressBoard board_;
  const bool verbose_;
  const bool severalAtOnce_;
  // The run writes a report, whose reasons come from ffmpeg's own words: its standard error is
  // read also where nothing else would read it (passed on as it comes).
  const bool readsReasons_;
  const int32_t jobKind_;
  const double rangeSeconds_;
  const int fileCount_;
  const int gpuSessions_;
  CPreviewedCommand preview_;
  CBatchReport report_;
  bool ended_ = false;
  std::mutex reasonsLock_;
  std::map<int, std::wstring> reasons_;  // by the command's position, for CommandFailureReason
};
