#include "batch/batch_worker.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <future>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
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
// (it then answers as a stopped command does).
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

  int RunCommand(const CBatchCommand& command, CCommandStop* stop) override {
    std::unique_lock<std::mutex> guard(lock_);
    size_t index = commands.size();
    commands.push_back(command.text);
    batchCommands.push_back(command);
    currentDirs.push_back(GetCurrentDir());
    statusesAtRun.push_back(statuses.size());
    ++running_;
    if (running_ > maxRunning) maxRunning = running_;
    if (writeOutputs) WriteFile(command.output, "partial");
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
    if (byInput != exitByInput.end()) return byInput->second;
    return index < exitStatuses.size() ? exitStatuses[index] : 0;
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
  bool holdEvery = false;                   // every command waits until Release or the stop
  int maxRunning = 0;                       // the most commands that ran at the same time
  std::vector<size_t> statusesAtRun;        // how many files had been reached at each command
  CPreviewedCommand preview;
  CBatchReport report;
  int reports = 0;
  int holdAt = -1;
  bool writeOutput = false;   // the held command writes part of its output first
  bool writeOutputs = false;  // every command writes part of its output first
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
// files named to fail.
struct FakeProbe {
  std::vector<std::wstring> failing;

  ProbeFunction Function() const {
    std::vector<std::wstring> fails = failing;
    return [fails](const std::wstring& path, MediaDesc& media) {
      for (const std::wstring& f : fails)
        if (f == path) return false;
      ResetMediaDesc(media);
      media.video.codec = VCODEC_H264;
      media.video.width = 640;
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
    std::wstring named;  // the path the message names
  };
  const Case cases[] = {
      {"no extension", {d + L"a.mp4", d + L"noext"}, d + L"noext"},
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
    EXPECT_EQ(RunBatch(Settings(JOB_MERGE_FILES, c.files), host, Options(FakeProbe()), &messages),
              BATCH_REFUSED);
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
  };
  const Case cases[] = {
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
    std::vector<std::wstring> files;
    for (const std::wstring& input : c.inputs) files.push_back(dir.Write(input));
    for (const std::wstring& other : c.existing) dir.Write(other);
    auto host = std::make_shared<FakeHost>();
    ASSERT_EQ(RunBatch(Settings(JOB_MERGE_FILES, files), host, Options(FakeProbe())), BATCH_STARTED);
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

// With a probe that may run beside others, the files are probed first, each once and with a
// report of its own; the builds take those results, and a file that probe could not read is
// probed again the usual way. The commands are those of a run in order.
TEST(BatchWorkerAtOnce, FilesAreProbedBesideEachOtherBeforeTheBuilds) {
  TempDir dir;
  std::vector<std::wstring> files = {dir.Write(L"a.mp4"), dir.Write(L"b.mp4"), dir.Write(L"c.mp4"),
                                     dir.Write(L"d.mp4")};
  auto inOrder = std::make_shared<FakeHost>();
  RunBatch(Settings(JOB_CONVERT, files), inOrder, Options(FakeProbe(), false));

  std::mutex lock;
  std::vector<std::wstring> early, reports, late;
  CBatchOptions options = AtOnce(FakeProbe(), 2);
  ProbeFunction answer = FakeProbe().Function();
  options.probeAlone = [&](const std::wstring& path, MediaDesc& media, const std::wstring& report) {
    std::lock_guard<std::mutex> guard(lock);
    early.push_back(path);
    reports.push_back(report);
    return path != files[2] && answer(path, media);
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
  EXPECT_EQ(std::set<std::wstring>(reports.begin(), reports.end()).size(), files.size());
  EXPECT_EQ(late, std::vector<std::wstring>{files[2]});
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
