// The window's jobs from end to end, with the real ffmpeg and MediaInfo through the Wine
// bridge: a dropped clip is clicked, converted by Start and its output probed; one video and
// one audio file are merged; the merge refusals; the missing-tool dialog; a run keeps its
// snapshot and Start waits for its end; closing the window during a run; the media-info button.
//
// The commands of a run end in " & pause". They run unchanged through the real command
// interpreter, which reads its key from standard input: run-ui-tests.sh gives the tests NUL
// there, so the pause ends at once. Tests that must hold a run in the middle wrap the window's
// command runner; the wrapped runner still hands the real text to the real interpreter.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <regex>
#include <thread>

#include "base/duration_text.h"
#include "base/file_util.h"
#include "base/format.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "base/texts.h"
#include "batch/gpu_check.h"
#include "exec/command_interpreter.h"
#include "exec/console_host.h"
#include "install/installer.h"
#include "probe/media_desc.h"
#include "probe/media_lengths.h"
#include "probe/probe_runner.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"
#include "ui/control_ids.h"
#include "ui/fake_taskbar.h"
#include "ui/main_window_fixture.h"
#include "ui/run_texts.h"

namespace {

constexpr unsigned kRunTimeoutMs = 180000;
const wchar_t kPauseEnding[] = L" & pause";

bool EndsWith(const std::wstring& text, const std::wstring& ending) {
  return text.size() >= ending.size() &&
         text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// The last quoted text of a command: its output.
std::wstring OutputOf(const std::wstring& command) {
  size_t close = command.rfind(L'"');
  size_t open =
      close == std::wstring::npos || close == 0 ? std::wstring::npos : command.rfind(L'"', close - 1);
  return open == std::wstring::npos ? std::wstring() : command.substr(open + 1, close - open - 1);
}

// What a command that succeeds leaves for the check of its output: a copy of a clip as long as
// its input, under the name the command writes. True when it is there.
bool LeaveOutput(const std::wstring& command, const std::wstring& model) {
  return CopyFileW(LongPathForm(model).c_str(), LongPathForm(OutputOf(command)).c_str(), FALSE) != 0;
}

// A command runner that the test holds before each command until it lets go; it records every
// command and then runs it for real.
struct CHeldRunner {
  std::mutex lock;
  std::condition_variable changed;
  std::vector<std::wstring> commands;
  bool released = false;

  size_t Count() {
    std::lock_guard<std::mutex> guard(lock);
    return commands.size();
  }
  void Release() {
    std::lock_guard<std::mutex> guard(lock);
    released = true;
    changed.notify_all();
  }
  static CommandRunner Wrap(const std::shared_ptr<CHeldRunner>& held) {
    return [held](const std::wstring& command, CCommandStop* stop, const ConsoleErrorSink& errors) {
      {
        std::unique_lock<std::mutex> guard(held->lock);
        held->commands.push_back(command);
        held->changed.wait(guard, [&] { return held->released; });
      }
      return RunInOwnConsole(command, stop, errors);
    };
  }
};

class BatchRunTest : public MainWindowFixture {
 protected:
  std::wstring MakeClip(::Sample kind, const std::wstring& name, int seconds = 2) {
    std::wstring path = folder.File(name);
    return MakeSample(kind, path, seconds) ? path : std::wstring();
  }
  // A run is going on from Start until the window has heard of its end.
  bool Running() const { return !dialog->batchFinished; }
  // Start, then wait until the run has ended and the window has heard of it.
  bool RunToTheEnd() {
    Click(IDC_START);
    if (!Running()) return false;  // nothing was started
    return WaitUntil([this] { return !Running(); }, kRunTimeoutMs);
  }
  // Presses Start (or Stop), which asks a question; answers it. The question's text, or empty
  // when none was asked. A Start that checks the GPU asks once the check has answered.
  std::wstring PressAndAnswer(bool yes) {
    std::wstring asked;
    WhileDialogOpen(
        [](HWND hwnd) { return WindowText(hwnd) == L"Kestrune" && WindowClass(hwnd) == L"#32770"; },
        [this] {
          SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Item(IDC_START)));
          WaitUntil([this] { return !dialog->GpuCheckRunning(); }, kRunTimeoutMs);
        },
        [&](HWND box) {
          for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (WindowClass(child) == L"Static" && !WindowText(child).empty()) asked = WindowText(child);
          }
          PostMessageW(box, WM_COMMAND, MAKEWPARAM(yes ? IDYES : IDNO, BN_CLICKED), 0);
        });
    PumpMessages();
    return asked;
  }
  std::wstring Label(const wchar_t* korean, const wchar_t* english) const {
    return ExpectKorean() ? korean : english;
  }
  // The status line without the run's figures (" \u2014 42%, 1.9x, 0:31 left") and the time the
  // run has taken (" (0:42)"), which follow its text. A line without the time comes back marked
  // as such, so it equals no text of a run.
  std::wstring StatusText() const {
    std::wstring line = Text(IDC_STATUS_LINE);
    std::wsmatch match;
    if (std::regex_match(line, match, std::wregex(kElapsedAfterText))) return match[1].str();
    return line + L" (without the time)";
  }
  // The figures alone, without their dash; empty when there are none.
  std::wstring StatusFigures() const {
    std::wstring line = Text(IDC_STATUS_LINE);
    std::wsmatch match;
    return std::regex_match(line, match, std::wregex(kElapsedAfterText)) ? match[2].str() : std::wstring();
  }
  static constexpr const wchar_t* kElapsedAfterText =
      L"(.*?)(?: \u2014 ([^\u2014]*))? \\(([0-9]+:)?[0-9]+:[0-9][0-9]\\)";

  TempDir folder;
};

