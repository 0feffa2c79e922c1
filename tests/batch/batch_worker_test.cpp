#include "batch/batch_worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "batch/probe_groups.h"
#include "batch/start_check.h"
#include "exec/command_interpreter.h"
#include "exec/command_stop.h"
#include "exec/exec_test_support.h"
#include "jobs/merge_commands.h"
#include "probe/probe_runner.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"

namespace {

// Records what the worker asks of its host. RunCommand answers with scripted exit statuses and,
// when holdAt is set, waits at that command until Release, or until the run's stop ends it
// (it then answers as a stopped command does). A command leaves an output as ffmpeg would (a
// partial one when it fails), unless leavesOutput is unset.
class FakeHost : public CBatchHost {
 public:
  // destroyed, when given, receives the number of calls into the window after CloseWindow.
  explicit FakeHost(std::promise<int>* destroyed = nullptr) : destroyed_(destroyed) {}
  ~FakeHost() override {
    if (destroyed_) destroyed_->set_value(callsAfterClose_);
  }

  // The window is gone: any later ShowStatus or ReportEnd would reach destroyed state.
  void CloseWindow() {
    std::lock_guard<std::mutex> guard(lock_);
    window = nullptr;
    closed_ = true;
  }

  void ShowStatus(const std::wstring& text) override {
    std::lock_guard<std::mutex> guard(lock_);
    if (closed_) ++callsAfterClose_;
    statuses.push_back(text);
    if (window) window->push_back(text);  // the window's own state
  }

  void ReportNoCommand(const std::wstring& path, int position) override {
    std::lock_guard<std::mutex> guard(lock_);
    noCommand.push_back(Sprintf(L"%d:%s", position, path));
  }

  void ReportFileEnd(int position, FileOutcome outcome) override {
    static const wchar_t* const names[] = {L"done", L"failed", L"skipped", L"short"};
    std::lock_guard<std::mutex> guard(lock_);
    fileEnds.push_back(Sprintf(L"%d:%s", position, names[outcome]));
  }

  int RunCommand(const CBatchCommand& command, CCommandStop* stop) override {
    std::unique_lock<std::mutex> guard(lock_);
    size_t index = commands.size();
    commands.push_back(command.text);
    batchCommands.push_back(command);
    outputThereAtRun.push_back(!command.output.empty() && FileExists(command.output));
    currentDirs.push_back(GetCurrentDir());
    statusesAtRun.push_back(statuses.size());
    ++running_;
    if (running_ > maxRunning) maxRunning = running_;
    if (writeOutputs) WriteFile(command.output, "partial");
    if (whileRunning) whileRunning(command);
    changed_.notify_all();
    struct Leave {
      FakeHost* host;
      ~Leave() { --host->running_; }  // under lock_, held again when the call returns
    } leave{this};
    if (holdAt == static_cast<int>(index) || holdEvery) {
      if (writeOutput) WriteFile(command.output, "partial");
      held = true;
      changed_.notify_all();
      // The stop calls back under its own lock, which is never taken while this one is held.
      guard.unlock();
      int ticket = stop->Add([this] {
        std::lock_guard<std::mutex> inner(lock_);
        endedByStop = true;
        changed_.notify_all();
      });
      guard.lock();
      if (ticket == 0) endedByStop = true;
      changed_.wait(guard, [this] { return released || endedByStop; });
      guard.unlock();
      if (ticket != 0) stop->Remove(ticket);
      guard.lock();
      if (endedByStop) return kStoppedStatus;
    }
    auto byInput = exitByInput.find(command.input);
    int status = byInput != exitByInput.end()  ? byInput->second
                 : index < exitStatuses.size() ? exitStatuses[index]
                                               : 0;
    if (leavesOutput && !command.output.empty())
      WriteFile(command.output, status == 0 ? "output" : "partial");
    return status;
  }

  void ReportOutput(const CBatchCommand& command, const COutputReport& found) override {
    std::lock_guard<std::mutex> guard(lock_);
    outputReports.push_back(Sprintf(L"%d:%s:%lld/%lld", static_cast<int>(found.verdict), command.output,
                                    static_cast<long long>(found.actualMs),
                                    static_cast<long long>(found.expectedMs)));
  }

  // Waits until count commands run at the same time.
  void WaitUntilRunning(int count) {
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait(guard, [this, count] { return running_ >= count; });
  }

  CPreviewedCommand PreviewedCommand() override { return preview; }

  void ReportEnd(const CBatchReport& endReport) override {
    std::lock_guard<std::mutex> guard(lock_);
    if (worker) runningAtReport = worker->IsRunning();
    if (closed_) ++callsAfterClose_;
    report = endReport;
    ++reports;
    if (window) window->push_back(L"report");
  }

  void WaitUntilHeld() {
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait(guard, [this] { return held; });
  }

  void Release() {
    std::lock_guard<std::mutex> guard(lock_);
    released = true;
    changed_.notify_all();
  }

  std::vector<std::wstring> Commands() {
    std::lock_guard<std::mutex> guard(lock_);
    return commands;
  }

  std::vector<std::wstring> statuses, commands, currentDirs;
  std::vector<CBatchCommand> batchCommands;
  std::vector<int> exitStatuses;
  std::map<std::wstring, int> exitByInput;  // by the command's input, whatever order they come in
  std::vector<std::wstring> noCommand;      // "position:path" of each file without a command
  std::vector<std::wstring> fileEnds;       // "position:outcome" of each file the run is done with
  std::vector<std::wstring> outputReports;  // "verdict:output:actual/expected" of each ReportOutput
  std::vector<bool> outputThereAtRun;       // whether each command's output existed as it ran
  bool leavesOutput = true;
  bool holdEvery = false;             // every command waits until Release or the stop
  int maxRunning = 0;                 // the most commands that ran at the same time
  std::vector<size_t> statusesAtRun;  // how many files had been reached at each command
  CPreviewedCommand preview;
  CBatchReport report;
  int reports = 0;
  int holdAt = -1;
  bool writeOutput = false;   // the held command writes part of its output first
  bool writeOutputs = false;  // every command writes part of its output first
  // What else happens as each command starts.
  std::function<void(const CBatchCommand&)> whileRunning;
  std::vector<std::wstring>* window = nullptr;
  const CBatchWorker* worker = nullptr;  // asked at the report whether the run still counts as running
  bool runningAtReport = true;

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool held = false, released = false, endedByStop = false;
  bool closed_ = false;
  int callsAfterClose_ = 0;
  int running_ = 0;
  std::promise<int>* destroyed_;
};

// Stands in for the probe: every file holds H.264 video and two stereo AAC tracks, except the
// files named to fail; a file named in seconds lasts that long (its streams too), others give no
// length. Its measure says the same to the millisecond, unless measured says otherwise.
struct FakeProbe {
  std::vector<std::wstring> failing;
  std::map<std::wstring, int> seconds;
  std::map<std::wstring, CMediaLengths> measured;
  std::map<std::wstring, int> widths;  // a picture of another width than 640

  MeasureFunction Measure() const {
    std::vector<std::wstring> fails = failing;
    std::map<std::wstring, int> lengths = seconds;
    std::map<std::wstring, CMediaLengths> given = measured;
    return [fails, lengths, given](const std::wstring& path, CMediaLengths& out) {
      out = CMediaLengths();
      for (const std::wstring& f : fails)
        if (f == path) return false;
      auto told = given.find(path);
      if (told != given.end()) {
        out = told->second;
        return out.described;
      }
      out.described = true;
      out.videoCount = 1;
      out.audioCount = 2;
      auto length = lengths.find(path);
      if (length != lengths.end())
        out.fileMs = out.videoMs = out.audioMs[0] = out.audioMs[1] = length->second * 1000LL;
      return true;
    };
  }

  ProbeFunction Function() const {
    std::vector<std::wstring> fails = failing;
    std::map<std::wstring, int> lengths = seconds;
    std::map<std::wstring, int> otherWidths = widths;
    return [fails, lengths, otherWidths](const std::wstring& path, MediaDesc& media) {
      for (const std::wstring& f : fails)
        if (f == path) return false;
      ResetMediaDesc(media);
      auto length = lengths.find(path);
      if (length != lengths.end())
        media.durationSec = media.video.durationSec = media.audio[0].durationSec =
            media.audio[1].durationSec = length->second;
      media.video.codec = VCODEC_H264;
      auto width = otherWidths.find(path);
      media.video.width = width != otherWidths.end() ? width->second : 640;
      media.video.height = 360;
      media.audioCount = 2;
      for (int i = 0; i < 2; ++i) {
        media.audio[i].codec = ACODEC_AAC;
        media.audio[i].channels = 2;
        media.audio[i].bitRate = 192;
      }
      return true;
    };
  }
};

JobSettings Settings(int32_t jobKind, const std::vector<std::wstring>& files) {
  JobSettings settings;
  settings.jobKind = jobKind;
  settings.useGpu = false;
  settings.files = files;
  return settings;
}

CBatchOptions Options(const FakeProbe& probe, bool pause = true) {
  CBatchOptions options;
  options.pause = pause;
  options.probe = probe.Function();
  options.measure = probe.Measure();
  return options;
}

// Starts a run and waits for it; a refusal, worded as the window shows it, goes into messages.
BatchStart RunBatch(const JobSettings& settings, const std::shared_ptr<FakeHost>& host,
                    const CBatchOptions& options, std::vector<std::wstring>* messages = nullptr) {
  CBatchWorker worker;
  CRefusal refusal;
  BatchStart started = worker.Start(settings, host, options, &refusal);
  if (messages != nullptr && refusal.Refused()) messages->push_back(RefusalText(refusal, kUiLanguageKorean));
  worker.Join();
  return started;
}

bool EndsWithPause(const std::wstring& command) {
  const std::wstring ending = L" & pause";
  return command.size() >= ending.size() &&
         command.compare(command.size() - ending.size(), ending.size(), ending) == 0;
}

std::wstring ConvertCommand(const std::wstring& dir, const std::wstring& name) {
  return L"FFMpeg.exe  -y  -i \"" + dir + name + L".mp4\"   -map 0:v:0  -c:v libx265  -b:v 3000k   " +
         L" -map 0:a:0 -c:a aac -b:a 128k  -map 0:a:1 -c:a aac -b:a 128k   \"" + dir + name + L"_(02).mp4\"";
}

TEST(BatchWorker, ConvertRunsEachFileInOrderAndPausesOnlyTheLast) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4"), dir.Write(L"c.mp4")};
  auto host = std::make_shared<FakeHost>();
  TraceCapture trace;
  ASSERT_EQ(RunBatch(Settings(JOB_CONVERT, files), host, Options(FakeProbe())), BATCH_STARTED);

