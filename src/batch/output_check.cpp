#include "batch/output_check.h"

#include <algorithm>
#include <utility>

#include "base/file_util.h"
#include "base/trace.h"

ProbeFunction MeasuringProbe(ProbeFunction probe, MeasureFunction measure) {
  return [probe = std::move(probe), measure = std::move(measure)](const std::wstring& path, MediaDesc& media) {
    if (!probe(path, media)) return false;
    if (media.exact.fileMs > 0) return true;
    CMediaLengths lengths;
    if (measure(path, lengths)) ApplyMediaLengths(lengths, media);
    return true;
  };
}

bool LastsLongEnough(int64_t actualMs, int64_t expectedMs) {
  const int64_t slack = std::max(kLeastLengthSlackMs, expectedMs / 100);
  return actualMs + slack >= expectedMs;
}

COutputReport CheckOutput(const CBatchCommand& command, const MeasureFunction& measure) {
  COutputReport report;
  report.expectedMs = command.expectedMs;
  if (GetFileLength(command.output) <= 0) {
    report.verdict = OUTPUT_MISSING;
    return report;
  }
  CMediaLengths lengths;
  const bool described = measure(command.output, lengths);
  DebugLog(L"CheckOutput-%d-%d-%d-%lld-%lld-%s", described ? 1 : 0, lengths.videoCount, lengths.audioCount,
           static_cast<long long>(lengths.fileMs), static_cast<long long>(command.expectedMs),
           command.output);
  if (described && lengths.fileMs > 0) report.actualMs = lengths.fileMs;
  if (!described) {
    report.verdict = OUTPUT_UNREADABLE;
  } else if (lengths.videoCount + lengths.audioCount == 0) {
    report.verdict = OUTPUT_NO_STREAM;
  } else if (lengths.fileMs == 0) {
    report.verdict = OUTPUT_NO_LENGTH;
  } else if (lengths.fileMs > 0 && command.expectedMs > 0 &&
             !LastsLongEnough(lengths.fileMs, command.expectedMs)) {
    report.verdict = OUTPUT_SHORT;
  }
  return report;
}