TEST_F(BatchRunTest, DroppedClipIsClickedConvertedByStartAndComesOutAsH265) {
  std::wstring clip = MakeClip(::Sample::H264_AAC_MP4, L"clip.mp4");
  ASSERT_FALSE(clip.empty());
  TraceCapture trace;
  DropFiles(dialog->Hwnd(), {clip});
  ASSERT_EQ(std::vector<std::wstring>{clip}, RowTexts(IDC_FILE_LIST));

  ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 0));
  EXPECT_EQ((std::vector<bool>{true, false, false}), CheckedRows(IDC_INPUT_CODEC_LIST));
  EXPECT_EQ(L"1", Text(IDC_TRACK_COUNT));
  std::vector<std::wstring> tracks = RowTexts(IDC_AUDIO_STREAM_LIST);
  ASSERT_EQ(1u, tracks.size());
  std::wsmatch match;
  ASSERT_TRUE(std::regex_match(tracks[0], match, std::wregex(L"([0-9]+)k,CH=2,,AAC"))) << tracks[0];
  int rate = std::stoi(match[1].str());
  EXPECT_TRUE(rate > 150 && rate < 260) << rate;
  EXPECT_EQ((std::vector<std::wstring>{L"0", L"1", L"2"}),
            (std::vector<std::wstring>{Text(IDC_RANGE_END_H), Text(IDC_RANGE_END_M), Text(IDC_RANGE_END_S)}));

  // No GPU here: software encoding.
  Click(IDC_GPU);
  ASSERT_FALSE(Checked(IDC_GPU));
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_GPU_COMPAT)));

  Click(IDC_JOB_CONVERT);
  std::wstring command = Text(IDC_COMMAND_BOX);
  EXPECT_EQ(0u, command.find(L"FFMpeg.exe ")) << command;
  EXPECT_NE(std::wstring::npos, command.find(L"-i \"" + clip + L"\"")) << command;
  EXPECT_NE(std::wstring::npos, command.find(L"-c:v libx265")) << command;
  std::wstring output = folder.File(L"clip_(02).mp4");
  EXPECT_EQ(output, OutputOf(command));
  EXPECT_TRUE(EndsWith(command, kPauseEnding)) << command;
  EXPECT_EQ(dialog->CmdSet, command);
  EXPECT_EQ(2u, trace.Count(L"CmdSet=" + command));

  ASSERT_TRUE(RunToTheEnd());
  EXPECT_TRUE(dialog->batchFinished);
  // The worker ran the very command the box shows, and the status line tells how it went.
  EXPECT_TRUE(trace.Contains(L"DoProcess-2-ret=1, [" + command + L"]"));
  EXPECT_TRUE(trace.Contains(L"DoProcess-2-exit=0"));
  EXPECT_EQ(Label(L"완료 1, 실패 0, 건너뜀 0", L"done 1, failed 0, skipped 0"), StatusText());
  EXPECT_EQ(Label(L"작업 실행", L"Start Process"), Text(IDC_START));
  EXPECT_EQ(command, Text(IDC_COMMAND_BOX));
  ASSERT_TRUE(FileExists(output));
  MediaDesc converted;
  TraceCapture probeTrace;
  bool probed = ProbeMediaFile(output, converted);
  if (!probed) {
    for (const std::wstring& line : probeTrace.Lines())
      std::fprintf(stderr, "probe trace: %s", WideToUtf8(line).c_str());
  }
  ASSERT_TRUE(probed);
  EXPECT_EQ(VCODEC_H265, converted.video.codec);
  EXPECT_EQ(1, converted.audioCount);
  EXPECT_EQ(ACODEC_AAC, converted.audio[0].codec);
}

// A name that cmd.exe would expand ("%") in a folder of the Korean code page: the click probes
// it, Start converts it, and the media-info console opens for it, each with the name as it is.
TEST_F(BatchRunTest, ANameWithPercentHangulAndParenthesesGoesThroughEveryStep) {
  std::wstring clip = MakeClip(::Sample::H264_AAC_MP4, L"100% 완료 (2019).mp4");
  ASSERT_FALSE(clip.empty());
  DropFiles(dialog->Hwnd(), {clip});
  ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 0));
  EXPECT_EQ((std::vector<bool>{true, false, false}), CheckedRows(IDC_INPUT_CODEC_LIST));
  EXPECT_EQ(L"1", Text(IDC_TRACK_COUNT));
  EXPECT_EQ(1u, RowTexts(IDC_AUDIO_STREAM_LIST).size());
  EXPECT_EQ((std::vector<std::wstring>{L"0", L"1", L"2"}),
            (std::vector<std::wstring>{Text(IDC_RANGE_END_H), Text(IDC_RANGE_END_M), Text(IDC_RANGE_END_S)}));

  Click(IDC_GPU);
  Click(IDC_JOB_CONVERT);
  std::wstring output = folder.File(L"100% 완료 (2019)_(02).mp4");
  EXPECT_EQ(output, OutputOf(Text(IDC_COMMAND_BOX)));
  ASSERT_TRUE(RunToTheEnd());
  MediaDesc converted;
  ASSERT_TRUE(ProbeMediaFile(output, converted));
  EXPECT_EQ(VCODEC_H265, converted.video.codec);

  std::vector<std::wstring> commands;
  std::vector<int> statuses;
  dialog->commandRunner = [&](const std::wstring& command, CCommandStop* stop,
                              const ConsoleErrorSink& errors) {
    commands.push_back(command);
    statuses.push_back(RunInOwnConsole(command, stop, errors));
    return statuses.back();
  };
  SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_MEDIA_INFO, BN_CLICKED),
               reinterpret_cast<LPARAM>(Item(IDC_MEDIA_INFO)));
  PumpMessages();
  EXPECT_EQ(std::vector<std::wstring>{L"mediainfo \"" + clip + L"\" & pause"}, commands);
  EXPECT_EQ(std::vector<int>{0}, statuses);          // the console's MediaInfo was found and ran
  EXPECT_EQ(320, dialog->currentMedia.video.width);  // and the file was probed again after it
}

// GPU acceleration ticked, as it starts, on a machine where the NVIDIA path cannot work (the
// real check through the bridge says so here): Start asks first. No runs nothing; Yes unticks
// the box and converts on the CPU.
TEST_F(BatchRunTest, StartAsksBeforeARunWithoutTheGpuThatWasAskedFor) {
  std::wstring clip = MakeClip(::Sample::H264_AAC_MP4, L"clip.mp4", 1);
  ASSERT_FALSE(clip.empty());
  TraceCapture trace;
  DropFiles(dialog->Hwnd(), {clip});
  ASSERT_TRUE(Checked(IDC_GPU));
  const std::wstring question =
      Label(L"이 컴퓨터에서는 GPU 가속을 쓸 수 없습니다.\nGPU 가속 없이 실행할까요?",
            L"GPU acceleration is not available on this computer.\nRun without it?");

  EXPECT_EQ(question, PressAndAnswer(false));
  EXPECT_FALSE(Running());
  EXPECT_TRUE(Checked(IDC_GPU));
  EXPECT_FALSE(trace.ContainsText(L"DoProcess-쓰레드 시작"));
  EXPECT_FALSE(FileExists(folder.File(L"clip_(02).mp4")));

  EXPECT_EQ(question, PressAndAnswer(true));
  EXPECT_FALSE(Checked(IDC_GPU));
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_GPU_COMPAT)));
  ASSERT_TRUE(WaitUntil([this] { return !Running(); }, kRunTimeoutMs));
  EXPECT_TRUE(trace.ContainsText(L"-c:v libx265"));
  MediaDesc converted;
  ASSERT_TRUE(ProbeMediaFile(folder.File(L"clip_(02).mp4"), converted));
  EXPECT_EQ(VCODEC_H265, converted.video.codec);

  // Where the check says yes, nothing is asked and the GPU command runs as it is.
  GpuCheckFunction previous = SetGpuCheck([](int32_t, bool) { return true; });
  Click(IDC_GPU);
  auto held = std::make_shared<CHeldRunner>();
  held->Release();
  dialog->commandRunner = [held](const std::wstring& command, CCommandStop*, const ConsoleErrorSink&) {
    std::lock_guard<std::mutex> guard(held->lock);
    held->commands.push_back(command);
    return 0;
  };
  // The stand-in writes nothing: the end message names the file that came out empty.
  MessageCapture messages;
  EXPECT_EQ(L"", PressAndAnswer(true));
  SetGpuCheck(previous);
  ASSERT_TRUE(WaitUntil([this] { return !Running(); }, kRunTimeoutMs));
  ASSERT_EQ(1u, messages.Messages().size());
  EXPECT_NE(std::wstring::npos, messages.Messages()[0].find(L"[1/1] " + clip + L"\n"))
      << WideToUtf8(messages.Messages()[0]);
  ASSERT_EQ(1u, held->commands.size());
  EXPECT_NE(std::wstring::npos, held->commands[0].find(L"-hwaccel cuvid -c:v h264_cuvid"))
      << held->commands[0];
}