  ASSERT_EQ(host->commands.size(), 3u);
  EXPECT_EQ(host->commands[0], ConvertCommand(dir.Path(), L"a"));
  EXPECT_EQ(host->commands[1], ConvertCommand(dir.Path(), L"b"));
  EXPECT_EQ(host->commands[2], ConvertCommand(dir.Path(), L"c") + L" & pause");
  EXPECT_EQ(host->statuses, files);
  EXPECT_EQ(host->reports, 1);
  EXPECT_EQ(host->report.fileCount, 3);
  EXPECT_EQ(host->report.filesDone, 3);
  EXPECT_TRUE(BatchSucceeded(host->report));

  EXPECT_TRUE(trace.Contains(L"\n\nDoProcess-쓰레드 시작"));
  EXPECT_TRUE(trace.Contains(L"\nDoProcess-1-(1/3)-" + files[0]));
  EXPECT_TRUE(trace.Contains(L"\nDoProcess-1-(3/3)-" + files[2]));
  EXPECT_TRUE(trace.Contains(L"DoProcess-2-ret=1, [" + host->commands[1] + L"]"));
  EXPECT_TRUE(trace.Contains(L"DoProcess-4-done=3, failed=0, skipped=0"));
  EXPECT_TRUE(trace.Contains(L"DoProcess-쓰레드 멈춤"));
}

TEST(BatchWorker, FailuresDoNotStopTheBatchAndAreCounted) {
  struct Case {
    const char* name;
    std::vector<int> failingProbes;  // positions whose probe fails
    std::vector<int> exitStatuses;   // per command run
    int done, failed, skipped;
    size_t commandsRun;
    bool lastPaused;
  };
  const Case cases[] = {
      {"probe of file 2 fails", {1}, {}, 2, 0, 1, 2, true},
      {"probe of the last file fails: nothing waits", {2}, {}, 2, 0, 1, 2, false},
      {"first command exits with 1", {}, {1, 0, 0}, 2, 1, 0, 3, true},
      {"every probe fails", {0, 1, 2}, {}, 0, 0, 3, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4"), dir.Write(L"c.mp4")};
    FakeProbe probe;
    for (int i : c.failingProbes) probe.failing.push_back(files[i]);
    auto host = std::make_shared<FakeHost>();
    host->exitStatuses = c.exitStatuses;
    TraceCapture trace;
    ASSERT_EQ(RunBatch(Settings(JOB_CONVERT, files), host, Options(probe)), BATCH_STARTED);

    ASSERT_EQ(host->commands.size(), c.commandsRun);
    if (!host->commands.empty()) {
      EXPECT_EQ(EndsWithPause(host->commands.back()), c.lastPaused);
    }
    EXPECT_EQ(host->statuses, files);  // every file is announced, skipped or not
    EXPECT_EQ(host->report.filesDone, c.done);
    EXPECT_EQ(host->report.filesFailed, c.failed);
    EXPECT_EQ(host->report.filesSkipped, c.skipped);
    EXPECT_FALSE(BatchSucceeded(host->report));
    EXPECT_TRUE(
        trace.Contains(Sprintf(L"DoProcess-4-done=%d, failed=%d, skipped=%d", c.done, c.failed, c.skipped)));
  }
}

// The host hears of each file as the run is done with it, counted as the report counts it.
TEST(BatchWorker, EachFileEndIsReportedAsItHappens) {
  struct Case {
    const char* name;
    int32_t jobKind;
    int jobs;
    std::vector<int> failingProbes;     // positions (from 1) whose probe fails
    std::map<int, int> exitByPosition;  // exit status of the command of a position
    int holdAt;                         // the command (from 0) the run is stopped at; -1: none
    std::vector<std::wstring> ends;
    bool anyOrder;
  };
  // One case a line.
  // clang-format off
  const Case cases[] = {
      {"in turn", JOB_CONVERT, 1, {2}, {{3, 1}}, -1, {L"1:done", L"2:skipped", L"3:failed", L"4:done"}, false},
      {"at once", JOB_CONVERT, 2, {4}, {{2, 1}}, -1, {L"1:done", L"2:failed", L"3:done", L"4:skipped"}, true},
      {"remuxes of a merge", JOB_MERGE_FILES, 1, {}, {{1, 1}}, -1, {L"1:failed", L"2:done", L"3:done", L"4:done"}, false},
      {"stopped at the second", JOB_CONVERT, 1, {}, {}, 1, {L"1:done", L"2:skipped"}, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4"), dir.Write(L"c.mp4"),
                                       dir.Write(L"d.mp4")};
    FakeProbe probe;
    for (int position : c.failingProbes) probe.failing.push_back(files[position - 1]);
    auto host = std::make_shared<FakeHost>();
    for (const auto& [position, status] : c.exitByPosition) host->exitByInput[files[position - 1]] = status;
    host->holdAt = c.holdAt;
    CBatchOptions options = Options(probe, false);
    options.jobs = c.jobs;
    CBatchWorker worker;
    ASSERT_EQ(worker.Start(Settings(c.jobKind, files), host, options), BATCH_STARTED);
    if (c.holdAt >= 0) {
      host->WaitUntilHeld();
      worker.Stop();
    }
    worker.Join();
    std::vector<std::wstring> ends = host->fileEnds;
    if (c.anyOrder) std::sort(ends.begin(), ends.end());
    EXPECT_EQ(c.ends, ends);
  }

  // A merge of video and audio: both files end with its one command.
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"movie.mp4"), dir.Write(L"song.mp3")};
  for (int status : {0, 1}) {
    auto host = std::make_shared<FakeHost>();
    host->preview = {L"ffmpeg -i a -i b", JOB_MERGE_VIDEO_AUDIO, files, L""};
    host->exitStatuses = {status};
    ASSERT_EQ(RunBatch(Settings(JOB_MERGE_VIDEO_AUDIO, files), host, Options(FakeProbe())), BATCH_STARTED);
    const std::wstring outcome = status == 0 ? L"done" : L"failed";
    EXPECT_EQ((std::vector<std::wstring>{L"1:" + outcome, L"2:" + outcome}), host->fileEnds);
  }
}

TEST(BatchWorker, FailedBuildTracesThePreviousCommand) {
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    TempDir dir;
    std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4")};
    FakeProbe probe;
    probe.failing = {files[1]};
    auto host = std::make_shared<FakeHost>();
    TraceCapture trace;
    CBatchOptions options = Options(probe);
    options.jobs = jobs;
    RunBatch(Settings(JOB_CONVERT, files), host, options);
    ASSERT_EQ(host->commands.size(), 1u);
    EXPECT_TRUE(trace.Contains(L"DoProcess-2-ret=0, [" + host->commands[0] + L"]"));
  }
}

TEST(BatchWorker, EmptyListRunsNothingButTracesStartAndEnd) {
  auto host = std::make_shared<FakeHost>();
  TraceCapture trace;
  ASSERT_EQ(RunBatch(Settings(JOB_CONVERT, {}), host, Options(FakeProbe())), BATCH_STARTED);
  EXPECT_TRUE(host->commands.empty());
  EXPECT_TRUE(host->statuses.empty());
  EXPECT_EQ(host->reports, 1);
  EXPECT_TRUE(BatchSucceeded(host->report));
  EXPECT_TRUE(trace.Contains(L"\n\nDoProcess-쓰레드 시작"));
  EXPECT_TRUE(trace.Contains(L"DoProcess-쓰레드 멈춤"));
}

TEST(BatchWorker, EmptyEntryEndsTheLoop) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"a.mp4"), L"", dir.Write(L"c.mp4")};
  auto host = std::make_shared<FakeHost>();
  RunBatch(Settings(JOB_CONVERT, files), host, Options(FakeProbe()));
  ASSERT_EQ(host->commands.size(), 1u);
  EXPECT_FALSE(EndsWithPause(host->commands[0]));  // it was not the last entry
  EXPECT_EQ(host->report.filesDone, 1);
  EXPECT_EQ(host->report.filesSkipped, 2);
}

TEST(BatchWorker, TrackSelectionAppliesToTheFirstFileOnly) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4")};
  JobSettings settings = Settings(JOB_CONVERT, files);
  settings.allAudioTracks = false;
  settings.selectedAudioTracks = {1};
  settings.firstFileOfBatch = false;  // as a previous run left it
  auto host = std::make_shared<FakeHost>();
  RunBatch(settings, host, Options(FakeProbe()));
  ASSERT_EQ(host->commands.size(), 2u);
  EXPECT_EQ(host->commands[0].find(L"-map 0:a:0"), std::wstring::npos);
  EXPECT_NE(host->commands[0].find(L"-map 0:a:1"), std::wstring::npos);
  EXPECT_NE(host->commands[1].find(L"-map 0:a:0"), std::wstring::npos);
  EXPECT_NE(host->commands[1].find(L"-map 0:a:1"), std::wstring::npos);
}

TEST(BatchWorker, WithoutPauseNoCommandWaitsForAKey) {
  TempDir dir;
  std::vector<std::wstring> convert = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4")};
  std::vector<std::wstring> merge = {dir.Write(L"x.mkv"), dir.Write(L"y.mp4")};
  for (const JobSettings& settings : {Settings(JOB_CONVERT, convert), Settings(JOB_MERGE_FILES, merge)}) {
    auto host = std::make_shared<FakeHost>();
    RunBatch(settings, host, Options(FakeProbe(), false));
    ASSERT_FALSE(host->commands.empty());
    for (const std::wstring& command : host->commands) EXPECT_FALSE(EndsWithPause(command)) << command;
  }
}

TEST(BatchWorker, RunsInTheProgramFolder) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"a.mp4")};
  auto host = std::make_shared<FakeHost>();
  RunBatch(Settings(JOB_CONVERT, files), host, Options(FakeProbe()));
  ASSERT_EQ(host->currentDirs.size(), 1u);
  std::wstring programDir = GetProgramDir();
  EXPECT_EQ(host->currentDirs[0] + kPathSeparator, programDir);
  EXPECT_EQ(ProgramDir(), programDir);
}

TEST(BatchWorkerMerge, RemuxesEachFileThenJoinsThem) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"x.mkv"), dir.Write(L"y.mp4"), dir.Write(L"z.mp4")};
  auto host = std::make_shared<FakeHost>();
  TraceCapture trace;
  ASSERT_EQ(RunBatch(Settings(JOB_MERGE_FILES, files), host, Options(FakeProbe())), BATCH_STARTED);

  const std::wstring d = dir.Path();
  std::vector<std::wstring> expected = {
      L"FFMpeg.exe -y -i \"" + d + L"x.mkv\" -c copy  -f mpegts \"" + d + L"x.ts\"",
      L"FFMpeg.exe -y -i \"" + d + L"y.mp4\" -c copy  -f mpegts \"" + d + L"y.ts\"",
      L"FFMpeg.exe -y -i \"" + d + L"z.mp4\" -c copy  -f mpegts \"" + d + L"z.ts\"",
      L"ffmpeg -y -i \"concat:" + d + L"x.ts|" + d + L"y.ts|" + d + L"z.ts\" -c copy  \"" + d +
          L"x_ALL.mkv\" & pause",
  };
  EXPECT_EQ(host->commands, expected);
  EXPECT_TRUE(trace.Contains(L"DoProcess-3-합치기-" + expected[3]));
  EXPECT_EQ(host->report.join, JOIN_DONE);
  EXPECT_EQ(host->report.filesDone, 3);
  EXPECT_TRUE(BatchSucceeded(host->report));
}

