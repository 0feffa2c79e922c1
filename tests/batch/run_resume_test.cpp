// A run that picks up where an earlier one stopped: the reports read back (a damaged one passed
// over), a real run of six clips stopped after three and resumed, and what makes a file run
// again.
#include "batch/run_resume.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <set>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "batch/batch_worker.h"
#include "batch/run_report.h"
#include "batch/start_check.h"
#include "exec/command_interpreter.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"

namespace {

TEST(RunResume, ReportsReadBackAndDamagedOnesArePassedOver) {
  const std::string head =
      "Kestrune run report 1\nstarted: 2024-05-01T09:12:03Z\njob: convert\n"
      "options: --job convert --output-dir \"/o/a b\" --keep-dates\n";
  const std::string block =
      "[file 1/2]\ninput: /v/a%25.mp4\ninput size: 10\ninput modified: 2024-04-30T10:11:12Z\n"
      "output: /v/a_(02).mp4\noutcome: done\ncheck: whole\noutput size: 7\n"
      "output modified: 2024-05-01T09:13:00Z\nlater key: any\n";
  const struct {
    const char* what;
    std::string text;
    bool read;
    size_t records;
  } cases[] = {
      {"a whole report", head + "\n" + block, true, 1},
      {"CR LF line ends",
       "Kestrune run report 1\r\njob: convert\r\noptions: --job convert\r\n\r\n[join]\r\n"
       "outcome: done\r\n",
       true, 1},
      {"a damaged block is left out", head + "\n[file 2/2]\ninput size: ten\noutcome: done\n\n" + block, true,
       1},
      {"a block with a bad header", head + "\n[file x/2]\noutcome: done\n", true, 0},
      {"a block without an outcome (cut short)", head + "\n[file 1/2]\ninput: /v/a.mp4\n", true, 0},
      {"another first line", "Kestrune run report 2\njob: convert\noptions: --job convert\n", false, 0},
      {"no options line", "Kestrune run report 1\njob: convert\n", false, 0},
      {"a head line without its colon", "Kestrune run report 1\njob convert\noptions: x\n", false, 0},
      {"empty", "", false, 0},
      {"bytes", std::string("\0\xFF\xFE", 3), false, 0},
  };
  for (const auto& c : cases) {
    CReadRunReport report;
    EXPECT_EQ(ParseRunReport(c.text, report), c.read) << c.what;
    EXPECT_EQ(report.records.size(), c.records) << c.what;
  }
  CReadRunReport report;
  ASSERT_TRUE(ParseRunReport(head + "\n" + block, report));
  EXPECT_EQ(report.optionWords,
            (std::vector<std::wstring>{L"--job", L"convert", L"--output-dir", L"/o/a b", L"--keep-dates"}));
  const CReadRunRecord& record = report.records[0];
  EXPECT_EQ(record.input, L"/v/a%.mp4");
  EXPECT_EQ(record.inputSize, 10);
  EXPECT_EQ(record.outputSize, 7);
  EXPECT_EQ(record.outputModified, "2024-05-01T09:13:00Z");
  // What the output looks like does not decide; an output folder named like an option does.
  EXPECT_EQ(DecidingOptionWords(report.optionWords),
            (std::vector<std::wstring>{L"--job", L"convert", L"--output-dir", L"/o/a b"}));
  EXPECT_EQ(DecidingOptionWords({L"--output-dir", L"--keep-dates", L"--join-anyway"}),
            (std::vector<std::wstring>{L"--output-dir", L"--keep-dates"}));
}

// The real interpreter and ffmpeg behind a host that stops the run once stopAfter files ended.
class StoppingHost : public CBatchHost {
 public:
  void ShowStatus(const std::wstring&) override {}
  int RunCommand(const CBatchCommand& command, CCommandStop* stop) override {
    return RunCommandLine(command.text, stop);
  }
  void ReportFileEnd(int, FileOutcome) override {
    if (++ended == stopAfter && worker != nullptr) worker->Stop();
  }
  void ReportResumed(const std::wstring& path, int position, const std::wstring& output) override {
    std::lock_guard<std::mutex> guard(lock);
    resumed.push_back(std::to_wstring(position) + L":" + path + L"->" + output);
  }
  CPreviewedCommand PreviewedCommand() override { return {}; }
  void ReportEnd(const CBatchReport& end) override { report = end; }

  CBatchWorker* worker = nullptr;
  int stopAfter = 0;
  std::atomic<int> ended{0};
  std::mutex lock;
  std::vector<std::wstring> resumed;
  CBatchReport report;
};

class RunResumeRealRun : public ::testing::Test {
 protected:
  void SetUp() override {
    EnterProgramDir();
    if (FindMissingTool() != MISSING_NONE) GTEST_SKIP() << "ffmpeg or MediaInfo is not beside the tests";
  }