// Stop during a long conversion: the console closes, the partial output goes, a file of an
// older run beside it stays, no further file starts, and the status line says stopped.
TEST_F(BatchRunTest, StopEndsTheRunningConversionAndRemovesItsPartialOutput) {
  std::wstring longClip = MakeClip(::Sample::H264_1080_MP4, L"long.mp4", 40);
  std::wstring other = MakeClip(::Sample::H264_AAC_MP4, L"other.mp4", 1);
  ASSERT_FALSE(longClip.empty() || other.empty());
  std::wstring older = folder.Write(L"long_(02).mp4", "an older output");
  std::wstring partial = folder.File(L"long_(03).mp4");
  TraceCapture trace;
  DropFiles(dialog->Hwnd(), {longClip, other});
  Click(IDC_GPU);
  Click(IDC_START);
  ASSERT_TRUE(Running());
  // ffmpeg has begun to write its output: the conversion is under way.
  ASSERT_TRUE(WaitUntil([&] { return GetFileLength(partial) > 0; }, kRunTimeoutMs));
  EXPECT_EQ(L"[1/2] " + longClip, StatusText());

  EXPECT_FALSE(PressAndAnswer(true).empty());
  ASSERT_TRUE(WaitUntil([this] { return !Running(); }, kRunTimeoutMs));
  EXPECT_FALSE(FileExists(partial));
  EXPECT_EQ("an older output", [&] {
    std::ifstream in(FsPath(older), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }());
  EXPECT_FALSE(FileExists(folder.File(L"other_(02).mp4")));
  EXPECT_FALSE(trace.ContainsText(L"DoProcess-1-(2/2)"));
  EXPECT_EQ(Label(L"완료 0, 실패 0, 건너뜀 2, 중지됨", L"done 0, failed 0, skipped 2, stopped"),
            StatusText());
  EXPECT_EQ(Label(L"작업 실행", L"Start Process"), Text(IDC_START));
}

// A clip whose header says 8 s but whose data ends after 4 s
// converts with exit status 0 into a 4 s file. It counts short on the status line, a message
// names it with both lengths, and the file stays.
TEST_F(BatchRunTest, AConversionThatComesOutShortIsCountedAndNamed) {
  std::wstring clip = MakeClip(::Sample::CUT_SHORT_MKV, L"cut.mkv", 4);
  ASSERT_FALSE(clip.empty());
  MessageCapture messages;
  DropFiles(dialog->Hwnd(), {clip});
  ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 0));
  Click(IDC_GPU);
  Click(IDC_JOB_CONVERT);
  const std::wstring output = folder.File(L"cut_(02).mkv");
  EXPECT_EQ(output, OutputOf(Text(IDC_COMMAND_BOX)));
  ASSERT_TRUE(RunToTheEnd());
  EXPECT_EQ(Label(L"완료 0, 실패 0, 건너뜀 0, 짧음 1", L"done 0, failed 0, skipped 0, short 1"),
            StatusText());
  MediaDesc kept;
  ASSERT_TRUE(ProbeMediaFile(output, kept));
  EXPECT_LT(kept.durationSec, 6);
  // Both lengths to the millisecond: the output's, and the video's the header promises.
  CMediaLengths made, promised;
  ASSERT_TRUE(MeasureMediaFile(output, made));
  ASSERT_TRUE(MeasureMediaFile(clip, promised));
  EXPECT_EQ(promised.videoMs / 1000, 8);
  // The end message names the file with both lengths to the millisecond, and offers the run's
  // report.
  EXPECT_EQ(
      messages.Messages(),
      std::vector<std::wstring>{Sprintf(
          Label(L"일부 파일이 제대로 만들어지지 않았습니다:\n\n[1/1] %s\n짧음: 출력 길이가 %s초뿐입니다 "
                L"(%s초여야 합니다). 확인할 수 있게 파일은 남겨 둡니다\n\n실행 보고서를 열까요?",
                L"Not every file came out whole:\n\n[1/1] %s\nshort: the output lasts %s s of the %s s "
                L"expected; it is kept for you to check\n\nOpen the run's report?")
              .c_str(),
          clip, SecondsText(made.fileMs), SecondsText(promised.videoMs))});
}

// A join of files whose pictures differ: Start names the first difference and asks. No runs
// nothing; Yes joins them all the same.
TEST_F(BatchRunTest, AJoinOfFilesThatDifferAsksFirst) {
  std::wstring first = MakeClip(::Sample::H264_AAC_MP4, L"first.mp4", 1);
  std::wstring second = MakeClip(::Sample::H264_1080_MP4, L"second.mp4", 1);
  ASSERT_FALSE(first.empty() || second.empty());
  TraceCapture trace;
  DropFiles(dialog->Hwnd(), {first, second});
  Click(IDC_JOB_MERGE_FILES);
  const std::wstring question = Label(
      L"합칠 파일들이 서로 다릅니다:\nsecond.mp4: 1920x1080, 첫 파일은 320x240\n합치면 제대로 재생되지 않을 "
      L"수 "
      L"있습니다 (영상, 소리, 길이). 그래도 합칠까요?",
      L"The files to join differ:\nsecond.mp4: 1920x1080, the first part 320x240\nJoined, they may play "
      L"wrong "
      L"(picture, sound or length). Join them anyway?");
  const struct {
    bool yes;
    bool ran;
  } answers[] = {{false, false}, {true, true}};
  for (const auto& answer : answers) {
    SCOPED_TRACE(answer.yes ? "yes" : "no");
    trace.Clear();
    EXPECT_EQ(question, PressAndAnswer(answer.yes));
    if (answer.ran) {
      ASSERT_TRUE(WaitUntil([this] { return !Running(); }, kRunTimeoutMs));
    }
    EXPECT_FALSE(Running());
    EXPECT_EQ(trace.ContainsText(L"DoProcess-쓰레드 시작"), answer.ran);
    EXPECT_EQ(trace.Contains(L"OnButtonStart-parts differ, not started"), !answer.yes);
    EXPECT_EQ(FileExists(folder.File(L"first.ts")), answer.ran);
    EXPECT_EQ(FileExists(folder.File(L"second.ts")), answer.ran);
  }
}