TEST(BatchWorkerMerge, OneFileIsRemuxedWithoutJoin) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"only.mp4")};
  auto host = std::make_shared<FakeHost>();
  RunBatch(Settings(JOB_MERGE_FILES, files), host, Options(FakeProbe()));
  ASSERT_EQ(host->commands.size(), 1u);
  EXPECT_EQ(host->commands[0],
            L"FFMpeg.exe -y -i \"" + files[0] + L"\" -c copy  -f mpegts \"" + dir.File(L"only.ts") + L"\"");
  EXPECT_EQ(host->report.join, JOIN_NONE);
}

TEST(BatchWorkerMerge, JoinIsSkippedWhenAPartIsMissing) {
  struct Case {
    const char* name;
    bool probeFails;
    std::vector<int> exitStatuses;
  };
  for (const Case& c : {Case{"probe fails", true, {}}, Case{"remux fails", false, {0, 1}}}) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4")};
    FakeProbe probe;
    if (c.probeFails) probe.failing = {files[1]};
    auto host = std::make_shared<FakeHost>();
    host->exitStatuses = c.exitStatuses;
    TraceCapture trace;
    RunBatch(Settings(JOB_MERGE_FILES, files), host, Options(probe));
    for (const std::wstring& command : host->commands)
      EXPECT_EQ(command.find(L"concat:"), std::wstring::npos);
    EXPECT_EQ(host->report.join, JOIN_SKIPPED);
    EXPECT_FALSE(BatchSucceeded(host->report));
    EXPECT_TRUE(trace.ContainsText(L"DoProcess-3-skip join, 1 of 2 files remuxed"));
  }
}

TEST(BatchWorkerMerge, RefusesListsItCannotCarryOut) {
  TempDir dir;
  const std::wstring d = dir.Path();
  struct Case {
    const char* name;
    std::vector<std::wstring> files;
    std::wstring named;         // the path the message names
    std::wstring folder = L"";  // the output folder
  };
  const Case cases[] = {
      {"no extension", {d + L"a.mp4", d + L"noext"}, d + L"noext"},
      {"a bar in the output folder", {d + L"a.mp4", d + L"b.mp4"}, d + L"o|p", d + L"o|p"},
      {"dot only in a folder name", {d + L"a.mp4", d + L"dir.d" + kPathSeparator + L"name"}, d + L"dir.d"},
      {"nothing before the dot", {d + L"a.mp4", d + L".mp4"}, d + L".mp4"},
      {"a bar splits the concat list", {d + L"a.mp4", d + L"b|c.mp4"}, d + L"b|c.mp4"},
      {"the joined file's extension names no format", {d + L"a.mp4 ", d + L"b.mp4"}, d + L"a.mp4 "},
      {"empty entry", {d + L"a.mp4", L"", d + L"b.mp4"}, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto host = std::make_shared<FakeHost>();
    std::vector<std::wstring> messages;
    TraceCapture trace;
    JobSettings settings = Settings(JOB_MERGE_FILES, c.files);
    settings.outputFolder = c.folder;
    EXPECT_EQ(RunBatch(settings, host, Options(FakeProbe()), &messages), BATCH_REFUSED);
    EXPECT_TRUE(host->commands.empty());
    EXPECT_EQ(host->reports, 0);
    EXPECT_FALSE(trace.ContainsText(L"DoProcess-쓰레드 시작"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(c.named), std::wstring::npos) << messages[0];
  }
}

// A name taken by a file the run did not write, or by an earlier output of the same run, is
// numbered on; the join reads the intermediates by the names actually written.
TEST(BatchWorkerMerge, TakenNamesAreNumberedOnAndTheJoinUsesThem) {
  struct Case {
    const char* name;
    std::vector<std::wstring> inputs;    // created in the folder
    std::vector<std::wstring> existing;  // other files already there
    std::vector<std::wstring> intermediates;
    std::wstring joined;
    bool intoFolder = false;  // into the output folder "out"
  };
  const std::wstring out = std::wstring(L"out") + kPathSeparator;
  const Case cases[] = {
      {"into an output folder: what lies beside the inputs does not count",
       {L"a.mp4", L"b.mp4"},
       {L"a.ts", out + L"b.ts", out + L"a_ALL.mp4"},
       {out + L"a.ts", out + L"b_(02).ts"},
       out + L"a_ALL_(02).mp4",
       true},
      {"into an output folder: one name from two folders",
       {L"x" + std::wstring(1, kPathSeparator) + L"a.mp4", L"y" + std::wstring(1, kPathSeparator) + L"a.mp4"},
       {},
       {out + L"a.ts", out + L"a_(02).ts"},
       out + L"a_ALL.mp4",
       true},
      {"the user's own .ts beside an input",
       {L"a.mp4", L"b.mp4"},
       {L"a.ts"},
       {L"a_(02).ts", L"b.ts"},
       L"a_ALL.mp4"},
      {"an input that is a transport stream", {L"a.ts", L"b.mp4"}, {}, {L"a_(02).ts", L"b.ts"}, L"a_ALL.ts"},
      {"two inputs of one stem", {L"a.mp4", L"a.mkv"}, {}, {L"a.ts", L"a_(02).ts"}, L"a_ALL.mp4"},
      {"the same clip twice", {L"a.mp4", L"a.mp4"}, {}, {L"a.ts", L"a_(02).ts"}, L"a_ALL.mp4"},
      {"the joined name is an input",
       {L"a.mp4", L"a_ALL.mp4"},
       {},
       {L"a.ts", L"a_ALL.ts"},
       L"a_ALL_(02).mp4"},
      {"the same merge again",
       {L"a.mp4", L"b.mp4"},
       {L"a.ts", L"b.ts", L"a_ALL.mp4"},
       {L"a_(02).ts", L"b_(02).ts"},
       L"a_ALL_(02).mp4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    for (const wchar_t* folder : {L"out", L"x", L"y"}) ASSERT_FALSE(dir.Folder(folder).empty());
    std::vector<std::wstring> files;
    for (const std::wstring& input : c.inputs) files.push_back(dir.Write(input));
    for (const std::wstring& other : c.existing) dir.Write(other);
    auto host = std::make_shared<FakeHost>();
    JobSettings settings = Settings(JOB_MERGE_FILES, files);
    if (c.intoFolder) settings.outputFolder = dir.File(L"out");
    ASSERT_EQ(RunBatch(settings, host, Options(FakeProbe())), BATCH_STARTED);
    std::vector<std::wstring> expected;
    std::wstring list;
    for (size_t i = 0; i < files.size(); ++i) {
      expected.push_back(L"FFMpeg.exe -y -i \"" + files[i] + L"\" -c copy  -f mpegts \"" +
                         dir.File(c.intermediates[i]) + L"\"");
      list += (i > 0 ? L"|" : L"") + dir.File(c.intermediates[i]);
    }
    expected.push_back(L"ffmpeg -y -i \"concat:" + list + L"\" -c copy  \"" + dir.File(c.joined) +
                       L"\" & pause");
    EXPECT_EQ(host->commands, expected);
    EXPECT_EQ(host->report.join, JOIN_DONE);
  }
}

TEST(MergeJoin, CommandText) {
  EXPECT_EQ(MakeJoinCommand({L"/m/a.ts", L"/m/b_(02).ts"}, L"/m/a_ALL.mp4"),
            L"ffmpeg -y -i \"concat:/m/a.ts|/m/b_(02).ts\" -c copy  \"/m/a_ALL.mp4\" & pause");
  // A quote in a POSIX name is escaped by the argument rules, so the list stays one argument.
  EXPECT_EQ(MakeJoinCommand({L"/m/say \"hi\".ts", L"/m/b.ts"}, L"/m/x\\"),
            L"ffmpeg -y -i \"concat:/m/say \\\"hi\\\".ts|/m/b.ts\" -c copy  \"/m/x\\\\\" & pause");
  const CRefusal refusal = CheckMergeEntries({L"/m/a.mp4", L"/m/b.mp4", L"/m/c.mov"});
  EXPECT_FALSE(refusal.Refused()) << WideToUtf8(RefusalText(refusal, kUiLanguageEnglish));
  EXPECT_FALSE(CheckMergeEntries({L"/m/a.mp4", L"/m/b.mp4"}, L"/o").Refused());
  EXPECT_EQ(RefusalText(CheckMergeEntries({L"/m/a.mp4", L"/m/b.mp4"}, L"/o|p"), kUiLanguageEnglish),
            L"The files of a join cannot be written to a folder whose name holds '|': /o|p");
}

TEST(BatchWorkerMergeVideoAudio, RunsThePreviewedCommandOnce) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"movie.mp4"), dir.Write(L"song.mp3")};
  const std::wstring previewed = L"ffmpeg -i \"" + files[0] + L"\" -i \"" + files[1] +
                                 L"\" -map 0 -map 1 -c copy  -strict -2 \"" + dir.File(L"movie_(02).mp4") +
                                 L"\" & pause";
  for (bool pause : {true, false}) {
    SCOPED_TRACE(pause ? "window" : "command line");
    auto host = std::make_shared<FakeHost>();
    host->preview = {previewed, JOB_MERGE_VIDEO_AUDIO, files, L""};
    TraceCapture trace;
    ASSERT_EQ(RunBatch(Settings(JOB_MERGE_VIDEO_AUDIO, files), host, Options(FakeProbe(), pause)),
              BATCH_STARTED);
    ASSERT_EQ(host->commands.size(), 1u);
    EXPECT_EQ(host->commands[0], pause ? previewed : previewed.substr(0, previewed.size() - 8));
    EXPECT_TRUE(host->statuses.empty());
    EXPECT_FALSE(trace.ContainsText(L"DoProcess-1-"));
    EXPECT_FALSE(trace.Contains(L"DoProcess-쓰레드 멈춤"));
    EXPECT_EQ(host->report.filesDone, 2);
  }
}

TEST(BatchWorkerMergeVideoAudio, RefusesACommandNotBuiltForThisList) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"movie.mp4"), dir.Write(L"song.mp3")};
  struct Case {
    const char* name;
    CPreviewedCommand preview;
  };
  const Case cases[] = {
      {"nothing previewed", {L"", 0, {}, L""}},
      {"the merge could not be built", {L"", JOB_MERGE_VIDEO_AUDIO, files, L""}},
      {"a convert preview", {L"FFMpeg.exe -y -i x", JOB_CONVERT, files, L""}},
      {"another file list", {L"ffmpeg -i a -i b", JOB_MERGE_VIDEO_AUDIO, {files[0]}, L""}},
      {"another output folder", {L"ffmpeg -i a -i b", JOB_MERGE_VIDEO_AUDIO, files, L"", 0, dir.Path()}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto host = std::make_shared<FakeHost>();
    host->preview = c.preview;
    std::vector<std::wstring> messages;
    EXPECT_EQ(RunBatch(Settings(JOB_MERGE_VIDEO_AUDIO, files), host, Options(FakeProbe()), &messages),
              BATCH_REFUSED);
    EXPECT_TRUE(host->commands.empty());
    EXPECT_EQ(messages.size(), 1u);
  }
}

