#include <algorithm>

#include "base/format.h"
#include "batch/probe_groups.h"
#include "batch/start_check.h"
#include "cli/cli_commands.h"
#include "cli/exit_codes.h"
#include "cli/media_json.h"
#include "probe/media_desc.h"
#include "probe/probe_runner.h"

namespace {
// Files of each group in a round of probes: enough that a MediaInfo run's start is worth it,
// few enough that the first lines come soon.
constexpr size_t kFilesAGroupRound = 16;

// One file's lines: its summary or JSON object, or why it has none. False when it has none.
bool PrintProbe(const CCliRequest& request, size_t count, size_t i, bool probed, const MediaDesc& media,
                CCliOutput& out) {
  const std::wstring& path = request.settings.files[i];
  if (!probed) {
    out.Err(CliFormat(TXT_CLI_CANNOT_PROBE, path));
    return false;
  }
  if (request.json) {
    out.Out(FormatMediaJson(media) + L"\n");
    return true;
  }
  std::wstring summary;
  FormatMediaSummary(media, summary);
  // The summary is written for the trace, where it opens with a blank line.
  if (!summary.empty() && summary[0] == L'\n') summary.erase(0, 1);
  if (!summary.empty() && summary.back() != L'\n') summary += L'\n';
  // Several files: each summary under its own path.
  if (count > 1) summary = (i > 0 ? L"\n" : L"") + path + L"\n" + summary;
  out.Out(summary);
  return true;
}
}  // namespace

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
  // The files are probed a round at a time, a group per core side by side, and each round is
  // printed in the list's order before the next one starts.
  const int processes = ProbeProcessCount();
  const size_t round = static_cast<size_t>(processes) * kFilesAGroupRound;
  for (size_t first = 0; first < files.size(); first += round) {
    const size_t end = std::min(files.size(), first + round);
    const std::vector<std::wstring> some(files.begin() + first, files.begin() + end);
    std::vector<MediaDesc> media;
    std::vector<char> probed;
    // One file is probed as the window probes it (its report media.txt); so are the files when
    // no private folder can be had for the reports of groups.
    if (files.size() == 1 || !ProbeFileGroups(some, processes, ProbeMediaFilesTogether, media, probed)) {
      media.resize(some.size());
      probed.resize(some.size());
      for (size_t i = 0; i < some.size(); ++i) probed[i] = ProbeMediaFile(some[i], media[i]);
    }
    for (size_t i = 0; i < some.size(); ++i) {
      if (!PrintProbe(request, files.size(), first + i, probed[i] != 0, media[i], out))
        exitCode = CLI_EXIT_FAILED;
    }
  }
  return exitCode;
}