// The status line after a run: the short outputs only when there are any, so a run without
// one reads as it always did.
TEST(RunTexts, TheStatusLineCountsShortOutputsOnlyWhenThereAreAny) {
  const struct {
    int done, failed, skipped, shortOnes;
    JoinOutcome join;
    bool stopped;
    const wchar_t* korean;
    const wchar_t* english;
  } cases[] = {
      {3, 1, 1, 0, JOIN_NONE, false, L"완료 3, 실패 1, 건너뜀 1", L"done 3, failed 1, skipped 1"},
      {1, 0, 0, 1, JOIN_NONE, false, L"완료 1, 실패 0, 건너뜀 0, 짧음 1",
       L"done 1, failed 0, skipped 0, short 1"},
      {2, 0, 0, 0, JOIN_SHORT, false, L"완료 2, 실패 0, 건너뜀 0, 합치기 짧음",
       L"done 2, failed 0, skipped 0, join short"},
      {1, 0, 1, 1, JOIN_SKIPPED, true, L"완료 1, 실패 0, 건너뜀 1, 짧음 1, 합치기 안 함, 중지됨",
       L"done 1, failed 0, skipped 1, short 1, join skipped, stopped"},
  };
  for (const auto& c : cases) {
    CBatchReport report;
    report.filesDone = c.done;
    report.filesFailed = c.failed;
    report.filesSkipped = c.skipped;
    report.filesShort = c.shortOnes;
    report.join = c.join;
    report.stopped = c.stopped;
    EXPECT_EQ(RunReportText(report, kUiLanguageKorean), c.korean);
    EXPECT_EQ(RunReportText(report, kUiLanguageEnglish), c.english);
  }
}

TEST_F(BatchRunTest, OneVideoAndOneAudioFileAreMergedIntoOneOutput) {
  std::wstring video = MakeClip(::Sample::H264_AAC_MP4, L"video.mp4");
  std::wstring audio = MakeClip(::Sample::MP3_ONLY, L"sound.mp3");
  ASSERT_FALSE(video.empty());
  ASSERT_FALSE(audio.empty());
  TraceCapture trace;
  MessageCapture messages;
  DropFiles(dialog->Hwnd(), {video, audio});

  Click(IDC_JOB_MERGE_VIDEO_AUDIO);
  std::wstring command = Text(IDC_COMMAND_BOX);
  EXPECT_EQ(0u, command.find(L"ffmpeg -i \"" + video + L"\" -i \"" + audio + L"\"")) << command;
  EXPECT_TRUE(EndsWith(command, kPauseEnding)) << command;
  std::wstring output = OutputOf(command);
  ASSERT_FALSE(output.empty());
  EXPECT_NE(video, output);

  ASSERT_TRUE(RunToTheEnd());
  EXPECT_TRUE(messages.Messages().empty());
  // The one command: no file of its own on the status line, then the counts of its two files.
  EXPECT_EQ(Label(L"완료 2, 실패 0, 건너뜀 0", L"done 2, failed 0, skipped 0"), StatusText());
  EXPECT_FALSE(trace.ContainsText(L"DoProcess-1-"));
  ASSERT_TRUE(FileExists(output));
  MediaDesc merged;
  ASSERT_TRUE(ProbeMediaFile(output, merged));
  EXPECT_EQ(VCODEC_H264, merged.video.codec);
  ASSERT_EQ(2, merged.audioCount);  // the video's own track and the added one
  EXPECT_EQ(ACODEC_MP3, merged.audio[1].codec);

  // Another file in the list: the command was not made for this list, so Start refuses it.
  DropFiles(dialog->Hwnd(), {audio});
  Click(IDC_START);
  EXPECT_FALSE(Running());
  ASSERT_EQ(1u, messages.Messages().size());
  EXPECT_NE(std::wstring::npos,
            messages.Messages()[0].find(Label(L"합치기 (영상+소리)", L"video-and-audio merge")));
  EXPECT_EQ(1u, trace.Count(L"\n\nDoProcess-쓰레드 시작"));
}

TEST_F(BatchRunTest, MergeOfVideoAndAudioSaysWhatIsMissingAndStartRunsNothing) {
  TraceCapture trace;
  MessageCapture messages;
  // A fresh window: the default input name cannot be probed and the box stays empty.
  Click(IDC_JOB_CONVERT);
  EXPECT_EQ(std::wstring(DEFAULT_INPUT_NAME), dialog->jobSettings.currentFile);
  EXPECT_EQ(L"", Text(IDC_COMMAND_BOX));
  DropFiles(dialog->Hwnd(), {folder.File(L"a.mp4")});
  Click(IDC_JOB_MERGE_VIDEO_AUDIO);
  DropFiles(dialog->Hwnd(), {folder.File(L"b.mkv")});
  Click(IDC_JOB_MERGE_VIDEO_AUDIO);
  EXPECT_EQ((std::vector<std::wstring>{
                Label(L"합치기위해 최소 두개의 파일이 필요합니다.", L"A merge needs at least two files."),
                Label(L"영상과 소리 파일이 1개씩 필요합니다.",
                      L"A merge of video and audio needs one video file and one audio file.")}),
            messages.Messages());
  EXPECT_EQ(L"", Text(IDC_COMMAND_BOX));
  EXPECT_EQ(3u, trace.Count(L"CmdSet="));

  Click(IDC_START);
  EXPECT_FALSE(Running());
  EXPECT_EQ(3u, messages.Messages().size());
  EXPECT_FALSE(trace.ContainsText(L"DoProcess-쓰레드 시작"));
}