TEST(BatchWorkerLifetime, ARunUsesItsSnapshotAndRefusesASecondStart) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4")};
  JobSettings windowSettings = Settings(JOB_CONVERT, files);
  auto host = std::make_shared<FakeHost>();
  host->holdAt = 0;
  CBatchWorker worker;
  ASSERT_EQ(worker.Start(windowSettings, host, Options(FakeProbe())), BATCH_STARTED);
  host->WaitUntilHeld();
  EXPECT_TRUE(worker.IsRunning());

  // The window gathers new settings and starts again while the first file runs.
  windowSettings.outputCodec = OUT_H264;
  windowSettings.files = {dir.Write(L"other.mp4")};
  auto second = std::make_shared<FakeHost>();
  EXPECT_EQ(worker.Start(windowSettings, second, Options(FakeProbe())), BATCH_BUSY);

  host->Release();
  worker.Join();
  EXPECT_FALSE(worker.IsRunning());
  ASSERT_EQ(host->commands.size(), 2u);
  EXPECT_EQ(host->commands[1], ConvertCommand(dir.Path(), L"b") + L" & pause");
  EXPECT_TRUE(second->commands.empty());

  // Once the run is over the worker takes the next one.
  EXPECT_EQ(worker.Start(windowSettings, second, Options(FakeProbe())), BATCH_STARTED);
  worker.Join();
  ASSERT_EQ(second->commands.size(), 1u);
  EXPECT_NE(second->commands[0].find(L"libx264"), std::wstring::npos);
}

TEST(BatchWorkerLifetime, TheRunIsOverWhenTheHostHearsOfIt) {
  TempDir dir;
  auto host = std::make_shared<FakeHost>();
  CBatchWorker worker;
  host->worker = &worker;
  ASSERT_EQ(worker.Start(Settings(JOB_CONVERT, {dir.Write(L"a.mp4")}), host, Options(FakeProbe())),
            BATCH_STARTED);
  worker.Join();
  EXPECT_EQ(host->reports, 1);
  EXPECT_FALSE(host->runningAtReport);  // a Start prompted by the report is not refused as busy
}

TEST(BatchWorkerLifetime, ClosingTheWindowDuringARunLeavesItsStateAlone) {
  for (bool destroyWorker : {false, true}) {
    SCOPED_TRACE(destroyWorker ? "worker destroyed" : "worker detached");
    TempDir dir;
    std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4"), dir.Write(L"c.mp4")};
    std::promise<int> hostGone;
    std::future<int> callsAfterClose = hostGone.get_future();
    {
      auto window = std::make_unique<std::vector<std::wstring>>();
      auto host = std::make_shared<FakeHost>(&hostGone);
      host->window = window.get();
      host->holdAt = 0;
      auto worker = std::make_unique<CBatchWorker>();
      ASSERT_EQ(worker->Start(Settings(JOB_CONVERT, files), host, Options(FakeProbe())), BATCH_STARTED);
      host->WaitUntilHeld();
      // The window goes away while the first command runs: it detaches (or simply destroys)
      // the worker, then its own state.
      if (destroyWorker)
        worker.reset();
      else
        worker->Detach();
      host->CloseWindow();
      window.reset();
      host->Release();
    }
    // The run ends by itself and lets go of the host, without reaching the window again.
    ASSERT_EQ(callsAfterClose.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_EQ(callsAfterClose.get(), 0);
  }
}

TEST(BatchWorkerLifetime, DetachedRunStartsNoFurtherCommand) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4")};
  auto host = std::make_shared<FakeHost>();
  host->holdAt = 0;
  std::vector<std::wstring> window;
  host->window = &window;
  CBatchWorker worker;
  ASSERT_EQ(worker.Start(Settings(JOB_CONVERT, files), host, Options(FakeProbe())), BATCH_STARTED);
  host->WaitUntilHeld();
  worker.Detach();
  EXPECT_FALSE(worker.IsRunning());
  host->Release();
  // The host outlives the run only through this test's share of it; wait for the run to drop its own.
  while (host.use_count() > 1) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(host->Commands().size(), 1u);
  EXPECT_EQ(window, std::vector<std::wstring>{files[0]});  // the status before Detach, no report
  EXPECT_EQ(host->reports, 0);
}

// A probe that waits inside the build until the test lets it go.
struct HeldProbe {
  std::mutex lock;
  std::condition_variable changed;
  bool probing = false, released = false;

  ProbeFunction Function(const FakeProbe& answer) {
    ProbeFunction inner = answer.Function();
    return [this, inner](const std::wstring& path, MediaDesc& media) {
      std::unique_lock<std::mutex> guard(lock);
      probing = true;
      changed.notify_all();
      changed.wait(guard, [this] { return released; });
      return inner(path, media);
    };
  }
  void WaitUntilProbing() {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [this] { return probing; });
  }
  void Release() {
    std::lock_guard<std::mutex> guard(lock);
    released = true;
    changed.notify_all();
  }
};

// The window closes (or the user stops the run) while the worker builds a command, which
// probes the file: the command it was building never starts.
TEST(BatchWorkerLifetime, NoCommandStartsAfterADetachOrStopDuringABuild) {
  for (bool stop : {false, true}) {
    SCOPED_TRACE(stop ? "stopped" : "detached");
    TempDir dir;
    auto host = std::make_shared<FakeHost>();
    HeldProbe probe;
    CBatchOptions options = Options(FakeProbe());
    options.probe = probe.Function(FakeProbe());
    CBatchWorker worker;
    ASSERT_EQ(worker.Start(Settings(JOB_CONVERT, {dir.Write(L"a.mp4"), dir.Write(L"b.mp4")}), host, options),
              BATCH_STARTED);
    probe.WaitUntilProbing();
    if (stop)
      worker.Stop();
    else
      worker.Detach();
    EXPECT_EQ(BatchThreadsAlive(), 1);  // counted until it ends, attached or not
    probe.Release();
    worker.Join();
    // A detached run lets go of the host when its thread ends.
    while (!stop && host.use_count() > 1) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(host->Commands().empty());
    EXPECT_EQ(BatchThreadsAlive(), 0);
    if (stop) {
      EXPECT_EQ(host->reports, 1);
      EXPECT_TRUE(host->report.stopped);
      EXPECT_EQ(host->report.filesSkipped, 2);
    }
  }
}

// The user's stop ends the running command, removes what it had written of its output, and
// starts no further file; a file that was there before the command is never removed.
TEST(BatchWorkerStop, EndsTheRunningCommandAndRemovesOnlyItsOwnPartialOutput) {
  for (bool outputWasThere : {false, true}) {
    SCOPED_TRACE(outputWasThere ? "the output name was taken meanwhile" : "a fresh output");
    TempDir dir;
    std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4"), dir.Write(L"c.mp4")};
    auto host = std::make_shared<FakeHost>();
    host->holdAt = 1;
    host->writeOutput = true;
    CBatchOptions options = Options(FakeProbe());
    // A file that appears under b's name while the run goes on (here: as b is probed, before
    // its name is chosen) was not made by the run: b's command writes beside it, and the stop
    // removes only what that command wrote.
    ProbeFunction probe = options.probe;
    const std::wstring taken = dir.File(L"b_(02).mp4");
    options.probe = [probe, outputWasThere, taken, b = files[1]](const std::wstring& path, MediaDesc& media) {
      if (outputWasThere && path == b) WriteFile(taken, "the user's own");
      return probe(path, media);
    };
    CBatchWorker worker;
    ASSERT_EQ(worker.Start(Settings(JOB_CONVERT, files), host, options), BATCH_STARTED);
    host->WaitUntilHeld();
    worker.Stop();
    worker.Join();
    ASSERT_EQ(host->Commands().size(), 2u);
    const std::wstring written = outputWasThere ? dir.File(L"b_(03).mp4") : taken;
    EXPECT_EQ(host->batchCommands[1].output, written);
    EXPECT_FALSE(outputWasThere && FileExists(written));
    EXPECT_TRUE(host->report.stopped);
    EXPECT_EQ(host->report.filesDone, 1);
    EXPECT_EQ(host->report.filesFailed, 0);
    EXPECT_EQ(host->report.filesSkipped, 2);
    EXPECT_EQ(FileExists(taken), outputWasThere);
    EXPECT_FALSE(FileExists(dir.File(L"c_(02).mp4")));
  }
}

// The user's Ctrl-C in the console of one file's command (the window's) ends that command alone,
// and its line gives kStoppedStatus: the file counts as failed, the output it had begun goes, and
// the run goes on.
TEST(BatchWorkerStop, ACommandInterruptedInItsConsoleFailsAndLeavesNoPartialOutput) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4"), dir.Write(L"c.mp4")};
  auto host = std::make_shared<FakeHost>();
  host->exitStatuses = {0, kStoppedStatus, 0};
  host->writeOutputs = true;
  ASSERT_EQ(RunBatch(Settings(JOB_CONVERT, files), host, Options(FakeProbe())), BATCH_STARTED);
  EXPECT_EQ(host->Commands().size(), 3u);
  EXPECT_FALSE(host->report.stopped);
  EXPECT_EQ(host->report.filesDone, 2);
  EXPECT_EQ(host->report.filesFailed, 1);
  EXPECT_EQ(host->report.filesSkipped, 0);
  EXPECT_TRUE(FileExists(dir.File(L"a_(02).mp4")));
  EXPECT_FALSE(FileExists(dir.File(L"b_(02).mp4")));
  EXPECT_TRUE(FileExists(dir.File(L"c_(02).mp4")));
}

// Several files at once: every command is built first, with exactly the names of a run of one
// file at a time, then up to jobs of them run together.
CBatchOptions AtOnce(const FakeProbe& probe, int jobs) {
  CBatchOptions options = Options(probe, false);
  options.jobs = jobs;
  return options;
}

