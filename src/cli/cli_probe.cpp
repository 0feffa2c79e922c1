#include "base/format.h"
#include "batch/start_check.h"
#include "cli/cli_commands.h"
#include "cli/exit_codes.h"
#include "cli/media_json.h"
#include "probe/media_desc.h"
#include "probe/probe_runner.h"

int RunProbeCommand(CCliRequest& request, CCliOutput& out) {
  std::vector<std::wstring>& files = request.settings.files;
  std::wstring error;
  if (!CheckCliFiles(files, error)) {
    out.Err(CliFormat(TXT_CLI_MESSAGE, error));
    return CLI_EXIT_USAGE;
  }
  if (!IsMediaInfoPresent()) {
    out.Err(CliText(TXT_CLI_MEDIAINFO_MISSING));
    return CLI_EXIT_MISSING_TOOL;
  }
  int exitCode = CLI_EXIT_OK;
  for (size_t i = 0; i < files.size(); ++i) {
    MediaDesc media;
    ResetMediaDesc(media);
    if (!ProbeMediaFile(files[i], media)) {
      out.Err(CliFormat(TXT_CLI_CANNOT_PROBE, files[i]));
      exitCode = CLI_EXIT_FAILED;
      continue;
    }
    if (request.json) {
      out.Out(FormatMediaJson(media) + L"\n");
      continue;
    }
    std::wstring summary;
    FormatMediaSummary(media, summary);
    // The summary is written for the trace, where it opens with a blank line.
    if (!summary.empty() && summary[0] == L'\n') summary.erase(0, 1);
    if (!summary.empty() && summary.back() != L'\n') summary += L'\n';
    // Several files: each summary under its own path.
    if (files.size() > 1) summary = (i > 0 ? L"\n" : L"") + files[i] + L"\n" + summary;
    out.Out(summary);
  }
  return exitCode;
}