TEST_F(BatchRunTest, MissingMediaInfoOffersItsInstallDialogOverTheWindow) {
  // A program folder without MediaInfo.
  struct CProgramDirBack {
    ~CProgramDirBack() { SetProgramDir(GetProgramDir()); }
  } back;
  TempDir empty;
  SetProgramDir(empty.Path());
  SetWindowPos(dialog->Hwnd(), nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  RECT main{};
  GetWindowRect(dialog->Hwnd(), &main);
  TraceCapture trace;

  Click(IDC_START);
  HWND install = dialog->installDlg->Hwnd();
  ASSERT_TRUE(IsWindowVisible(install));
  RECT shown{};
  GetWindowRect(install, &shown);
  EXPECT_EQ(main.left + (main.right - main.left) / 5, shown.left);
  EXPECT_EQ(main.top + (main.bottom - main.top) / 10, shown.top);
  std::wstring text = WindowText(GetDlgItem(install, IDC_INSTALL_MESSAGE));
  EXPECT_EQ(0u, text.find(ExpectKorean() ? L"MediaInfo.exe 파일이 없습니다. '"
                                         : L"MediaInfo.exe file not found\nVisit '"))
      << text;
  EXPECT_EQ(InstallMessageText(INSTALL_MEDIAINFO, ExpectKorean() ? 18 : 9), text);
  EXPECT_FALSE(Running());
  EXPECT_FALSE(trace.ContainsText(L"DoProcess"));
}

TEST_F(BatchRunTest, RunKeepsItsSnapshotAndStartWaitsForItsEnd) {
  std::wstring first = MakeClip(::Sample::H264_AAC_MP4, L"first.mp4", 1);
  std::wstring second = MakeClip(::Sample::H264_AAC_MP4, L"second.mp4", 1);
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  auto held = std::make_shared<CHeldRunner>();
  dialog->commandRunner = CHeldRunner::Wrap(held);
  TraceCapture trace;
  DropFiles(dialog->Hwnd(), {first, second});
  Click(IDC_GPU);

  Click(IDC_START);
  ASSERT_TRUE(WaitUntil([&] { return held->Count() == 1; }, kRunTimeoutMs));
  // Running: the button reads Stop; pressed, it asks, and No leaves the run alone.
  EXPECT_TRUE(Running());
  EXPECT_EQ(Label(L"중지", L"Stop"), Text(IDC_START));
  EXPECT_TRUE(WaitUntil([&] { return StatusText() == L"[1/2] " + first; }, 10000));
  EXPECT_EQ(Label(L"실행 중인 작업을 중지할까요?\n지금 만들고 있는 파일은 지워집니다.",
                  L"Stop the running job?\nThe file being made now is removed."),
            PressAndAnswer(false));
  EXPECT_TRUE(trace.Contains(L"OnButtonStart-busy"));
  EXPECT_TRUE(Running());
  // A file click, options and the preview change the window, not the run.
  ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 1));
  ASSERT_TRUE(ClickRow(IDC_OUTPUT_CODEC_LIST, 0));
  Click(IDC_JOB_VIDEO_EXTRACT);
  // (H.264 into H.264: the video extract copies the stream and leaves the audio out.)
  std::wstring preview = Text(IDC_COMMAND_BOX);
  EXPECT_NE(std::wstring::npos, preview.find(L"-c:v copy")) << preview;
  EXPECT_EQ(std::wstring::npos, preview.find(L"-c:a")) << preview;

  held->Release();
  ASSERT_TRUE(WaitUntil([this] { return !Running(); }, kRunTimeoutMs));
  EXPECT_EQ(1u, trace.Count(L"\n\nDoProcess-쓰레드 시작"));
  ASSERT_EQ(2u, held->commands.size());
  for (const std::wstring& command : held->commands) {
    EXPECT_NE(std::wstring::npos, command.find(L"-c:v libx265")) << command;
    EXPECT_NE(std::wstring::npos, command.find(L"-c:a aac")) << command;
  }
  EXPECT_FALSE(EndsWith(held->commands[0], kPauseEnding));
  EXPECT_TRUE(EndsWith(held->commands[1], kPauseEnding));
  EXPECT_FALSE(trace.ContainsText(L"DoProcess-stop"));
  EXPECT_EQ(Label(L"완료 2, 실패 0, 건너뜀 0", L"done 2, failed 0, skipped 0"), StatusText());
  EXPECT_TRUE(FileExists(folder.File(L"first_(02).mp4")));
  EXPECT_TRUE(FileExists(folder.File(L"second_(02).mp4")));
}

// While a run goes on, the status line counts its time on and the taskbar button shows the
// share of the run done, in the error state once a file failed, and nothing once the run is over; the
// button flashes at the end only when the window is not in front. The button's interface and
// what is in front are fakes: the shell under test makes no button (Wine sends no
// "TaskbarButtonCreated"), so the test sends that message as the shell does.
TEST_F(BatchRunTest, TheClockAndTheTaskbarButtonFollowTheRun) {
  std::vector<std::wstring> clips;
  for (const wchar_t* name : {L"first.mp4", L"second.mp4", L"third.mp4"}) {
    clips.push_back(MakeClip(::Sample::H264_AAC_MP4, name, 1));
    ASSERT_FALSE(clips.back().empty());
  }
  auto inFront = std::make_shared<bool>(true);
  TaskbarLog log = UseFakeTaskbar(dialog->taskbarProgress, true, inFront);
  MessageCapture messages;
  SendMessageW(dialog->Hwnd(), CTaskbarProgress::ButtonCreatedMessage(), 0, 0);
  // Each run holds at its first command until the test lets go; the second file's command
  // fails. Nothing is converted: a command that succeeds leaves a copy of a clip as its output,
  // which is as long as its input.
  auto held = std::make_shared<CHeldRunner>();
  const std::wstring model = clips[0];
  dialog->commandRunner = [held, model](const std::wstring& command, CCommandStop*, const ConsoleErrorSink&) {
    std::unique_lock<std::mutex> guard(held->lock);
    held->commands.push_back(command);
    held->changed.wait(guard, [&] { return held->released; });
    if (held->commands.size() % 3 == 2) return 1;
    return LeaveOutput(command, model) ? 0 : 2;
  };
  DropFiles(dialog->Hwnd(), clips);
  Click(IDC_GPU);

  // The window in front at the end: no flash.
  Click(IDC_START);
  ASSERT_TRUE(WaitUntil([&] { return held->Count() == 1; }, kRunTimeoutMs));
  EXPECT_TRUE(WaitUntil([&] { return Text(IDC_STATUS_LINE) == L"[1/3] " + clips[0] + L" (0:01)"; }, 5000))
      << WideToUtf8(Text(IDC_STATUS_LINE));
  EXPECT_EQ((std::vector<std::wstring>{L"open", L"state normal", L"value 0/1000"}), *log);
  held->Release();
  ASSERT_TRUE(WaitUntil([this] { return !Running(); }, kRunTimeoutMs));
  EXPECT_EQ(Label(L"완료 2, 실패 1, 건너뜀 0", L"done 2, failed 1, skipped 0"), StatusText());
  // Three clips of one length: each weighs a third of the run.
  EXPECT_EQ(
      (std::vector<std::wstring>{L"open", L"state normal", L"value 0/1000", L"value 333/1000", L"state error",
                                 L"value 667/1000", L"value 1000/1000", L"state none", L"released"}),
      *log);

  // The user turns to another window during the run: at the end the button flashes, after it
  // was cleared.
  log->clear();
  {
    std::lock_guard<std::mutex> guard(held->lock);
    held->released = false;
  }
  Click(IDC_START);
  ASSERT_TRUE(WaitUntil([&] { return held->Count() == 4; }, kRunTimeoutMs));
  *inFront = false;
  held->Release();
  ASSERT_TRUE(WaitUntil([this] { return !Running(); }, kRunTimeoutMs));
  EXPECT_EQ((std::vector<std::wstring>{L"open", L"state normal", L"value 0/1000", L"value 333/1000",
                                       L"state error", L"value 667/1000", L"value 1000/1000", L"state none",
                                       L"released", L"flash"}),
            *log);
  EXPECT_EQ(Label(L"완료 2, 실패 1, 건너뜀 0", L"done 2, failed 1, skipped 0"), StatusText());
  // Each run's end named the file that failed, with its exit status: the stand-in said nothing.
  // Between them, the second Start asked whether to go on with the file the first left undone
  // (the capture answers no: every file ran again).
  ASSERT_EQ(messages.Messages().size(), 3u);
  EXPECT_EQ(messages.Messages()[1], FormatText(TXT_RESUME_QUESTION, dialog->uiLanguage, 1, 2));
  for (const std::wstring& message : {messages.Messages()[0], messages.Messages()[2]}) {
    EXPECT_NE(
        message.find(L"[2/3] " + clips[1] + L"\n" + Label(L"실패: 종료 코드 1", L"failed: exit status 1")),
        std::wstring::npos)
        << WideToUtf8(message);
  }
}