std::string ReadText(const std::wstring& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a run wrote goes, so that a second run over the same files chooses the same names.
void RemoveOutputs(const FakeHost& host) {
  for (const CBatchCommand& command : host.batchCommands) RemoveFile(command.output);
}

// The commands a host ran, by the file's place in the list (they may come in any order).
std::map<int, std::wstring> ByPosition(const FakeHost& host) {
  std::map<int, std::wstring> commands;
  for (const CBatchCommand& command : host.batchCommands) commands[command.position] = command.text;
  return commands;
}

TEST(BatchWorkerAtOnce, NamesAreThoseOfARunInOrderAndChosenBeforeAnyCommand) {
  for (int32_t jobKind : {JOB_CONVERT, JOB_VIDEO_EXTRACT, JOB_AUDIO_EXTRACT}) {
    SCOPED_TRACE(jobKind);
    TempDir dir;
    // The same clip twice, and a name the first output would take, already there.
    std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4"), dir.File(L"a.mp4"),
                                       dir.Write(L"c.mp4"), dir.Write(L"d.mp4")};
    dir.Write(L"c_(02).mp4");
    auto inOrder = std::make_shared<FakeHost>();
    RunBatch(Settings(jobKind, files), inOrder, Options(FakeProbe(), false));
    RemoveOutputs(*inOrder);
    auto atOnce = std::make_shared<FakeHost>();
    ASSERT_EQ(RunBatch(Settings(jobKind, files), atOnce, AtOnce(FakeProbe(), 3)), BATCH_STARTED);

    EXPECT_EQ(ByPosition(*atOnce), ByPosition(*inOrder));
    ASSERT_EQ(atOnce->batchCommands.size(), 5u);
    std::set<std::wstring> outputs;
    for (const CBatchCommand& command : atOnce->batchCommands) outputs.insert(command.output);
    EXPECT_EQ(outputs.size(), 5u);
    // Every file was reached (built) before the first command ran.
    for (size_t reached : atOnce->statusesAtRun) EXPECT_EQ(reached, 5u);
    EXPECT_EQ(atOnce->report.filesDone, 5);
    EXPECT_TRUE(BatchSucceeded(atOnce->report));
  }
}

// With a probe of groups of files, the files are probed first, each once, in groups that
// cover the list in order, each group with a report of its own; the builds take those results,
// and a file that probe could not read is probed again the usual way. The commands are those
// of a run without it, one file at a time or several at once.
TEST(BatchWorkerAtOnce, FilesAreProbedBesideEachOtherBeforeTheBuilds) {
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    TempDir dir;
    std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4"), dir.Write(L"c.mp4"),
                                       dir.Write(L"d.mp4"), dir.Write(L"e.mp4")};
    auto inOrder = std::make_shared<FakeHost>();
    RunBatch(Settings(JOB_CONVERT, files), inOrder, Options(FakeProbe(), false));
    RemoveOutputs(*inOrder);

    std::mutex lock;
    std::vector<std::wstring> early, reports, late;
    CBatchOptions options = AtOnce(FakeProbe(), jobs);
    options.probeProcesses = 2;
    ProbeFunction answer = FakeProbe().Function();
    options.probeGroup = [&](const std::vector<std::wstring>& paths, std::vector<MediaDesc>& media,
                             std::vector<char>& probed, const std::wstring& report) {
      media.resize(paths.size());
      probed.assign(paths.size(), 0);
      for (size_t i = 0; i < paths.size(); ++i)
        probed[i] = paths[i] != files[2] && answer(paths[i], media[i]);
      std::lock_guard<std::mutex> guard(lock);
      early.insert(early.end(), paths.begin(), paths.end());
      reports.push_back(report);
    };
    options.probe = [&](const std::wstring& path, MediaDesc& media) {
      std::lock_guard<std::mutex> guard(lock);
      late.push_back(path);
      return answer(path, media);
    };
    auto atOnce = std::make_shared<FakeHost>();
    ASSERT_EQ(RunBatch(Settings(JOB_CONVERT, files), atOnce, options), BATCH_STARTED);
    EXPECT_EQ(ByPosition(*atOnce), ByPosition(*inOrder));
    EXPECT_EQ(std::set<std::wstring>(early.begin(), early.end()),
              std::set<std::wstring>(files.begin(), files.end()));
    EXPECT_EQ(early.size(), files.size());
    EXPECT_EQ(reports.size(), GroupFiles(files, 2).size());
    EXPECT_EQ(std::set<std::wstring>(reports.begin(), reports.end()).size(), reports.size());
    EXPECT_EQ(late, std::vector<std::wstring>{files[2]});
  }
}

// The groups cover the list in its order, a multiple of the processes of about even size, and
// none is too big for one MediaInfo run or for Windows' command line.
TEST(ProbeGroups, CoverTheListInOrder) {
  const std::wstring longName(5000, L'x');
  struct Case {
    size_t files;
    int processes;
    std::vector<size_t> sizes;
    const std::wstring* name = nullptr;
  };
  const Case cases[] = {
      {0, 2, {}},
      {1, 2, {1}},
      {12, 2, {6, 6}},
      {13, 2, {7, 6}},
      {5, 8, {1, 1, 1, 1, 1}},
      {64, 2, {32, 32}},
      {65, 2, {17, 16, 16, 16}},
      {100, 1, {25, 25, 25, 25}},
      {10, 1, {4, 4, 2}, &longName},  // 4 names of 5,003 characters fit in 24,000
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.files << " files, " << c.processes << " processes");
    const std::vector<std::wstring> files(c.files,
                                          c.name != nullptr ? *c.name : std::wstring(L"/v/clip.mp4"));
    std::vector<size_t> sizes;
    size_t next = 0;
    for (const auto& group : GroupFiles(files, c.processes)) {
      EXPECT_EQ(group.first, next);
      sizes.push_back(group.second - group.first);
      next = group.second;
    }
    EXPECT_EQ(sizes, c.sizes);
  }
}

TEST(BatchWorkerAtOnce, RunsUpToJobsCommandsTogether) {
  for (int jobs : {2, 3}) {
    SCOPED_TRACE(jobs);
    TempDir dir;
    std::vector<std::wstring> files;
    for (const wchar_t* name : {L"a.mp4", L"b.mp4", L"c.mp4", L"d.mp4", L"e.mp4"})
      files.push_back(dir.Write(name));
    auto host = std::make_shared<FakeHost>();
    host->holdEvery = true;
    CBatchWorker worker;
    ASSERT_EQ(worker.Start(Settings(JOB_CONVERT, files), host, AtOnce(FakeProbe(), jobs)), BATCH_STARTED);
    host->WaitUntilRunning(jobs);
    host->Release();
    worker.Join();
    EXPECT_EQ(host->maxRunning, jobs);
    EXPECT_EQ(host->report.filesDone, 5);
  }
}

TEST(BatchWorkerAtOnce, OneFilesFailureNeverStopsTheOthers) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4"), dir.Write(L"c.mp4"),
                                     dir.Write(L"d.mp4")};
  FakeProbe probe;
  probe.failing = {files[3]};
  auto host = std::make_shared<FakeHost>();
  host->exitByInput[files[1]] = 1;
  TraceCapture trace;
  ASSERT_EQ(RunBatch(Settings(JOB_CONVERT, files), host, AtOnce(probe, 2)), BATCH_STARTED);
  EXPECT_EQ(host->batchCommands.size(), 3u);
  EXPECT_EQ(host->noCommand, std::vector<std::wstring>{L"4:" + files[3]});
  EXPECT_EQ(host->report.filesDone, 2);
  EXPECT_EQ(host->report.filesFailed, 1);
  EXPECT_EQ(host->report.filesSkipped, 1);
  EXPECT_FALSE(host->report.stopped);
  // The traces of a run in order are kept.
  EXPECT_TRUE(trace.Contains(L"\nDoProcess-1-(4/4)-" + files[3]));
  EXPECT_TRUE(trace.Contains(L"DoProcess-4-done=2, failed=1, skipped=1"));
}

TEST(BatchWorkerAtOnce, TrackSelectionAppliesToTheFirstFileOnly) {
  TempDir dir;
  JobSettings settings = Settings(JOB_CONVERT, {dir.Write(L"a.mp4"), dir.Write(L"b.mp4")});
  settings.allAudioTracks = false;
  settings.selectedAudioTracks = {1};
  auto host = std::make_shared<FakeHost>();
  RunBatch(settings, host, AtOnce(FakeProbe(), 2));
  std::map<int, std::wstring> commands = ByPosition(*host);
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[1].find(L"-map 0:a:0"), std::wstring::npos);
  EXPECT_NE(commands[2].find(L"-map 0:a:0"), std::wstring::npos);
}

// The remuxes of a merge run together; the join comes after all of them, and only when all
// of them succeeded.
TEST(BatchWorkerAtOnce, TheJoinWaitsForEveryRemux) {
  for (bool remuxFails : {false, true}) {
    SCOPED_TRACE(remuxFails ? "a remux fails" : "all remuxed");
    TempDir dir;
    std::vector<std::wstring> files = {dir.Write(L"x.mkv"), dir.Write(L"y.mp4"), dir.Write(L"z.mp4")};
    auto inOrder = std::make_shared<FakeHost>();
    RunBatch(Settings(JOB_MERGE_FILES, files), inOrder, Options(FakeProbe(), false));
    RemoveOutputs(*inOrder);
    auto host = std::make_shared<FakeHost>();
    if (remuxFails) host->exitByInput[files[2]] = 1;
    ASSERT_EQ(RunBatch(Settings(JOB_MERGE_FILES, files), host, AtOnce(FakeProbe(), 2)), BATCH_STARTED);
    if (remuxFails) {
      ASSERT_EQ(host->commands.size(), 3u);
      EXPECT_EQ(host->report.join, JOIN_SKIPPED);
      continue;
    }
    ASSERT_EQ(host->commands.size(), 4u);
    EXPECT_EQ(host->batchCommands.back().position, 0);
    EXPECT_EQ(host->commands.back(), inOrder->commands.back());  // the parts in the order of the list
    EXPECT_EQ(ByPosition(*host), ByPosition(*inOrder));
    EXPECT_EQ(host->report.join, JOIN_DONE);
  }
}

// The stop ends every running command, removes only what they wrote, and no other file starts.
TEST(BatchWorkerAtOnce, StopEndsEveryRunningCommand) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4"), dir.Write(L"c.mp4"),
                                     dir.Write(L"d.mp4")};
  const std::wstring usersOwn = dir.Write(L"d_(02).mp4", "the user's own");
  auto host = std::make_shared<FakeHost>();
  host->holdEvery = true;
  host->writeOutput = true;
  CBatchWorker worker;
  ASSERT_EQ(worker.Start(Settings(JOB_CONVERT, files), host, AtOnce(FakeProbe(), 2)), BATCH_STARTED);
  host->WaitUntilRunning(2);
  worker.Stop();
  worker.Join();
  ASSERT_EQ(host->batchCommands.size(), 2u);
  for (const CBatchCommand& command : host->batchCommands) EXPECT_FALSE(FileExists(command.output));
  EXPECT_TRUE(host->report.stopped);
  EXPECT_EQ(host->report.filesDone, 0);
  EXPECT_EQ(host->report.filesFailed, 0);
  EXPECT_EQ(host->report.filesSkipped, 4);
  EXPECT_EQ(ReadText(usersOwn), "the user's own");
  EXPECT_FALSE(FileExists(dir.File(L"d_(03).mp4")));
}

