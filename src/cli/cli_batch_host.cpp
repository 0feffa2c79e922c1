#include "cli/cli_batch_host.h"

#include "base/format.h"
#include "base/text.h"
#include "cli/progress_watch.h"
#include "exec/command_interpreter.h"

namespace {
std::wstring FileName(const std::wstring& path) {
  size_t slash = path.find_last_of(L"/\\");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

double RangeLength(const JobSettings& settings) {
  return settings.applyRange ? GetRangeSeconds(&settings.rangeStart, &settings.rangeEnd) : 0;
}
}  // namespace

CCliBatchHost::CCliBatchHost(CCliOutput& out, const CCliRequest& request, bool dryRun,
                             CPreviewedCommand preview)
    : out_(out),
      dryRun_(dryRun),
      // A pause waits for Enter on the terminal, which a redirected standard error would hide.
      progress_(!dryRun && !request.pause && out.ErrIsTerminal()),
      jobKind_(request.settings.jobKind),
      rangeSeconds_(RangeLength(request.settings)),
      fileCount_(static_cast<int>(request.settings.files.size())),
      preview_(std::move(preview)) {}

std::wstring CCliBatchHost::Counter() const { return Sprintf(L"[%d/%d]", position_, fileCount_); }

void CCliBatchHost::NoteFileWithoutCommand() {
  if (pending_.empty()) return;
  out_.Err(Sprintf(L"kestrune: %s skipped, no command for it (cannot probe '%s')\n", Counter(), pending_));
  pending_.clear();
}

void CCliBatchHost::ShowStatus(const std::wstring& text) {
  NoteFileWithoutCommand();
  ++position_;
  pending_ = text;
  if (!dryRun_) out_.Err(Sprintf(L"%s %s\n", Counter(), text));
}

int CCliBatchHost::RunCommand(const CBatchCommand& command, CCommandStop* stop) {
  const std::wstring& commandLine = command.text;
  if (dryRun_) {
    out_.Out(commandLine + L"\n");
    pending_.clear();
    return 0;
  }
  std::wstring counter = Counter();
  std::wstring name = FileName(pending_);
  if (pending_.empty()) {
    // A command without a file of its own: the join of a merge-files run, or the merge of
    // video and audio.
    counter = jobKind_ == JOB_MERGE_FILES ? L"[join]" : L"[merge]";
    if (jobKind_ != JOB_MERGE_FILES) out_.Err(counter + L" " + commandLine + L"\n");
  }
  int status;
  {
    std::unique_ptr<CProgressWatch> watch;
    // The join's length is the sum of its parts; its own progress shows the time reached.
    if (progress_)
      watch.reset(
          new CProgressWatch(WideToUtf8(counter), WideToUtf8(name), pending_.empty() ? 0 : rangeSeconds_));
    status = RunCommandLine(commandLine, stop);
  }
  if (status != 0) {
    out_.Err(Sprintf(L"kestrune: %s failed, exit status %d: %s\n", counter, status,
                     pending_.empty() ? commandLine : pending_));
  }
  pending_.clear();
  return status;
}

void CCliBatchHost::ReportEnd(const CBatchReport& report) {
  NoteFileWithoutCommand();
  report_ = report;
  ended_ = true;
}