TEST_F(BatchRunTest, ClosingTheWindowDuringARunLetsTheWorkerEndWithoutIt) {
  std::wstring clip = MakeClip(::Sample::H264_AAC_MP4, L"clip.mp4", 1);
  ASSERT_FALSE(clip.empty());
  auto held = std::make_shared<CHeldRunner>();
  dialog->commandRunner = CHeldRunner::Wrap(held);
  TraceCapture trace;
  DropFiles(dialog->Hwnd(), {clip, clip});
  Click(IDC_GPU);
  Click(IDC_START);
  ASSERT_TRUE(WaitUntil([&] { return held->Count() == 1; }, kRunTimeoutMs));

  dialog.reset();  // closes the window while its first command runs
  PumpMessages();
  held->Release();
  EXPECT_TRUE(WaitUntil([&] { return trace.Contains(L"DoProcess-쓰레드 멈춤"); }, kRunTimeoutMs));
  // The running command finished in its own right; nothing after it was started.
  EXPECT_EQ(1u, held->Count());
  EXPECT_FALSE(trace.ContainsText(L"DoProcess-1-(2/2)"));
  EXPECT_TRUE(trace.Contains(L"DoProcess-2-exit=0"));
  EXPECT_TRUE(FileExists(folder.File(L"clip_(02).mp4")));
}

// The window closes while the worker builds the first file's command (it is probing the
// file): the worker finishes that build without the window and starts no command at all.
TEST_F(BatchRunTest, ClosingTheWindowWhileTheWorkerProbesStartsNoCommand) {
  std::wstring clip = MakeClip(::Sample::H264_AAC_MP4, L"clip.mp4", 1);
  ASSERT_FALSE(clip.empty());
  struct Gate {
    std::mutex lock;
    std::condition_variable changed;
    bool probing = false, released = false;
  };
  auto gate = std::make_shared<Gate>();
  dialog->batchProbe = [gate](const std::wstring& path, MediaDesc& media) {
    {
      std::unique_lock<std::mutex> guard(gate->lock);
      gate->probing = true;
      gate->changed.wait(guard, [&] { return gate->released; });
    }
    return ProbeMediaFile(path, media);
  };
  auto commands = std::make_shared<std::atomic<int>>(0);
  dialog->commandRunner = [commands](const std::wstring& command, CCommandStop* stop,
                                     const ConsoleErrorSink& errors) {
    ++*commands;
    return RunInOwnConsole(command, stop, errors);
  };
  DropFiles(dialog->Hwnd(), {clip, clip});
  Click(IDC_GPU);
  Click(IDC_START);
  ASSERT_TRUE(WaitUntil(
      [&] {
        std::lock_guard<std::mutex> guard(gate->lock);
        return gate->probing;
      },
      kRunTimeoutMs));

  dialog.reset();  // closes the window in the middle of the build
  PumpMessages();
  EXPECT_GE(BatchThreadsAlive(), 1);  // the run goes on without its window
  {
    std::lock_guard<std::mutex> guard(gate->lock);
    gate->released = true;
    gate->changed.notify_all();
  }
  EXPECT_TRUE(WaitUntil([] { return BatchThreadsAlive() == 0; }, kRunTimeoutMs));
  EXPECT_EQ(0, commands->load());
  EXPECT_FALSE(FileExists(folder.File(L"clip_(02).mp4")));
}

// The wide command runs whole in a console of its own, however long the path and whatever
// code page its characters need.
TEST_F(BatchRunTest, MediaInfoButtonRunsTheWholeCommandInAConsoleOfItsOwn) {
  std::vector<std::wstring> commands;
  dialog->commandRunner = [&commands](const std::wstring& command, CCommandStop* stop,
                                      const ConsoleErrorSink& errors) {
    commands.push_back(command);
    return RunInOwnConsole(command, stop, errors);
  };
  auto press = [this] {
    SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_MEDIA_INFO, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(IDC_MEDIA_INFO)));
    PumpMessages();
  };
  // Hidden and disabled, but wired; with no current file it does nothing.
  EXPECT_FALSE(IsWindowVisible(Item(IDC_MEDIA_INFO)));
  press();
  EXPECT_TRUE(commands.empty());

  TraceCapture trace;
  std::wstring path = folder.File(std::wstring(480, L'm') + L" \U0001F3AC 100% 완료.mp4");
  dialog->jobSettings.currentFile = path;
  press();
  std::wstring expected = L"mediainfo \"" + path + L"\" & pause";
  EXPECT_EQ(std::vector<std::wstring>{expected}, commands);
  // Then the file is probed again for the trace.
  std::wstring summary;
  FormatMediaSummary(dialog->currentMedia, summary);
  EXPECT_TRUE(trace.Contains(summary));
}