// The text a plan of the same run shows: nothing claimed, nothing checked, nothing on disk.
std::map<int, std::wstring> Planned(const JobSettings& settings, const FakeProbe& probe) {
  auto plan = std::make_shared<FakeHost>();
  plan->leavesOutput = false;
  CBatchOptions options = AtOnce(probe, 1);
  options.dryRun = true;
  RunBatch(settings, plan, options);
  std::map<int, std::wstring> commands = ByPosition(*plan);
  for (const CBatchCommand& command : plan->batchCommands) EXPECT_FALSE(FileExists(command.output));
  return commands;
}

std::wstring Replaced(std::wstring text, const std::wstring& from, const std::wstring& to) {
  size_t at = text.find(from);
  return at == std::wstring::npos ? std::wstring() : text.replace(at, from.size(), to);
}

// A run of several files at once names every output before the first command starts. While its
// first two commands run, another run (here: the test) writes the name the third file was
// given: that file is never written over. The third command takes the next free name as it
// starts, its text changed in the name alone; a remux's new name is what the join reads. Each
// command finds its claimed name there as it runs.
TEST(BatchWorkerClaim, ANameTakenSinceTheBuildGivesWayToTheNextFree) {
  const struct {
    const char* what;
    int32_t jobKind;
    std::wstring taken;    // written while the first two commands run
    std::wstring written;  // what the third command writes instead
  } cases[] = {
      {"convert", JOB_CONVERT, L"c_(02).mp4", L"c_(03).mp4"},
// Both tracks of the audio extract go into one Matroska audio file.
#ifdef _WIN32
      {"audio extract", JOB_AUDIO_EXTRACT, L"c_(02).MKA", L"c_(03).mka"},
#else
      // The numbering lowers the extension: in a folder that tells case apart, that name is free.
      {"audio extract", JOB_AUDIO_EXTRACT, L"c_(02).MKA", L"c_(02).mka"},
#endif
      {"the remux of a merge", JOB_MERGE_FILES, L"c.ts", L"c_(02).ts"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const JobSettings settings =
        Settings(c.jobKind, {dir.Write(L"a.mp4"), dir.Write(L"b.mp4"), dir.Write(L"c.mp4")});
    std::map<int, std::wstring> planned = Planned(settings, FakeProbe());
    auto host = std::make_shared<FakeHost>();
    host->holdEvery = true;
    CBatchWorker worker;
    ASSERT_EQ(worker.Start(settings, host, AtOnce(FakeProbe(), 2)), BATCH_STARTED);
    host->WaitUntilRunning(2);
    const std::wstring taken = dir.Write(c.taken, "the other run's");
    host->Release();
    worker.Join();

    EXPECT_EQ(ReadText(taken), "the other run's");
    std::map<int, std::wstring> ran = ByPosition(*host);
    EXPECT_EQ(ran[1], planned[1]);
    EXPECT_EQ(ran[2], planned[2]);
    EXPECT_EQ(ran[3], Replaced(planned[3], L"\"" + taken + L"\"", L"\"" + dir.File(c.written) + L"\""));
    const CBatchCommand& third = host->batchCommands[2];
    ASSERT_EQ(third.position, 3);
    EXPECT_EQ(third.output, dir.File(c.written));
    EXPECT_EQ(third.plannedOutput, taken);
    EXPECT_EQ(ReadText(third.output), "output");
    EXPECT_EQ(host->outputThereAtRun, std::vector<bool>(host->batchCommands.size(), true));
    EXPECT_EQ(host->report.filesDone, 3);
    EXPECT_TRUE(BatchSucceeded(host->report));
    if (c.jobKind == JOB_MERGE_FILES) {
      EXPECT_EQ(host->report.join, JOIN_DONE);
      EXPECT_NE(host->commands.back().find(L"|" + dir.File(c.written) + L"\" -c copy"), std::wstring::npos)
          << WideToUtf8(host->commands.back());
    }
  }
}

// The merge of video and audio runs the previewed text, which has no "-y": ffmpeg would refuse
// any file under its name, the run's own claim included, so the claim is let go as it starts.
// A name taken since the preview gives way to the next free one as for every other command.
TEST(BatchWorkerClaim, TheMergeOfVideoAndAudioTakesTheNextFreeNameToo) {
  for (bool takenMeanwhile : {false, true}) {
    SCOPED_TRACE(takenMeanwhile ? "a file made since the preview" : "nothing in the way");
    TempDir dir;
    std::vector<std::wstring> files = {dir.Write(L"movie.mp4"), dir.Write(L"song.mp3")};
    const std::wstring head =
        L"ffmpeg -i \"" + files[0] + L"\" -i \"" + files[1] + L"\" -map 0 -map 1 -c copy  -strict -2 \"";
    const std::wstring planned = dir.File(L"movie_(02).mp4");
    auto host = std::make_shared<FakeHost>();
    host->preview = {head + planned + L"\" & pause", JOB_MERGE_VIDEO_AUDIO, files, planned};
    if (takenMeanwhile) dir.Write(L"movie_(02).mp4", "made since the preview");
    ASSERT_EQ(RunBatch(Settings(JOB_MERGE_VIDEO_AUDIO, files), host, Options(FakeProbe())), BATCH_STARTED);
    const std::wstring written = takenMeanwhile ? dir.File(L"movie_(03).mp4") : planned;
    ASSERT_EQ(host->commands.size(), 1u);
    EXPECT_EQ(host->commands[0], head + written + L"\" & pause");
    EXPECT_EQ(host->outputThereAtRun, std::vector<bool>{false});
    EXPECT_EQ(ReadText(planned), takenMeanwhile ? "made since the preview" : "output");
    EXPECT_EQ(host->report.filesDone, 2);
  }
}

// A file that takes an output's name while its command runs is never the run's to remove, when
// the command fails on it or is stopped: another file renamed over the claim, or one made in the
// gap as a command without "-y" lets its claim go. What the command wrote itself still goes.
TEST(BatchWorkerClaim, AFileThatTookTheNameIsNeverRemoved) {
  enum Intruder { NONE, RENAMED_OVER, MADE_IN_GAP };
  const struct {
    int32_t jobKind;
    Intruder intruder;
    bool stopped;
  } cases[] = {{JOB_CONVERT, NONE, true},
               {JOB_CONVERT, RENAMED_OVER, false},
               {JOB_CONVERT, RENAMED_OVER, true},
               {JOB_MERGE_VIDEO_AUDIO, MADE_IN_GAP, false},
               {JOB_MERGE_VIDEO_AUDIO, MADE_IN_GAP, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(
        Sprintf(L"job %d, intruder %d, stopped %d", c.jobKind, static_cast<int>(c.intruder), c.stopped));
    TempDir dir;
    const std::vector<std::wstring> files = {dir.Write(L"movie.mp4"), dir.Write(L"song.mp3")};
    const std::wstring output = dir.File(L"movie_(02).mp4");
    auto host = std::make_shared<FakeHost>();
    host->preview = {L"ffmpeg -i a -i b \"" + output + L"\"", JOB_MERGE_VIDEO_AUDIO, files, output};
    host->exitStatuses = {1};
    host->leavesOutput = host->writeOutput = c.intruder == NONE;
    host->holdAt = c.stopped ? 0 : -1;
    host->whileRunning = [&](const CBatchCommand& command) {
      if (c.intruder == MADE_IN_GAP) WriteFile(command.output, "someone else's");
      if (c.intruder == RENAMED_OVER)
        std::filesystem::rename(FsPath(WriteFile(dir.File(L"other"), "someone else's")),
                                FsPath(command.output));
    };
    CBatchWorker worker;
    ASSERT_EQ(worker.Start(
                  Settings(c.jobKind, c.jobKind == JOB_CONVERT ? std::vector<std::wstring>{files[0]} : files),
                  host, Options(FakeProbe())),
              BATCH_STARTED);
    if (c.stopped) {
      host->WaitUntilHeld();
      worker.Stop();
    }
    worker.Join();
    EXPECT_EQ(host->Commands().size(), 1u);
    EXPECT_EQ(ReadText(output), c.intruder != NONE ? "someone else's" : "");
  }
}

// A folder that will not take the name (here: gone since the build) fails that file, says so,
// and runs nothing for it; the others go on.
TEST(BatchWorkerClaim, ANameTheFolderRefusesFailsItsFileAndRunsNothing) {
  TempDir dir;
  const std::wstring gone = dir.Folder(L"gone");
  const std::wstring c = dir.Write(L"gone" + std::wstring(1, kPathSeparator) + L"c.mp4");
  auto host = std::make_shared<FakeHost>();
  host->holdEvery = true;
  CBatchWorker worker;
  ASSERT_EQ(worker.Start(Settings(JOB_CONVERT, {dir.Write(L"a.mp4"), dir.Write(L"b.mp4"), c}), host,
                         AtOnce(FakeProbe(), 2)),
            BATCH_STARTED);
  host->WaitUntilRunning(2);
  std::error_code error;
  std::filesystem::remove_all(FsPath(gone), error);
  ASSERT_FALSE(error);
  host->Release();
  worker.Join();
  EXPECT_EQ(host->batchCommands.size(), 2u);
  EXPECT_EQ(host->outputReports,
            std::vector<std::wstring>{Sprintf(L"%d:%s:0/0", static_cast<int>(OUTPUT_UNCLAIMED),
                                              dir.File(L"gone") + kPathSeparator + L"c_(02).mp4")});
  EXPECT_EQ(host->report.filesDone, 2);
  EXPECT_EQ(host->report.filesFailed, 1);
  EXPECT_FALSE(BatchSucceeded(host->report));
}

// A command that exits with 0 counts as done only when its output is whole: there, not empty,
// read by MediaInfo, with a stream, not 0 ms long, and as long as expected within max(500 ms,
// 1 %). One that falls short counts short and is kept; one that cannot be trusted counts failed
// and is kept; one that left nothing, or failed, leaves nothing of the run's.
TEST(BatchWorkerCheck, AnOutputCountsAsDoneOnlyWhenWhole) {
  auto range = [](JobSettings& s) {
    s.applyRange = true;
    s.rangeStart.seconds = 10;
    s.rangeEnd.seconds = 20;
  };
  auto gif = [](JobSettings& s) { s.outputCodec = OUT_GIF; };
  auto lasting = [](int64_t fileMs, int videos = 1, int audios = 2, bool described = true) {
    CMediaLengths lengths;
    lengths.described = described;
    lengths.videoCount = videos;
    lengths.audioCount = audios;
    lengths.fileMs = fileMs;
    return lengths;
  };
  const struct {
    const char* what;
    int inputSeconds;                     // 0: the description gives no length
    std::optional<CMediaLengths> output;  // as MediaInfo measures the output; none: as long as the input
    std::function<void(JobSettings&)> setup;
    bool leavesOutput;
    int exitStatus;
    int done, failed, shortOnes;
    int reported;  // the verdict the host heard of, -1 for none
    bool kept;     // the output is there afterwards
  } cases[] = {
      {"as long as its input", 30, std::nullopt, nullptr, true, 0, 1, 0, 0, -1, true},
      {"half a second less", 30, lasting(29500), nullptr, true, 0, 1, 0, 0, -1, true},
      {"a second less of thirty", 30, lasting(29000), nullptr, true, 0, 0, 0, 1, OUTPUT_SHORT, true},
      {"1 % less of a hundred", 100, lasting(99000), nullptr, true, 0, 1, 0, 0, -1, true},
      {"2 % less of a hundred", 100, lasting(98000), nullptr, true, 0, 0, 0, 1, OUTPUT_SHORT, true},
      {"a header that promises twice the data", 30, lasting(15000), nullptr, true, 0, 0, 0, 1, OUTPUT_SHORT,
       true},
      {"800 ms of an hour", 3600, lasting(800), nullptr, true, 0, 0, 0, 1, OUTPUT_SHORT, true},
      {"no length to expect", 0, lasting(5000), nullptr, true, 0, 1, 0, 0, -1, true},
      {"a length MediaInfo does not give", 30, lasting(kLengthNotGiven), nullptr, true, 0, 1, 0, 0, -1, true},
      {"MediaInfo cannot read it", 30, lasting(30000, 1, 2, false), nullptr, true, 0, 0, 1, 0,
       OUTPUT_UNREADABLE, true},
      {"no audio or video stream", 30, lasting(30000, 0, 0), nullptr, true, 0, 0, 1, 0, OUTPUT_NO_STREAM,
       true},
      {"lasts 0 ms", 30, lasting(0), nullptr, true, 0, 0, 1, 0, OUTPUT_NO_LENGTH, true},
      {"audio alone is a stream", 30, lasting(30000, 0, 1), nullptr, true, 0, 1, 0, 0, -1, true},
      {"the range's ten seconds", 30, lasting(10000), range, true, 0, 1, 0, 0, -1, true},
      {"half the range", 30, lasting(5000), range, true, 0, 0, 0, 1, OUTPUT_SHORT, true},
      {"a GIF: an image, no length", 30, lasting(kLengthNotGiven, 1, 0), gif, true, 0, 1, 0, 0, -1, true},
      {"exit 0 but nothing written", 30, std::nullopt, nullptr, false, 0, 0, 1, 0, OUTPUT_MISSING, false},
      {"exit 1 after writing part of it", 30, std::nullopt, nullptr, true, 1, 0, 1, 0, -1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    JobSettings settings = Settings(JOB_CONVERT, {dir.Write(L"a.mp4")});
    if (c.setup) c.setup(settings);
    const std::wstring output = dir.File(settings.outputCodec == OUT_GIF ? L"a_(02).gif" : L"a_(02).mp4");
    FakeProbe probe;
    if (c.inputSeconds > 0) probe.seconds[settings.files[0]] = probe.seconds[output] = c.inputSeconds;
    if (c.output) probe.measured[output] = *c.output;
    auto host = std::make_shared<FakeHost>();
    host->leavesOutput = c.leavesOutput;
    host->exitStatuses = {c.exitStatus};
    ASSERT_EQ(RunBatch(settings, host, Options(probe)), BATCH_STARTED);
    ASSERT_EQ(host->batchCommands.size(), 1u);
    EXPECT_EQ(host->batchCommands[0].output, output);
    EXPECT_EQ(host->report.filesDone, c.done);
    EXPECT_EQ(host->report.filesFailed, c.failed);
    EXPECT_EQ(host->report.filesShort, c.shortOnes);
    EXPECT_EQ(BatchSucceeded(host->report), c.done == 1);
    std::vector<std::wstring> reported;
    const int64_t expected = settings.outputCodec == OUT_GIF ? 0
                             : settings.applyRange           ? 10000
                                                             : c.inputSeconds * 1000LL;
    if (c.reported >= 0)
      reported.push_back(Sprintf(L"%d:%s:%lld/%lld", c.reported, output,
                                 static_cast<long long>(c.reported == OUTPUT_SHORT ? c.output->fileMs : 0),
                                 static_cast<long long>(expected)));
    EXPECT_EQ(host->outputReports, reported);
    EXPECT_EQ(FileExists(output), c.kept);
  }
}

// The join of a merge must last as long as its parts together; a part that falls short is no
// part to join.
TEST(BatchWorkerCheck, TheJoinLastsAsLongAsItsParts) {
  const struct {
    const char* what;
    int firstPart, joined;  // seconds of a.ts and of a_ALL.mp4, as the probe reads them
    int done, shortOnes;
    JoinOutcome join;
  } cases[] = {
      {"whole", 30, 60, 2, 0, JOIN_DONE},
      {"the join falls short", 30, 40, 2, 0, JOIN_SHORT},
      {"a part falls short", 10, 40, 1, 1, JOIN_SKIPPED},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4")};
    FakeProbe probe;
    probe.seconds = {{files[0], 30},
                     {files[1], 30},
                     {dir.File(L"a.ts"), c.firstPart},
                     {dir.File(L"b.ts"), 30},
                     {dir.File(L"a_ALL.mp4"), c.joined}};
    auto host = std::make_shared<FakeHost>();
    ASSERT_EQ(RunBatch(Settings(JOB_MERGE_FILES, files), host, Options(probe)), BATCH_STARTED);
    EXPECT_EQ(host->report.filesDone, c.done);
    EXPECT_EQ(host->report.filesShort, c.shortOnes);
    EXPECT_EQ(host->report.join, c.join);
    EXPECT_FALSE(c.join != JOIN_DONE && BatchSucceeded(host->report));
  }
}

// The parts of a merge of files are compared before anything runs; parts that differ are
// refused with the first difference, unless joinAnyway, and the run builds from the probes
// Start made (each file probed once).
TEST(BatchWorkerMerge, PartsThatDifferAreJoinedOnlyWhenAskedFor) {
  const struct {
    const char* what;
    int secondWidth;
    bool joinAnyway;
    BatchStart started;
    const wchar_t* refusal;
  } cases[] = {
      {"parts alike", 640, false, BATCH_STARTED, L""},
      {"another picture size", 1280, false, BATCH_PARTS_DIFFER, L"b.mp4: 1280x360, 첫 파일은 640x360"},
      {"another picture size, joined anyway", 1280, true, BATCH_STARTED, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4")};
    FakeProbe probe;
    probe.widths[files[1]] = c.secondWidth;
    std::vector<std::wstring> probed;
    CBatchOptions options = Options(probe);
    options.probe = [&probed, inner = probe.Function()](const std::wstring& path, MediaDesc& media) {
      probed.push_back(path);
      return inner(path, media);
    };
    JobSettings settings = Settings(JOB_MERGE_FILES, files);
    settings.joinAnyway = c.joinAnyway;
    auto host = std::make_shared<FakeHost>();
    std::vector<std::wstring> messages;
    EXPECT_EQ(RunBatch(settings, host, options, &messages), c.started);
    EXPECT_EQ(messages, std::vector<std::wstring>(*c.refusal ? 1 : 0, c.refusal));
    EXPECT_EQ(host->commands.size(), c.started == BATCH_STARTED ? 3u : 0u);
    EXPECT_EQ(host->report.join, c.started == BATCH_STARTED ? JOIN_DONE : JOIN_NONE);
    // Compared at Start, built from those probes: each file probed once.
    EXPECT_EQ(probed, files);
  }
}

// A stop while encodes wait for a session: none of them starts, and the claims they held go.
TEST(BatchWorkerAtOnce, AStopReachesEncodesWaitingForASession) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4"), dir.Write(L"c.mp4")};
  JobSettings settings = Settings(JOB_CONVERT, files);
  settings.useGpu = true;
  CBatchOptions options = AtOnce(FakeProbe(), 3);
  options.gpuSessions = 1;
  auto host = std::make_shared<FakeHost>();
  host->holdEvery = true;
  CBatchWorker worker;
  ASSERT_EQ(worker.Start(settings, host, options), BATCH_STARTED);
  host->WaitUntilHeld();
  worker.Stop();
  worker.Join();
  EXPECT_EQ(host->commands.size(), 1u);
  EXPECT_TRUE(host->report.stopped);
  EXPECT_EQ(host->report.filesSkipped, 3);
  for (const wchar_t* name : {L"a_(02).mp4", L"b_(02).mp4", L"c_(02).mp4"})
    EXPECT_FALSE(FileExists(dir.File(name)));
}

#ifndef _WIN32
// PATH and the program folder as the test sets them, restored afterwards.
class ToolEnvironment {
 public:
  ToolEnvironment()
      : path_(std::getenv("PATH") ? std::getenv("PATH") : ""), dir_(ProgramDir()), cwd_(GetCurrentDir()) {}
  ~ToolEnvironment() {
    setenv("PATH", path_.c_str(), 1);
    unsetenv("KESTRUNE_PROGRAM_DIR");
    SetProgramDir(dir_);
    SetCurrentDir(cwd_);
  }
  void Set(const std::wstring& path, const std::wstring& programDir) {
    setenv("PATH", PathToNative(path).c_str(), 1);
    SetProgramDir(programDir);
    SetCurrentDir(programDir);
  }

 private:
  std::string path_;
  std::wstring dir_, cwd_;
};

TEST(StartCheck, NamesTheMissingTool) {
  TempDir empty;
  TraceCapture trace;
  {
    ToolEnvironment env;
    EXPECT_EQ(FindMissingTool(), MISSING_NONE);  // Debian's ffmpeg and mediainfo on PATH
  }
  EXPECT_TRUE(trace.ContainsText(L"-["));
  {
    ToolEnvironment env;
    env.Set(empty.Path(), empty.Path());
    trace.Clear();
    EXPECT_EQ(FindMissingTool(), MISSING_FFMPEG);
    EXPECT_TRUE(trace.Contains(L"2-[]"));
  }
  {
    // ffmpeg found in the current folder, no MediaInfo anywhere.
    ToolEnvironment env;
    TempDir tools;
    std::wstring ffmpeg = tools.Write(L"ffmpeg.exe", "#!/bin/sh\n");
    chmod(PathToNative(ffmpeg).c_str(), 0755);
    env.Set(empty.Path(), tools.Path());
    EXPECT_EQ(FindMissingTool(), MISSING_MEDIAINFO);
  }
}
#endif

// Real runs of the real ffmpeg through the command interpreter, on generated clips.
class BatchWorkerRealRun : public ::testing::Test {
 protected:
  // The real interpreter behind the recording host.
  struct RealHost : FakeHost {
    RealHost() { leavesOutput = false; }
    int RunCommand(const CBatchCommand& command, CCommandStop* stop) override {
      FakeHost::RunCommand(command, stop);
      return RunCommandLine(command.text, stop);
    }
  };

  void SetUp() override {
    EnterProgramDir();
    if (FindMissingTool() != MISSING_NONE) GTEST_SKIP() << "ffmpeg or MediaInfo is not beside the tests";
  }

  std::shared_ptr<RealHost> Run(const JobSettings& settings, const CPreviewedCommand& preview = {}) {
    auto host = std::make_shared<RealHost>();
    host->preview = preview;
    CBatchOptions options;
    options.pause = false;
    CBatchWorker worker;
    EXPECT_EQ(worker.Start(settings, host, options), BATCH_STARTED);
    worker.Join();
    return host;
  }
};

TEST_F(BatchWorkerRealRun, ConvertsEveryFile) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.File(L"one.mp4"), dir.File(L"two.mp4")};
  for (const std::wstring& file : files) ASSERT_TRUE(MakeSample(Sample::H264_AAC_MP4, file, 1));
  JobSettings settings = Settings(JOB_CONVERT, files);
  settings.outputCodec = OUT_H264;
  auto host = Run(settings);
  EXPECT_EQ(host->report.filesDone, 2);
  for (const wchar_t* name : {L"one_(02).mp4", L"two_(02).mp4"}) {
    MediaDesc media;
    ASSERT_TRUE(ProbeMediaFile(dir.File(name), media)) << name;
    EXPECT_EQ(media.video.codec, VCODEC_H264);
    EXPECT_EQ(media.audioCount, 1);
  }
}

// Several real commands at once through the interpreter, each with its own pipe for its errors.
TEST_F(BatchWorkerRealRun, RunsSeveralAtOnce) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.File(L"one.mp4"), dir.File(L"two.mp4"), dir.File(L"three.mp4")};
  for (const std::wstring& file : files) ASSERT_TRUE(MakeSample(Sample::H264_AAC_MP4, file, 1));
  JobSettings settings = Settings(JOB_AUDIO_EXTRACT, files);
  auto host = std::make_shared<RealHost>();
  CBatchOptions options;
  options.pause = false;
  options.jobs = 2;
  CBatchWorker worker;
  ASSERT_EQ(worker.Start(settings, host, options), BATCH_STARTED);
  worker.Join();
  EXPECT_EQ(host->report.filesDone, 3);
  for (const wchar_t* name : {L"one_(02).AAC", L"two_(02).AAC", L"three_(02).AAC"}) {
    MediaDesc media;
    ASSERT_TRUE(ProbeMediaFile(dir.File(name), media)) << name;
    EXPECT_EQ(media.audio[0].codec, ACODEC_AAC);
  }
}

