// The status line's texts around a run: the time a run has taken, after the line's own text;
// the figures of a run in progress; the message at the end of a run that left files behind.
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

CRunRecord Record(int position, const wchar_t* input, FileOutcome outcome, RunReason reason) {
  CRunRecord record;
  record.position = position;
  record.input = input;
  record.outcome = outcome;
  record.reason = reason;
  return record;
}

// The end message lists what did not come out whole, in the list's order, the join last; what the
// user's own stop left undone needs no word; beyond the most it lists, it says how many more.
TEST(RunTextsTest, TheEndMessageNamesEachFileThatDidNotComeOutWhole) {
  CRunRecord failed = Record(2, L"C:\\v\\b.mp4", FILE_FAILED, REASON_EXIT_STATUS);
  failed.exitStatus = 1;
  failed.errorLine = L"Output file #0 does not contain any stream";
  CRunRecord shortOne = Record(3, L"C:\\v\\c.mkv", FILE_SHORT, REASON_SHORT);
  shortOne.outputSeconds = 4;
  shortOne.expectedSeconds = 8;
  CRunRecord join = Record(0, L"", FILE_SKIPPED, REASON_PARTS_MISSING);
  join.output = L"C:\\v\\a_ALL.mp4";
  CBatchReport report;
  report.jobKind = JOB_MERGE_FILES;
  report.fileCount = 5;
  report.records = {Record(1, L"C:\\v\\a.mp4", FILE_DONE, REASON_NONE),
                    failed,
                    shortOne,
                    Record(4, L"C:\\v\\d.txt", FILE_SKIPPED, REASON_NOT_PROBED),
                    Record(5, L"C:\\v\\e.mp4", FILE_SKIPPED, REASON_STOPPED),
                    join};
  EXPECT_EQ(
      RunEndText(report, kUiLanguageEnglish),
      L"Not every file came out whole:\n\n"
      L"[2/5] C:\\v\\b.mp4\nfailed: exit status 1: Output file #0 does not contain any stream\n\n"
      L"[3/5] C:\\v\\c.mkv\nshort: the output lasts 4 s of the 8 s expected; it is kept for you to check\n\n"
      L"[4/5] C:\\v\\d.txt\nskipped: MediaInfo could not read it; no command was made\n\n"
      L"[join] C:\\v\\a_ALL.mp4\nskipped: not every file was remuxed, so nothing was joined");
  EXPECT_EQ(RunEndText(report, kUiLanguageKorean, 2),
            L"일부 파일이 제대로 만들어지지 않았습니다:\n\n"
            L"[2/5] C:\\v\\b.mp4\n실패: 종료 코드 1: Output file #0 does not contain any stream\n\n"
            L"[3/5] C:\\v\\c.mkv\n짧음: 출력 길이가 4초뿐입니다 (8초여야 합니다). 확인할 수 있게 파일은 남겨 "
            L"둡니다\n\n... 외 2개 (실행 보고서를 보세요)");
  // A run whose only misses are the user's stop, or one without any, says nothing.
  report.records = {Record(1, L"a", FILE_DONE, REASON_NONE), Record(2, L"b", FILE_SKIPPED, REASON_STOPPED)};
  EXPECT_EQ(RunEndText(report, kUiLanguageEnglish), L"");
  report.records.clear();
  EXPECT_EQ(RunEndText(report, kUiLanguageKorean), L"");
}

}  // namespace