// A program folder of the test's own, holding copies of the build's files (and, as ffmpeg.exe,
// whichever program stands in for it); the window's program folder comes back at the end.
class CProgramFolder {
 public:
  CProgramFolder(std::initializer_list<const wchar_t*> files, const wchar_t* ffmpeg = L"ffmpeg.exe") {
    for (const wchar_t* file : files) {
      copied_ = copied_ && CopyFileW((GetProgramDir() + file).c_str(), folder_.File(file).c_str(), FALSE);
    }
    copied_ =
        copied_ && CopyFileW((GetProgramDir() + ffmpeg).c_str(), folder_.File(L"ffmpeg.exe").c_str(), FALSE);
    SetProgramDir(folder_.Path());
  }
  ~CProgramFolder() { SetProgramDir(GetProgramDir()); }
  CProgramFolder(const CProgramFolder&) = delete;
  CProgramFolder& operator=(const CProgramFolder&) = delete;

  bool Copied() const { return copied_; }
  std::wstring File(const wchar_t* name) const { return folder_.File(name); }

 private:
  TempDir folder_;
  bool copied_ = true;
};

// An environment variable for the programs the test starts, while it lives.
class CScopedVariable {
 public:
  CScopedVariable(const wchar_t* name, const std::wstring& value) : name_(name) {
    _wputenv_s(name, value.c_str());
  }
  ~CScopedVariable() { _wputenv_s(name_, L""); }
  CScopedVariable(const CScopedVariable&) = delete;
  CScopedVariable& operator=(const CScopedVariable&) = delete;

 private:
  const wchar_t* name_;
};

// The stand-in for the GPU check, for the life of the object.
class CScopedGpuCheck {
 public:
  explicit CScopedGpuCheck(GpuCheckFunction check) : previous_(SetGpuCheck(std::move(check))) {}
  ~CScopedGpuCheck() { SetGpuCheck(previous_); }
  CScopedGpuCheck(const CScopedGpuCheck&) = delete;
  CScopedGpuCheck& operator=(const CScopedGpuCheck&) = delete;

 private:
  GpuCheckFunction previous_;
};

// The window beside which kestrune-cli.exe is missing (a user who copied only kestrune.exe):
// Start names it, over any GPU check, and starts nothing; put back, Start runs.
TEST_F(BatchRunTest, StartWithoutKestruneCliBesideTheWindowNamesItAndRunsNothing) {
  std::wstring clip = MakeClip(::Sample::H264_AAC_MP4, L"clip.mp4", 1);
  ASSERT_FALSE(clip.empty());
  CProgramFolder program({L"mediainfo.exe", L"exec.bat"});
  ASSERT_TRUE(program.Copied());
  DropFiles(dialog->Hwnd(), {clip});
  TraceCapture trace;
  MessageCapture messages;
  const std::wstring expected =
      FormatText(TXT_CONSOLE_HOST_MISSING, ExpectKorean() ? 18 : 9, program.File(L"kestrune-cli.exe"));
  EXPECT_EQ(0u,
            expected.find(Label(L"kestrune-cli.exe 파일이 없습니다: ", L"kestrune-cli.exe is missing: ")));

  ASSERT_TRUE(Checked(IDC_GPU));
  Click(IDC_START);
  EXPECT_FALSE(dialog->GpuCheckRunning());
  Click(IDC_GPU);
  Click(IDC_START);
  EXPECT_FALSE(Running());
  EXPECT_EQ((std::vector<std::wstring>{expected, expected}), messages.Messages());
  EXPECT_FALSE(trace.ContainsText(L"DoProcess"));
  EXPECT_FALSE(trace.ContainsText(L"OnButtonStart-checking"));
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_START)));

  ASSERT_TRUE(CopyFileW((GetProgramDir() + L"kestrune-cli.exe").c_str(),
                        program.File(L"kestrune-cli.exe").c_str(), FALSE));
  ASSERT_TRUE(RunToTheEnd());
  EXPECT_EQ(2u, messages.Messages().size());
  EXPECT_EQ(Label(L"완료 1, 실패 0, 건너뜀 0", L"done 1, failed 0, skipped 0"), StatusText());
}