TEST_F(BatchWorkerRealRun, AFailingCommandIsCountedAndTheRestStillRuns) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.File(L"gpu.mp4"), dir.File(L"cpu.mp4")};
  for (const std::wstring& file : files) ASSERT_TRUE(MakeSample(Sample::H264_AAC_MP4, file, 1));
  // No NVIDIA decoder here: the GPU command of the first file fails, the rest goes on.
  JobSettings settings = Settings(JOB_CONVERT, {files[0]});
  settings.useGpu = true;
  auto host = Run(settings);
  EXPECT_EQ(host->report.filesFailed, 1);
  EXPECT_FALSE(BatchSucceeded(host->report));

  settings = Settings(JOB_CONVERT, files);
  settings.outputCodec = OUT_H264;
  auto second = Run(settings);
  EXPECT_EQ(second->report.filesDone, 2);
}

TEST_F(BatchWorkerRealRun, JoinsFilesEndToEnd) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.File(L"a.mp4"), dir.File(L"b.mp4")};
  for (const std::wstring& file : files) ASSERT_TRUE(MakeSample(Sample::H264_AAC_MP4, file, 2));
  auto host = Run(Settings(JOB_MERGE_FILES, files));
  EXPECT_EQ(host->report.join, JOIN_DONE);
  EXPECT_TRUE(FileExists(dir.File(L"a.ts")));
  EXPECT_TRUE(FileExists(dir.File(L"b.ts")));
  MediaDesc joined;
  ASSERT_TRUE(ProbeMediaFile(dir.File(L"a_ALL.mp4"), joined));
  EXPECT_GE(joined.durationSec, 3);
  EXPECT_EQ(joined.video.codec, VCODEC_H264);
}

