// The run's report as a file: values that stay on their line whatever a file name holds, the
// block of a join, and the user's folder that keeps the last reports and never writes over a
// file. (A whole report of a real run: tests/cli and tests/ui.)
#include "batch/run_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "base/file_util.h"
#include "base/text.h"
#include "support/temp_dir.h"

namespace {

TEST(RunReport, ValuesStayOnTheirLineAndReadBackWhole) {
  const struct {
    std::string value, written;
  } cases[] = {
      {"/v/clip.mp4", "/v/clip.mp4"},
      {"C:\\v\\100% \xEC\x99\x84\xEB\xA3\x8C.mp4", "C:\\v\\100%25 \xEC\x99\x84\xEB\xA3\x8C.mp4"},
      {"line\nbreak\r\tand\x7F", "line%0Abreak%0D%09and%7F"},
      {"%0A as typed", "%250A as typed"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeReportValue(c.value), c.written);
    EXPECT_EQ(UnescapeReportValue(c.written), c.value);
  }
  EXPECT_EQ(UnescapeReportValue("50%, %G1, %4"), "50%, %G1, %4");  // no escape: as it is
}

// A join has its parts and no input of its own; the settings read as one line of words.
TEST(RunReport, AJoinHasItsPartsAndTheSettingsTheirWords) {
  CBatchReport report;
  report.jobKind = JOB_MERGE_FILES;
  report.join = JOIN_FAILED;
  report.optionWords = {L"--job", L"merge", L"--output-dir", L"/out/a b"};
  CRunRecord join;
  join.parts = {L"/v/a.ts", L"/v/b.ts"};
  join.output = L"/v/a_ALL.mp4";
  join.outcome = FILE_FAILED;
  join.reason = REASON_EXIT_STATUS;
  join.exitStatus = 1;
  report.records.push_back(join);
  const std::string text = FormatRunReport(report);
  EXPECT_NE(text.find("\noptions: --job merge --output-dir \"/out/a b\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\njoin: failed\n"), std::string::npos) << text;
  EXPECT_NE(
      text.find("\n\n[join]\npart: /v/a.ts\npart: /v/b.ts\ncommand:\noutput: /v/a_ALL.mp4\noutcome: failed\n"
                "check: none\nexpected ms: 0\noutput ms: 0\nreason: exit status 1\n"),
      std::string::npos)
      << text;
  EXPECT_EQ(text.find("input"), std::string::npos);
}

// The folder keeps the last reports by their runs' start (a run begun in the same second as the
// one before gets the next name); files that are not reports stay.
TEST(RunReport, TheFolderKeepsTheLastReportsAndNeverWritesOverAFile) {
  TempDir folder;
  const std::wstring notes = folder.Write(L"run-notes.txt", "mine");
  const int total = kKeptRunReports + 3;
  std::wstring last, beforeLast;
  for (int i = 0; i < total; ++i) {
    CBatchReport report;
    report.fileCount = i;
    report.startedAt = 1714554723 + 60 * (i < total - 1 ? i : i - 1);
    beforeLast = last;
    last = KeepRunReport(report, folder.Path());
    ASSERT_FALSE(last.empty()) << i;
  }
  EXPECT_EQ(last, beforeLast.substr(0, beforeLast.size() - 4) + L"_2.txt");
  EXPECT_FALSE(WriteRunReport(CBatchReport(), notes));  // "mine" stays, below
  std::set<std::string> kept;  // the runs by their counts
  for (const auto& entry : std::filesystem::directory_iterator(FsPath(folder.Path()))) {
    std::string text;
    ASSERT_TRUE(ReadTextFile(folder.Path() + Utf8ToWide(entry.path().filename().u8string()), text, 1 << 16));
    const size_t at = text.find("\nfiles: ");
    kept.insert(at == std::string::npos ? text : text.substr(at + 8, text.find('\n', at + 1) - at - 8));
  }
  std::set<std::string> expected = {"mine"};
  for (int i = total - kKeptRunReports; i < total; ++i) expected.insert(std::to_string(i));
  EXPECT_EQ(kept, expected);
  EXPECT_EQ(KeepRunReport(CBatchReport(), L""), L"");
}

// Kept as the run goes: the head at once, a block as each entry ends (what a killed run leaves),
// the whole report at the end in the same file.
TEST(RunReport, AKeptReportGrowsAsTheRunGoes) {
  TempDir folder;
  CBatchReport report;
  report.startedAt = 1714554723;
  report.fileCount = 2;
  CRunReportFile file;
  ASSERT_TRUE(file.Begin(report, folder.Path()));
  CRunRecord record;
  record.position = 2;
  record.input = L"/v/b.mp4";
  record.outcome = FILE_DONE;
  file.Add(record, 2);
  std::string text;
  ASSERT_TRUE(ReadTextFile(file.Path(), text, 1 << 16));
  EXPECT_NE(text.find("\nended:\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n\n[file 2/2]\ninput: /v/b.mp4\n"), std::string::npos) << text;
  report.endedAt = report.startedAt + 5;
  report.filesDone = 2;
  ASSERT_TRUE(file.End(report));
  ASSERT_TRUE(ReadTextFile(file.Path(), text, 1 << 16));
  EXPECT_EQ(text, FormatRunReport(report));
}

}  // namespace
