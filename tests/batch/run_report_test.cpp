// The run's report as a file: values that stay on their line whatever a file name holds, the
// blocks of a run with a join, and the user's folder that keeps the last reports and never
// writes over a file.
#include "batch/run_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/file_util.h"
#include "base/text.h"
#include "support/temp_dir.h"

namespace {

TEST(RunReport, ValuesStayOnTheirLineAndReadBackWhole) {
  const struct {
    std::string value, written;
  } cases[] = {
      {"/v/clip.mp4", "/v/clip.mp4"},
      {"C:\\v\\100% \xEC\x99\x84\xEB\xA3\x8C (2019).mp4",
       "C:\\v\\100%25 \xEC\x99\x84\xEB\xA3\x8C (2019).mp4"},
      {"line\nbreak\r\tand\x7F", "line%0Abreak%0D%09and%7F"},
      {"%0A as typed", "%250A as typed"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(EscapeReportValue(c.value), c.written);
    EXPECT_EQ(UnescapeReportValue(c.written), c.value);
  }
  // A percent sign that starts no escape reads as itself.
  EXPECT_EQ(UnescapeReportValue("50%, %G1, %4"), "50%, %G1, %4");
}

TEST(RunReport, AMergeHasABlockPerFileAndOneForItsJoin) {
  CBatchReport report;
  report.jobKind = JOB_MERGE_FILES;
  report.fileCount = 2;
  report.filesDone = 2;
  report.join = JOIN_FAILED;
  report.optionWords = {L"--job", L"merge", L"--output-dir", L"/out/a b"};
  for (int position : {1, 2}) {
    CRunRecord part;
    part.position = position;
    part.input = position == 1 ? L"/v/a.mp4" : L"/v/b.mp4";
    part.output = position == 1 ? L"/v/a.ts" : L"/v/b.ts";
    part.outcome = FILE_DONE;
    part.reason = REASON_NONE;
    part.checked = true;
    report.records.push_back(part);
  }
  CRunRecord join;
  join.parts = {L"/v/a.ts", L"/v/b.ts"};
  join.output = L"/v/a_ALL.mp4";
  join.outcome = FILE_FAILED;
  join.reason = REASON_EXIT_STATUS;
  join.exitStatus = 1;
  join.secondsTaken = 0.25;
  report.records.push_back(join);
  const std::string text = FormatRunReport(report);
  for (const char* part :
       {"\njob: merge\n", "\noptions: --job merge --output-dir \"/out/a b\"\n", "\njoin: failed\n",
        "\nstopped: no\n", "\n\n[file 1/2]\ninput: /v/a.mp4\n", "\n\n[file 2/2]\ninput: /v/b.mp4\n",
        "\n\n[join]\npart: /v/a.ts\npart: /v/b.ts\ncommand:\noutput: /v/a_ALL.mp4\noutcome: failed\n"
        "check: none\nexpected seconds: 0\noutput seconds: 0\nreason: exit status 1\nseconds taken: 0.2"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n-- in --\n" << text;
  }
  // A join has no input of its own, so no input size or date either.
  EXPECT_EQ(text.find("input", text.find("[join]")), std::string::npos);
}

// The user's folder keeps the last reports by their runs' start; a report whose name is taken
// gets the next one; files that are not reports stay whatever their number.
TEST(RunReport, TheFolderKeepsTheLastReportsAndNeverWritesOverAFile) {
  TempDir folder;
  const std::wstring notes = folder.Write(L"run-notes.txt", "mine");
  const std::wstring other = folder.Write(L"other.txt", "mine too");
  const int64_t start = 1714554723;  // 2024-05-01, some time in the day
  std::vector<std::wstring> kept;
  for (int i = 0; i < kKeptRunReports + 3; ++i) {
    CBatchReport report;
    report.fileCount = i;
    // The last two runs began in the same second.
    report.startedAt = start + (i < kKeptRunReports + 2 ? i * 60 : (i - 1) * 60);
    kept.push_back(KeepRunReport(report, folder.Path()));
    ASSERT_FALSE(kept.back().empty()) << i;
  }
  EXPECT_EQ(kept[kKeptRunReports + 2],
            kept[kKeptRunReports + 1].substr(0, kept[kKeptRunReports + 1].size() - 4) + L"_2.txt");
  std::set<std::string> counts;
  int reports = 0;
  for (const auto& entry : std::filesystem::directory_iterator(FsPath(folder.Path()))) {
    const std::wstring path = folder.Path() + Utf8ToWide(entry.path().filename().u8string());
    if (path == notes || path == other) continue;
    ++reports;
    std::string text;
    ASSERT_TRUE(ReadTextFile(path, text, 1 << 16));
    const size_t at = text.find("\nfiles: ");
    ASSERT_NE(at, std::string::npos);
    counts.insert(text.substr(at + 8, text.find('\n', at + 1) - at - 8));
  }
  EXPECT_EQ(reports, kKeptRunReports);
  // The three oldest went.
  EXPECT_EQ(counts.count("0") + counts.count("1") + counts.count("2"), 0u);
  EXPECT_EQ(counts.count("3") + counts.count(std::to_string(kKeptRunReports + 2)), 2u);
  std::string mine;
  ASSERT_TRUE(ReadTextFile(notes, mine, 100));
  EXPECT_EQ(mine, "mine");
  EXPECT_TRUE(FileExists(other));

  // A file of the report's name is never written over; a folder that cannot be had keeps nothing.
  CBatchReport report;
  EXPECT_FALSE(WriteRunReport(report, notes));
  ASSERT_TRUE(ReadTextFile(notes, mine, 100));
  EXPECT_EQ(mine, "mine");
  EXPECT_EQ(KeepRunReport(report, L""), L"");
}

}  // namespace
