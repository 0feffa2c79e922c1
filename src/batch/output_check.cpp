#include "batch/output_check.h"

#include <algorithm>

#include "base/file_util.h"
#include "base/trace.h"

bool LastsLongEnough(int actualSeconds, int expectedSeconds) {
  const int slack = std::max(1, expectedSeconds / 50);
  return static_cast<long long>(actualSeconds) + slack >= expectedSeconds;
}

COutputReport CheckOutput(const CBatchCommand& command, const ProbeFunction& probe) {
  COutputReport report;
  report.expectedSeconds = command.expectedSeconds;
  if (GetFileLength(command.output) <= 0) {
    report.verdict = OUTPUT_MISSING;
    return report;
  }
  if (command.expectedSeconds <= 0) return report;
  MediaDesc media;
  ResetMediaDesc(media);
  const bool probed = probe(command.output, media);
  DebugLog(L"CheckOutput-%d-%d-%d-%s", probed ? 1 : 0, media.durationSec, command.expectedSeconds,
           command.output);
  if (!probed || media.durationSec <= 0) return report;
  report.actualSeconds = media.durationSec;
  if (!LastsLongEnough(media.durationSec, command.expectedSeconds)) report.verdict = OUTPUT_SHORT;
  return report;
}