  // Runs settings, its report kept in runs.
  CBatchReport Run(const JobSettings& settings, int stopAfter, std::map<std::wstring, CDoneBefore> done,
                   std::vector<std::wstring>* resumed = nullptr) {
    auto host = std::make_shared<StoppingHost>();
    CBatchWorker worker;
    host->worker = &worker;
    host->stopAfter = stopAfter;
    CBatchOptions options;
    options.pause = false;
    options.doneBefore = std::move(done);
    EXPECT_EQ(worker.Start(settings, host, options), BATCH_STARTED);
    worker.Join();
    EXPECT_FALSE(KeepRunReport(host->report, runs.Path()).empty());
    if (resumed != nullptr) *resumed = host->resumed;
    return host->report;
  }

  std::set<std::wstring> Outputs() const {
    std::set<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(FsPath(clips.Path()))) {
      const std::wstring name = entry.path().filename().wstring();
      if (name.find(L"_(") != std::wstring::npos) names.insert(name);
    }
    return names;
  }

  TempDir clips, runs;
};

TEST_F(RunResumeRealRun, AStoppedRunGoesOnWithTheRestAndAChangedFileRunsAgain) {
  JobSettings settings;
  settings.jobKind = JOB_CONVERT;
  settings.outputCodec = OUT_H264;
  settings.useGpu = false;
  for (int i = 1; i <= 6; ++i) {
    settings.files.push_back(clips.File(L"clip " + std::to_wstring(i) + L".mp4"));
    ASSERT_TRUE(MakeSample(Sample::H264_AAC_MP4, settings.files.back(), 1));
  }
  const CBatchReport first = Run(settings, 3, {});
  EXPECT_TRUE(first.stopped);
  EXPECT_EQ(first.filesDone, 3);

  std::map<std::wstring, CDoneBefore> done = FindDoneInputs(settings, runs.Path());
  ASSERT_EQ(done.size(), 3u);
  std::vector<std::wstring> resumed;
  const CBatchReport second = Run(settings, 0, done, &resumed);
  EXPECT_EQ(second.filesDone, 3);
  EXPECT_EQ(second.filesResumed, 3);
  EXPECT_TRUE(BatchSucceeded(second));
  // Exactly one output a file: none made twice.
  std::set<std::wstring> expected;
  for (int i = 1; i <= 6; ++i) expected.insert(L"clip " + std::to_wstring(i) + L"_(02).mp4");
  EXPECT_EQ(Outputs(), expected);
  ASSERT_EQ(resumed.size(), 3u);
  EXPECT_EQ(resumed[0], L"1:" + settings.files[0] + L"->" + clips.File(L"clip 1_(02).mp4"));

  // A damaged report and a foreign file among the kept ones change nothing.
  runs.Write(L"run-20000101-000000.txt", "Kestrune run report 1\njob: convert\noptions: --job\n\n[file 1");
  runs.Write(L"run-20000101-000001.txt", std::string(3000, '\xFF'));
  // Each row changes one more thing; the files still done are those the rows before left alone.
  auto appendTo = [](const std::wstring& path) { std::ofstream(FsPath(path), std::ios::app) << "more"; };
  const struct {
    const char* what;
    std::function<void(JobSettings&)> change;
    std::set<int> done;  // 1-based places in the list
  } rows[] = {
      {"nothing changed", [](JobSettings&) {}, {1, 2, 3, 4, 5, 6}},
      {"the dates kept, only", [](JobSettings& s) { s.keepSourceDates = true; }, {1, 2, 3, 4, 5, 6}},
      {"another codec", [](JobSettings& s) { s.outputCodec = OUT_H265; }, {}},
      {"another output folder", [&](JobSettings& s) { s.outputFolder = runs.Path(); }, {}},
      {"a merge of the files", [](JobSettings& s) { s.jobKind = JOB_MERGE_FILES; }, {}},
      {"input 2 touched",
       [&](JobSettings& s) {
         const auto path = FsPath(s.files[1]);
         std::filesystem::last_write_time(path,
                                          std::filesystem::last_write_time(path) + std::chrono::hours(1));
       },
       {1, 3, 4, 5, 6}},
      {"input 3 grew", [&](JobSettings& s) { appendTo(s.files[2]); }, {1, 4, 5, 6}},
      {"output 4 grew", [&](JobSettings&) { appendTo(clips.File(L"clip 4_(02).mp4")); }, {1, 5, 6}},
      {"output 5 gone", [&](JobSettings&) { RemoveFile(clips.File(L"clip 5_(02).mp4")); }, {1, 6}},
  };
  for (const auto& row : rows) {
    JobSettings changed = settings;
    row.change(changed);
    std::set<int> found;
    const std::map<std::wstring, CDoneBefore> now = FindDoneInputs(changed, runs.Path());
    for (size_t i = 0; i < settings.files.size(); ++i)
      if (now.count(settings.files[i]) > 0) found.insert(static_cast<int>(i) + 1);
    EXPECT_EQ(found, row.done) << row.what;
    EXPECT_EQ(FilesNotDone(changed, now), 6 - static_cast<int>(found.size())) << row.what;
  }
}

}  // namespace
