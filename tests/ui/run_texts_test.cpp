// The status line's texts around a run: the time a run has taken, after the line's own text.
#include "ui/run_texts.h"

#include <gtest/gtest.h>

#include "install/installer.h"

namespace {

TEST(RunTextsTest, TheElapsedTimeFollowsTheStatusText) {
  const struct {
    int64_t seconds;
    const wchar_t* elapsed;
  } times[] = {
      {0, L"(0:00)"},  {9, L"(0:09)"},         {42, L"(0:42)"},          {60, L"(1:00)"},
      {61, L"(1:01)"}, {3599, L"(59:59)"},     {3600, L"(1:00:00)"},     {3723, L"(1:02:03)"},
      {-5, L"(0:00)"}, {86399, L"(23:59:59)"}, {360000, L"(100:00:00)"},
  };
  for (const auto& t : times) {
    SCOPED_TRACE(t.seconds);
    EXPECT_EQ(t.elapsed, ElapsedText(t.seconds));
    EXPECT_EQ(std::wstring(L"[2/5] C:\\v\\clip.mp4 ") + t.elapsed,
              WithElapsedTime(RunStatusText(2, 5, L"C:\\v\\clip.mp4"), t.seconds));
    EXPECT_EQ(t.elapsed, WithElapsedTime(L"", t.seconds));
  }
  CBatchReport report;
  report.filesDone = 3;
  report.filesFailed = 1;
  report.filesSkipped = 1;
  EXPECT_EQ(L"완료 3, 실패 1, 건너뜀 1 (0:42)",
            WithElapsedTime(RunReportText(report, kUiLanguageKorean), 42));
  EXPECT_EQ(L"done 3, failed 1, skipped 1 (1:00:00)",
            WithElapsedTime(RunReportText(report, kUiLanguageEnglish), 3600));
}

}  // namespace
