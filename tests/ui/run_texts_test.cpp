// The status line's texts around a run: the time a run has taken, after the line's own text;
// the figures of a run in progress; the message at the end of a run that left files behind.
#include "ui/run_texts.h"

#include <gtest/gtest.h>

#include "base/format.h"
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

// Each figure only where it is known; the time left rounded up, never "0:00" while a run goes on.
TEST(RunTextsTest, TheFiguresOfARunInProgress) {
  const struct {
    int percent;
    double speed, secondsLeft;
    const wchar_t* korean;
    const wchar_t* english;
  } cases[] = {
      {42, 1.93, 31.2, L" \u2014 42%, 1.9x, 남은 시간 0:32", L" \u2014 42%, 1.9x, 0:32 left"},
      {0, 0, -1, L" \u2014 0%", L" \u2014 0%"},
      {-1, 12.25, 3725, L" \u2014 12.2x, 남은 시간 1:02:05", L" \u2014 12.2x, 1:02:05 left"},
      {100, 2, 0.01, L" \u2014 100%, 2.0x, 남은 시간 0:01", L" \u2014 100%, 2.0x, 0:01 left"},
      {-1, 0, -1, L"", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.korean, RunProgressText(c.percent, c.speed, c.secondsLeft, kUiLanguageKorean));
    EXPECT_EQ(c.english, RunProgressText(c.percent, c.speed, c.secondsLeft, kUiLanguageEnglish));
  }
}

// The end message lists what did not come out whole, in the list's order, the join last; what the
// user's own stop left undone needs no word; beyond the most it lists, it says how many more.
TEST(RunTextsTest, TheEndMessageNamesEachFileThatDidNotComeOutWhole) {
  CBatchReport report;
  report.jobKind = JOB_MERGE_FILES;
  report.fileCount = 4;
  for (RunReason reason :
       {REASON_NONE, REASON_SHORT, REASON_NOT_PROBED, REASON_STOPPED, REASON_PARTS_MISSING}) {
    CRunRecord record;
    record.position = static_cast<int>(report.records.size() + 1) % 5;  // the join last, at 0
    record.input = Sprintf(L"C:\\v\\%d.mp4", record.position);
    record.output = L"C:\\v\\1_ALL.mp4";
    record.outcome = reason == REASON_NONE ? FILE_DONE : reason == REASON_SHORT ? FILE_SHORT : FILE_SKIPPED;
    record.reason = reason;
    record.outputMs = 4500;
    record.expectedMs = 8000;
    report.records.push_back(record);
  }
  EXPECT_EQ(
      RunEndText(report, kUiLanguageEnglish),
      L"Not every file came out whole:\n\n"
      L"[2/4] C:\\v\\2.mp4\nshort: the output lasts 4.5 s of the 8 s expected; it is kept for you to check\n\n"
      L"[3/4] C:\\v\\3.mp4\nskipped: MediaInfo could not read it; no command was made\n\n"
      L"[join] C:\\v\\1_ALL.mp4\nskipped: not every file was remuxed, so nothing was joined");
  EXPECT_EQ(RunEndText(report, kUiLanguageKorean, 1),
            L"일부 파일이 제대로 만들어지지 않았습니다:\n\n[2/4] C:\\v\\2.mp4\n짧음: 출력 길이가 4.5초뿐입니다 "
            L"(8초여야 "
            L"합니다). 확인할 수 있게 파일은 남겨 둡니다\n\n... 외 2개 (실행 보고서를 보세요)");
  report.records.resize(1);  // only a file done: nothing to say
  EXPECT_EQ(RunEndText(report, kUiLanguageKorean), L"");
}

}  // namespace