// The check runs off the window's thread: while it waits, Start is greyed, the status line says
// what goes on, the window answers other threads' messages and its own controls, and a second
// Start changes nothing; the answer then starts the run that Start took.
TEST_F(BatchRunTest, TheWindowAnswersWhileTheGpuCheckRuns) {
  std::wstring clip = MakeClip(::Sample::H264_AAC_MP4, L"clip.mp4", 1);
  ASSERT_FALSE(clip.empty());
  struct Gate {
    std::mutex lock;
    std::condition_variable changed;
    bool checking = false, released = false, finished = false;
    int calls = 0;
    DWORD thread = 0;
  };
  auto gate = std::make_shared<Gate>();
  CScopedGpuCheck slowCheck([gate](int32_t, bool) {
    std::unique_lock<std::mutex> guard(gate->lock);
    gate->checking = true;
    ++gate->calls;
    gate->thread = GetCurrentThreadId();
    // A slow driver, at most a minute.
    gate->changed.wait_for(guard, std::chrono::seconds(60), [&] { return gate->released; });
    gate->finished = true;
    return true;
  });
  auto held = std::make_shared<CHeldRunner>();
  held->Release();
  dialog->commandRunner = [held, clip](const std::wstring& command, CCommandStop*, const ConsoleErrorSink&) {
    std::lock_guard<std::mutex> guard(held->lock);
    held->commands.push_back(command);
    return LeaveOutput(command, clip) ? 0 : 2;
  };
  TraceCapture trace;
  DropFiles(dialog->Hwnd(), {clip});
  ASSERT_TRUE(Checked(IDC_GPU));
  const std::wstring before = Text(IDC_STATUS_LINE);

  Click(IDC_START);
  ASSERT_TRUE(WaitUntil(
      [&] {
        std::lock_guard<std::mutex> guard(gate->lock);
        return gate->checking;
      },
      10000));
  {
    std::lock_guard<std::mutex> guard(gate->lock);
    EXPECT_FALSE(gate->finished);  // the click came back while the check went on
    EXPECT_NE(GetCurrentThreadId(), gate->thread);
  }
  EXPECT_TRUE(dialog->GpuCheckRunning());
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_START)));
  EXPECT_EQ(Label(L"이 컴퓨터에서 GPU 가속을 쓸 수 있는지 확인하는 중...",
                  L"Checking whether GPU acceleration works on this computer..."),
            Text(IDC_STATUS_LINE));

  std::atomic<bool> answered{false};
  std::thread asker([&] {
    DWORD_PTR result = 0;
    answered = SendMessageTimeoutW(dialog->Hwnd(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
  });
  EXPECT_TRUE(WaitUntil([&] { return answered.load(); }, 10000));
  asker.join();
  // A file click makes it the current file; the preview then follows the job chosen.
  ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 0));
  Click(IDC_JOB_VIDEO_EXTRACT);
  EXPECT_NE(std::wstring::npos, Text(IDC_COMMAND_BOX).find(L"-c:v copy"))
      << WideToUtf8(Text(IDC_COMMAND_BOX));
  SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
               reinterpret_cast<LPARAM>(Item(IDC_START)));
  PumpMessages();
  EXPECT_TRUE(trace.Contains(L"OnButtonStart-checking"));
  EXPECT_FALSE(trace.ContainsText(L"DoProcess-쓰레드 시작"));

  {
    std::lock_guard<std::mutex> guard(gate->lock);
    gate->released = true;
    gate->changed.notify_all();
  }
  ASSERT_TRUE(WaitUntil([&] { return !dialog->GpuCheckRunning(); }, kRunTimeoutMs));
  ASSERT_TRUE(WaitUntil([&] { return held->Count() == 1 && !Running(); }, kRunTimeoutMs));
  EXPECT_EQ(1, gate->calls);
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_START)));
  EXPECT_NE(before, Label(L"이 컴퓨터에서 GPU 가속을 쓸 수 있는지 확인하는 중...",
                          L"Checking whether GPU acceleration works on this computer..."));
  EXPECT_EQ(Label(L"완료 1, 실패 0, 건너뜀 0", L"done 1, failed 0, skipped 0"), StatusText());
  // The run is the conversion Start took, on the GPU the check found, not the extract chosen
  // since.
  EXPECT_NE(std::wstring::npos, held->commands[0].find(L"-hwaccel cuvid -c:v h264_cuvid"))
      << held->commands[0];
  EXPECT_NE(std::wstring::npos, held->commands[0].find(L"-c:v hevc_nvenc")) << held->commands[0];
  EXPECT_TRUE(Checked(IDC_GPU));
}

// The taskbar button counts the files of the run that Start took, not the list as the user
// edits it while the GPU check runs: two more rows dropped, and a job clicked (which gathers the
// list anew), during the check of a Start over one file.
TEST_F(BatchRunTest, TheTaskbarCountsTheFilesOfTheRunNotTheListEditedDuringTheCheck) {
  std::wstring clip = MakeClip(::Sample::H264_AAC_MP4, L"clip.mp4", 1);
  ASSERT_FALSE(clip.empty());
  auto open = std::make_shared<std::atomic<bool>>(false);
  CScopedGpuCheck heldCheck([open](int32_t, bool) {
    for (int waited = 0; !*open && waited < 6000; ++waited)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return true;
  });
  dialog->commandRunner = [clip](const std::wstring& command, CCommandStop*, const ConsoleErrorSink&) {
    return LeaveOutput(command, clip) ? 0 : 2;
  };
  TaskbarLog log = UseFakeTaskbar(dialog->taskbarProgress, true, std::make_shared<bool>(true));
  SendMessageW(dialog->Hwnd(), CTaskbarProgress::ButtonCreatedMessage(), 0, 0);
  DropFiles(dialog->Hwnd(), {clip});
  ASSERT_TRUE(Checked(IDC_GPU));

  Click(IDC_START);
  ASSERT_TRUE(dialog->GpuCheckRunning());
  DropFiles(dialog->Hwnd(), {clip, clip});
  ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 0));
  Click(IDC_JOB_CONVERT);
  *open = true;
  ASSERT_TRUE(WaitUntil([&] { return !dialog->GpuCheckRunning(); }, kRunTimeoutMs));
  ASSERT_TRUE(WaitUntil([this] { return !Running(); }, kRunTimeoutMs));
  EXPECT_EQ(Label(L"완료 1, 실패 0, 건너뜀 0", L"done 1, failed 0, skipped 0"), StatusText());
  // The one file of the run done is the whole run (with the list's three it would be a third).
  EXPECT_EQ((std::vector<std::wstring>{L"open", L"state normal", L"value 0/1000", L"value 1000/1000",
                                       L"state none", L"released"}),
            *log);
}

// An ffmpeg build with NVENC but neither a working GPU nor libx265 (a stand-in ffmpeg, through
// the real check): Start says which encoders are missing and starts nothing.
TEST_F(BatchRunTest, StartRefusesARunThatNoEncoderOfThisFfmpegCanMake) {
  std::wstring clip = MakeClip(::Sample::H264_AAC_MP4, L"clip.mp4", 1);
  ASSERT_FALSE(clip.empty());
  CProgramFolder program({L"mediainfo.exe", L"exec.bat", L"kestrune-cli.exe"}, L"fake_ffmpeg.exe");
  ASSERT_TRUE(program.Copied());
  CScopedVariable rules(L"KESTRUNE_FAKE_FFMPEG",
                        L"encoders=h264_nvenc,hevc_nvenc,aac;fail=h264_nvenc;fail=hevc_nvenc");
  DropFiles(dialog->Hwnd(), {clip});
  TraceCapture trace;
  MessageCapture messages;
  ASSERT_TRUE(Checked(IDC_GPU));

  Click(IDC_START);
  ASSERT_TRUE(WaitUntil([&] { return !dialog->GpuCheckRunning(); }, kRunTimeoutMs));
  ASSERT_EQ(1u, messages.Messages().size());
  const std::wstring message = messages.Messages()[0];
  EXPECT_EQ(FormatText(TXT_GPU_NO_ENCODER, ExpectKorean() ? 18 : 9, L"hevc_nvenc", L"libx265"), message);
  EXPECT_EQ(0u, message.find(Label(
                    L"이 컴퓨터에서는 GPU 가속(hevc_nvenc)을 쓸 수 없고, 이 ffmpeg 에는 대신 쓸 libx265 "
                    L"인코더가 없습니다.",
                    L"GPU acceleration (hevc_nvenc) does not work on this computer, and this ffmpeg "
                    L"has no libx265 encoder")))
      << WideToUtf8(message);
  EXPECT_FALSE(Running());
  EXPECT_FALSE(trace.ContainsText(L"DoProcess"));
  EXPECT_TRUE(trace.Contains(L"OnButtonStart-no encoder, not started"));
  EXPECT_TRUE(Checked(IDC_GPU));
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_START)));
}

}  // namespace