// A Matroska clip of about half a second whose header promises an hour, as an interrupted
// download leaves one: a clip of a second is made, its length (the segment's, and each
// stream's tag) written over with an hour, and its second half cut off.
bool MakeHourHeaderClip(const std::wstring& path) {
  if (!RunFfmpeg({L"-f", L"lavfi", L"-i", L"testsrc=size=320x240:rate=25:duration=1", L"-f", L"lavfi", L"-i",
                  L"sine=frequency=440:sample_rate=48000:duration=1", L"-c:v", L"libx264", L"-pix_fmt",
                  L"yuv420p", L"-c:a", L"aac", path}))
    return false;
  std::string data = ReadText(path);
  // The segment's duration: element 0x4489, an 8-byte float in milliseconds.
  const std::string element("\x44\x89\x88", 3);
  size_t at = data.find(element);
  if (at == std::string::npos || at + 11 > data.size()) return false;
  const double hour = 3600000.0;
  uint64_t bits = 0;
  std::memcpy(&bits, &hour, sizeof bits);
  for (int i = 0; i < 8; ++i) data[at + 3 + i] = static_cast<char>((bits >> (56 - 8 * i)) & 0xFF);
  // Each stream's DURATION tag, "HH:MM:SS.nnnnnnnnn".
  const std::string pattern = "00:00:01.";
  for (size_t tag = data.find(pattern); tag != std::string::npos; tag = data.find(pattern, tag + 1))
    if (tag + 18 <= data.size()) data.replace(tag, 18, "01:00:00.000000000");
  data.resize(data.size() / 2);
  std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
  out << data;
  return static_cast<bool>(out);
}

// The check of outputs made by the real ffmpeg, read by the real MediaInfo to the millisecond.
TEST_F(BatchWorkerRealRun, TheOutputCheckReadsMillisecondsAndTrustsNothingItCannotRead) {
  TempDir dir;
  const std::wstring clip = dir.File(L"second.mp4");
  ASSERT_TRUE(MakeSample(Sample::H264_AAC_MP4, clip, 1));
  auto make800ms = [](const std::wstring& path) {
    return RunFfmpeg({L"-f", L"lavfi", L"-i", L"testsrc=size=320x240:rate=25:duration=0.8", L"-c:v",
                      L"libx264", L"-pix_fmt", L"yuv420p", path});
  };
  const struct {
    const char* what;
    const wchar_t* name;
    std::function<bool(const std::wstring&)> make;
    int64_t expectedMs;
    OutputVerdict verdict;
  } cases[] = {
      {"an 800 ms clip, 800 ms expected", L"blip.mp4", make800ms, 800, OUTPUT_WHOLE},
      {"an 800 ms clip where 30 s were expected", L"blip.mp4", make800ms, 30000, OUTPUT_SHORT},
      {"an 800 ms clip where no length can be told", L"blip.mp4", make800ms, 0, OUTPUT_WHOLE},
      {"a text file", L"notes.mp4",
       [](const std::wstring& path) {
         std::ofstream out(FsPath(path), std::ios::binary);
         out << "not media\n";
         return static_cast<bool>(out);
       },
       800, OUTPUT_UNREADABLE},
      {"an MP4 without a stream: a cut after the end", L"empty.mp4",
       [&clip](const std::wstring& path) {
         return RunFfmpeg(
             {L"-ss", L"5", L"-i", clip, L"-t", L"5", L"-map", L"0:v:0", L"-c:v", L"libx264", path});
       },
       5000, OUTPUT_NO_STREAM},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CBatchCommand command;
    command.output = dir.File(c.name);
    RemoveFile(command.output);
    ASSERT_TRUE(c.make(command.output));
    command.expectedMs = c.expectedMs;
    const COutputReport report = CheckOutput(command, MeasureMediaFile);
    EXPECT_EQ(report.verdict, c.verdict);
    EXPECT_EQ(report.expectedMs, c.expectedMs);
    if (c.verdict == OUTPUT_SHORT) {
      EXPECT_TRUE(report.actualMs > 700 && report.actualMs < 900) << report.actualMs;
    }
  }
}

// A file whose header promises an hour converts with exit status 0 into half a second: short,
// kept, and the run says both lengths.
TEST_F(BatchWorkerRealRun, AnHourPromisedByTheHeaderComesOutShort) {
  TempDir dir;
  const std::wstring input = dir.File(L"download.mkv");
  ASSERT_TRUE(MakeHourHeaderClip(input));
  JobSettings settings = Settings(JOB_CONVERT, {input});
  settings.outputCodec = OUT_H264;
  auto host = Run(settings);
  EXPECT_EQ(host->report.filesShort, 1);
  EXPECT_EQ(host->report.filesDone, 0);
  ASSERT_EQ(host->outputReports.size(), 1u);
  const std::wstring output = dir.File(L"download_(02).mkv");
  const std::wstring& said = host->outputReports[0];
  const std::wstring lead = Sprintf(L"%d:%s:", OUTPUT_SHORT, output);
  ASSERT_EQ(said.find(lead), 0u) << WideToUtf8(said);
  // "actual/expected" in milliseconds: what the data held, of the hour its video stream promised.
  const size_t slash = said.find(L'/', lead.size());
  ASSERT_NE(slash, std::wstring::npos);
  const long long actual = std::stoll(said.substr(lead.size(), slash - lead.size()));
  const long long expected = std::stoll(said.substr(slash + 1));
  EXPECT_TRUE(actual > 0 && actual < 1000) << actual;
  EXPECT_TRUE(expected > 3590000 && expected <= 3600000) << expected;
  EXPECT_TRUE(FileExists(output));
}

TEST_F(BatchWorkerRealRun, MergesVideoWithAudio) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.File(L"song.mp3"), dir.File(L"movie.mp4")};
  ASSERT_TRUE(MakeSample(Sample::MP3_ONLY, files[0], 1));
  ASSERT_TRUE(MakeSample(Sample::H264_AAC_MP4, files[1], 1));
  JobSettings settings = Settings(JOB_MERGE_VIDEO_AUDIO, files);
  // The window's preview builds the command from the same settings.
  const std::wstring cmdSet =
      ProbeAndBuild(settings, files[0], ProbeMediaFile, COutputReservations(), true).text;
  ASSERT_FALSE(cmdSet.empty());
  auto host = Run(settings, {cmdSet, JOB_MERGE_VIDEO_AUDIO, files, L""});
  EXPECT_EQ(host->report.filesDone, 2);
  MediaDesc merged;
  ASSERT_TRUE(ProbeMediaFile(dir.File(L"movie_(02).mp4"), merged));
  EXPECT_EQ(merged.audioCount, 2);  // the clip's own track and the song
}

}  // namespace
