#pragma once
// The command line's side of a batch: progress on standard error, commands run through the
// command interpreter (or, for plan, printed on standard output and not run), and the report
// kept for the summary and the exit code.
#include <string>

#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "exec/batch_host.h"

class CCliBatchHost : public CBatchHost {
 public:
  // dryRun: print each command instead of running it. preview: the merge of video and audio
  // built for this request (empty for other jobs).
  CCliBatchHost(CCliOutput& out, const CCliRequest& request, bool dryRun, CPreviewedCommand preview);

  void ShowStatus(const std::wstring& text) override;
  int RunCommand(const CBatchCommand& command, CCommandStop* stop) override;
  CPreviewedCommand PreviewedCommand() override { return preview_; }
  void ReportEnd(const CBatchReport& report) override;

  // Valid once the worker has been joined.
  const CBatchReport& Report() const { return report_; }
  bool Ended() const { return ended_; }

 private:
  void NoteFileWithoutCommand();
  std::wstring Counter() const;

  CCliOutput& out_;
  const bool dryRun_;
  const bool progress_;
  const int32_t jobKind_;
  const double rangeSeconds_;
  const int fileCount_;
  CPreviewedCommand preview_;
  int position_ = 0;
  std::wstring pending_;  // the file announced last, until its command runs
  CBatchReport report_;
  bool ended_ = false;
};
