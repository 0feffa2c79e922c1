#include "ui/run_texts.h"

#include "base/duration_text.h"
#include "base/texts.h"

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
  text += Text(JoinText(report.join), uiLanguage);
  if (report.stopped) text += Text(TXT_RUN_STOPPED, uiLanguage);
  return text;
}

std::wstring ElapsedText(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  const int hours = static_cast<int>(seconds / 3600);
  const int minutes = static_cast<int>(seconds / 60 % 60);
  const int rest = static_cast<int>(seconds % 60);
  return hours > 0 ? Sprintf(L"(%d:%02d:%02d)", hours, minutes, rest) : Sprintf(L"(%d:%02d)", minutes, rest);
}

std::wstring WithElapsedTime(const std::wstring& text, int64_t seconds) {
  return text.empty() ? ElapsedText(seconds) : text + L" " + ElapsedText(seconds);
}

std::wstring KeptOutputText(const CKeptOutput& output, int32_t uiLanguage) {
  switch (output.verdict) {
    case OUTPUT_UNREADABLE:
      return FormatText(TXT_RUN_OUTPUT_UNREADABLE, uiLanguage, output.path);
    case OUTPUT_NO_STREAM:
      return FormatText(TXT_RUN_OUTPUT_NO_STREAM, uiLanguage, output.path);
    case OUTPUT_NO_LENGTH:
      return FormatText(TXT_RUN_OUTPUT_NO_LENGTH, uiLanguage, output.path);
    default:
      return FormatText(TXT_RUN_OUTPUT_SHORT, uiLanguage, output.path, SecondsText(output.actualMs),
                        SecondsText(output.expectedMs));
  }
}
