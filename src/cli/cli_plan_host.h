#pragma once
// The command line's plan: the worker's run with every command printed instead of run, as text
// (one command line per line, exactly as a run would execute it) or as JSON (one object per
// command and line: the step, the files, the command text and the programs it starts with
// their arguments, as the command interpreter splits them).
#include <string>
#include <vector>

#include "batch/batch_host.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"

class CCliPlanHost : public CBatchHost {
 public:
  CCliPlanHost(CCliOutput& out, const CCliRequest& request, CPreviewedCommand preview);

  void ShowStatus(const std::wstring&) override {}
  void ReportNoCommand(const std::wstring& path, int position) override;
  void ReportRefusedFile(const std::wstring& path, int position, const CRefusal& refusal) override;
  int RunCommand(const CBatchCommand& command, CCommandStop* stop) override;
  CPreviewedCommand PreviewedCommand() override { return preview_; }
  void ReportEnd(const CBatchReport& report) override;

  const CBatchReport& Report() const { return report_; }
  bool Ended() const { return ended_; }

 private:
  CCliOutput& out_;
  const bool json_;
  const int32_t jobKind_;
  const std::vector<std::wstring> files_;
  CPreviewedCommand preview_;
  std::vector<int> fileSteps_;             // the places of the files whose commands came so far
  std::vector<std::wstring> fileOutputs_;  // and what they write
  CBatchReport report_;
  bool ended_ = false;
};

// One planned command as a line of JSON (see above). For a join, waitsFor lists the places
// of the files whose commands must have ended first, and inputs what they wrote; for a merge
// of video and audio, inputs are its two files.
std::wstring FormatPlanJson(const CBatchCommand& command, const std::wstring& jobName,
                            const std::vector<std::wstring>& inputs, const std::vector<int>& waitsFor);
