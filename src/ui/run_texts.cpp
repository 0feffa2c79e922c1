#include "ui/run_texts.h"

#include <cmath>

#include "base/texts.h"
#include "batch/run_report.h"

namespace {
TextId JoinText(JoinOutcome join) {
  switch (join) {
    case JOIN_DONE:
      return TXT_RUN_JOIN_DONE;
    case JOIN_FAILED:
      return TXT_RUN_JOIN_FAILED;
    case JOIN_SKIPPED:
      return TXT_RUN_JOIN_SKIPPED;
    case JOIN_SHORT:
      return TXT_RUN_JOIN_SHORT;
    default:
      return TXT_NONE;
  }
}
}  // namespace

std::wstring StopCaption(int32_t uiLanguage) { return Text(TXT_STOP_CAPTION, uiLanguage); }

std::wstring GpuUnavailableQuestion(int32_t uiLanguage) {
  return Text(TXT_GPU_UNAVAILABLE_QUESTION, uiLanguage);
}

std::wstring StopQuestion(int32_t uiLanguage) { return Text(TXT_STOP_QUESTION, uiLanguage); }

std::wstring RunStatusText(int position, int count, const std::wstring& path) {
  // The same in every language.
  return FormatText(TXT_RUN_STATUS, kUiLanguageEnglish, position, count, path);
}

std::wstring RunReportText(const CBatchReport& report, int32_t uiLanguage) {
  std::wstring text =
      FormatText(TXT_RUN_REPORT, uiLanguage, report.filesDone, report.filesFailed, report.filesSkipped);
  if (report.filesShort > 0) text += FormatText(TXT_RUN_REPORT_SHORT, uiLanguage, report.filesShort);
  if (report.filesResumed > 0) text += FormatText(TXT_RUN_REPORT_RESUMED, uiLanguage, report.filesResumed);
  text += Text(JoinText(report.join), uiLanguage);
  if (report.stopped) text += Text(TXT_RUN_STOPPED, uiLanguage);
  return text;
}

std::wstring RunClockText(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  const int hours = static_cast<int>(seconds / 3600);
  const int minutes = static_cast<int>(seconds / 60 % 60);
  const int rest = static_cast<int>(seconds % 60);
  return hours > 0 ? Sprintf(L"%d:%02d:%02d", hours, minutes, rest) : Sprintf(L"%d:%02d", minutes, rest);
}

std::wstring ElapsedText(int64_t seconds) { return L"(" + RunClockText(seconds) + L")"; }

std::wstring RunProgressText(int percent, double speed, double secondsLeft, int32_t uiLanguage) {
  std::wstring figures;
  auto add = [&figures](const std::wstring& figure) {
    figures += (figures.empty() ? L" \u2014 " : L", ") + figure;
  };
  if (percent >= 0) add(Sprintf(L"%d%%", percent));
  if (speed > 0) add(Sprintf(L"%.1fx", speed));
  // Rounded up: a run never says "0:00 left" while it still goes on.
  if (secondsLeft >= 0)
    add(FormatText(TXT_RUN_TIME_LEFT, uiLanguage,
                   RunClockText(static_cast<int64_t>(std::ceil(secondsLeft)))));
  return figures;
}

std::wstring WithElapsedTime(const std::wstring& text, int64_t seconds) {
  return text.empty() ? ElapsedText(seconds) : text + L" " + ElapsedText(seconds);
}

std::wstring RunEndText(const CBatchReport& report, int32_t uiLanguage, size_t maxListed) {
  std::wstring entries;
  size_t listed = 0, more = 0;
  for (const CRunRecord& record : report.records) {
    // What the user's own stop left undone needs no word.
    // Nor does what an earlier run made whole.
    if (record.outcome == FILE_DONE || record.outcome == FILE_RESUMED || record.reason == REASON_STOPPED)
      continue;
    if (listed == maxListed) {
      ++more;
      continue;
    }
    ++listed;
    const bool join = record.position == 0 && report.jobKind == JOB_MERGE_FILES;
    const std::wstring counter = join ? std::wstring(Text(TXT_RUN_END_JOIN, uiLanguage))
                                      : Sprintf(L"[%d/%d]", record.position, report.fileCount);
    entries +=
        L"\n\n" + FormatText(TXT_RUN_END_ENTRY, uiLanguage, counter, join ? record.output : record.input,
                             RecordOutcomeText(record, uiLanguage), RecordReasonText(record, uiLanguage));
  }
  if (listed == 0) return std::wstring();
  std::wstring text = Text(TXT_RUN_END_INTRO, uiLanguage) + entries;
  if (more > 0) text += L"\n\n" + FormatText(TXT_RUN_END_MORE, uiLanguage, static_cast<int>(more));
  return text;
}
