#include "ui/run_texts.h"

#include "base/format.h"
#include "install/installer.h"

namespace {
bool IsKorean(int32_t uiLanguage) { return uiLanguage == kUiLanguageKorean; }

const wchar_t* JoinText(JoinOutcome join, bool korean) {
  switch (join) {
    case JOIN_DONE:
      return korean ? L", 합치기 완료" : L", join done";
    case JOIN_FAILED:
      return korean ? L", 합치기 실패" : L", join failed";
    case JOIN_SKIPPED:
      return korean ? L", 합치기 안 함" : L", join skipped";
    default:
      return L"";
  }
}
}  // namespace

std::wstring StopCaption(int32_t uiLanguage) { return IsKorean(uiLanguage) ? L"중지" : L"Stop"; }

std::wstring GpuUnavailableQuestion(int32_t uiLanguage) {
  return IsKorean(uiLanguage) ? L"이 컴퓨터에서는 GPU 가속을 쓸 수 없습니다.\nGPU 가속 없이 실행할까요?"
                              : L"GPU acceleration is not available on this computer.\nRun without it?";
}

std::wstring StopQuestion(int32_t uiLanguage) {
  return IsKorean(uiLanguage) ? L"실행 중인 작업을 중지할까요?\n지금 만들고 있는 파일은 지워집니다."
                              : L"Stop the running job?\nThe file being made now is removed.";
}

std::wstring RunStatusText(int position, int count, const std::wstring& path) {
  return Sprintf(L"[%d/%d] %s", position, count, path);
}

std::wstring RunReportText(const CBatchReport& report, int32_t uiLanguage) {
  bool korean = IsKorean(uiLanguage);
  std::wstring text =
      korean ? Sprintf(L"완료 %d, 실패 %d, 건너뜀 %d", report.filesDone, report.filesFailed, report.filesSkipped)
             : Sprintf(L"done %d, failed %d, skipped %d", report.filesDone, report.filesFailed, report.filesSkipped);
  text += JoinText(report.join, korean);
  if (report.stopped) text += korean ? L", 중지됨" : L", stopped";
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
