// A run's progress and its end in the real window, with the real ffmpeg and MediaInfo through
// the Wine bridge and each command in a console of the real console host, which relays ffmpeg's
// statistics and last words to the window: the bar under the command box moves during a
// conversion of a 20 s clip, the status line shows the file, its percent, ffmpeg's speed and
// the time left, the taskbar button the same share of the run; a run with a failed file ends
// with a message that names it and why, and offers the run's report, kept in the user's folder.
#include <gtest/gtest.h>
#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "base/file_util.h"
#include "base/message.h"
#include "base/text.h"
#include "base/user_data_folder.h"
#include "batch/run_report.h"
#include "exec/console_host.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"
#include "ui/control_ids.h"
#include "ui/fake_taskbar.h"
#include "ui/main_window_fixture.h"

namespace {

constexpr unsigned kRunTimeoutMs = 180000;

class RunProgressTest : public MainWindowFixture {
 protected:
  bool Running() const { return !dialog->batchFinished; }
  std::wstring Label(const wchar_t* korean, const wchar_t* english) const {
    return ExpectKorean() ? korean : english;
  }
  int BarPosition() const { return static_cast<int>(SendMessageW(Item(IDC_RUN_PROGRESS), PBM_GETPOS, 0, 0)); }
  std::wstring MakeClip(Sample kind, const std::wstring& name, int seconds) {
    std::wstring path = folder.File(name);
    return MakeSample(kind, path, seconds) ? path : std::wstring();
  }

  TempDir folder;
};

TEST_F(RunProgressTest, TheBarTheStatusLineAndTheTaskbarFollowAConversion) {
  const std::wstring clip = MakeClip(Sample::H264_AAC_MP4, L"clip 20 s.mp4", 20);
  ASSERT_FALSE(clip.empty());
  // The console of the command comes to the front; the window counts as in front all the same.
  TaskbarLog log = UseFakeTaskbar(dialog->taskbarProgress, true, std::make_shared<bool>(true));
  SendMessageW(dialog->Hwnd(), CTaskbarProgress::ButtonCreatedMessage(), 0, 0);
  EXPECT_FALSE(IsWindowVisible(Item(IDC_RUN_PROGRESS)));
  DropFiles(dialog->Hwnd(), {clip});
  Click(IDC_GPU);  // no NVIDIA GPU here
  Click(IDC_START);
  ASSERT_TRUE(Running());
  EXPECT_TRUE(IsWindowVisible(Item(IDC_RUN_PROGRESS)));

  // "[1/1] <clip> — 42%, 1.9x, 0:31 left (0:03)": the figures come from ffmpeg's own statistics.
  const std::wregex line(L" \u2014 ([0-9]+)%, [0-9]+\\.[0-9]x, " +
                         Label(L"남은 시간 [0-9]+:[0-9][0-9]", L"[0-9]+:[0-9][0-9] left") +
                         L" \\(([0-9]+:)?[0-9]+:[0-9][0-9]\\)");
  const std::wstring file = L"[1/1] " + clip;
  int first = 0, percent = -1;
  std::wstring status;
  ASSERT_TRUE(WaitUntil(
      [&] {
        first = BarPosition();
        status = Text(IDC_STATUS_LINE);
        std::wsmatch match;
        const std::wstring figures =
            status.compare(0, file.size(), file) == 0 ? status.substr(file.size()) : L"";
        if (!std::regex_match(figures, match, line)) return false;
        percent = std::stoi(match[1].str());
        return first > 0;
      },
      kRunTimeoutMs))
      << WideToUtf8(status) << " at " << first;
  EXPECT_LT(first, 1000);
  EXPECT_LT(percent, 100);
  // Read again a little later: the bar has moved on.
  int second = first;
  EXPECT_TRUE(WaitUntil(
      [&] {
        second = BarPosition();
        return second > first || !Running();
      },
      kRunTimeoutMs));
  EXPECT_GT(second, first);

  ASSERT_TRUE(WaitUntil([this] { return !Running(); }, kRunTimeoutMs));
  EXPECT_FALSE(IsWindowVisible(Item(IDC_RUN_PROGRESS)));
  EXPECT_EQ(
      0u, Text(IDC_STATUS_LINE).find(Label(L"완료 1, 실패 0, 건너뜀 0 (", L"done 1, failed 0, skipped 0 (")))
      << WideToUtf8(Text(IDC_STATUS_LINE));
  // The button went along by length within the one file, not only when it ended.
  int between = 0;
  for (const std::wstring& call : *log) {
    int done = 0, scale = 0;
    if (swscanf(call.c_str(), L"value %d/%d", &done, &scale) == 2 && done > 0 && done < scale) ++between;
  }
  EXPECT_GE(between, 2) << log->size() << " calls";
  EXPECT_EQ(L"released", log->back());
}

// Audio out of two sound files: ffmpeg refuses the second one's command (it names a decoder no
// ffmpeg has) and says why in its console, and the window's end message names the file with
// that line (which came through the relay), then offers the run's report; Yes opens it. The
// report is the one the user's folder keeps, with a block per file.
TEST_F(RunProgressTest, ARunWithAFailedFileNamesItAndOffersItsReport) {
  const std::wstring sound = MakeClip(Sample::MP3_ONLY, L"sound.mp3", 1);
  const std::wstring picture = MakeClip(Sample::MP3_ONLY, L"second 100%.mp3", 1);
  ASSERT_FALSE(sound.empty() || picture.empty());
  dialog->commandRunner = [](const std::wstring& command, CCommandStop* stop,
                             const ConsoleErrorSink& errors) {
    std::wstring line = command;
    const size_t input = line.find(L" -i ");
    if (line.find(L"second 100%") != std::wstring::npos && input != std::wstring::npos)
      line.insert(input, L" -c:a nosuchcodec");
    return RunInOwnConsole(line, stop, errors);
  };
  // The test answers the end message's question, Yes, and keeps what it asked.
  std::vector<std::wstring> asked;
  const QuestionSink previous = SetQuestionSink([&asked](const std::wstring& text) {
    asked.push_back(text);
    return true;
  });
  const std::shared_ptr<void> restore(nullptr, [previous](void*) { SetQuestionSink(previous); });
  std::vector<std::wstring> opened;
  dialog->reportOpener = [&opened](const std::wstring& path) { opened.push_back(path); };
  DropFiles(dialog->Hwnd(), {sound, picture});
  Click(IDC_GPU);
  ASSERT_TRUE(ClickRow(IDC_OUTPUT_CODEC_LIST, 4));  // MP3
  Click(IDC_JOB_AUDIO_EXTRACT);
  Click(IDC_START);
  ASSERT_TRUE(Running());
  ASSERT_TRUE(WaitUntil([this] { return !Running(); }, kRunTimeoutMs));

  ASSERT_EQ(asked.size(), 1u);
  const std::wstring message = asked[0];
  const std::wstring intro = Label(L"일부 파일이 제대로 만들어지지 않았습니다:\n\n[2/2] ",
                                   L"Not every file came out whole:\n\n[2/2] ") +
                             picture + L"\n" + Label(L"실패: 종료 코드 1: ", L"failed: exit status 1: ");
  ASSERT_EQ(0u, message.find(intro)) << WideToUtf8(message);
  const std::wstring ending = Label(L"\n\n실행 보고서를 열까요?", L"\n\nOpen the run's report?");
  ASSERT_GT(message.size(), intro.size() + ending.size());
  EXPECT_EQ(message.substr(message.size() - ending.size()), ending);
  // ffmpeg's own last line, relayed from the console: one line, not its statistics.
  const std::wstring said = message.substr(intro.size(), message.size() - intro.size() - ending.size());
  EXPECT_EQ(said.find(L'\n'), std::wstring::npos) << WideToUtf8(said);
  EXPECT_EQ(said.find(L"size="), std::wstring::npos) << WideToUtf8(said);
  EXPECT_NE(said.find(L"nosuchcodec"), std::wstring::npos) << WideToUtf8(said);

  // Yes opened the report, which the user's own folder keeps.
  ASSERT_EQ(opened.size(), 1u);
  const std::wstring runs = UserDataFolder(L"runs");
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(0u, opened[0].find(runs)) << WideToUtf8(opened[0]);
  std::string report;
  ASSERT_TRUE(ReadTextFile(opened[0], report, 1 << 20));
  for (const std::string& part : std::vector<std::string>{
           std::string("Kestrune run report 1\n"), std::string("\njob: audio\n"),
           std::string("\nfiles: 2\ndone: 1\nfailed: 1\n"), std::string("--job audio --codec mp3 --no-gpu"),
           "\n[file 1/2]\ninput: " + WideToUtf8(sound) + "\n",
           "\n[file 2/2]\ninput: " + EscapeReportValue(WideToUtf8(picture)) + "\n",
           std::string("\noutcome: failed\ncheck: none\n"),
           "\nreason: exit status 1: " + WideToUtf8(said) + "\n",
           std::string("\noutcome: done\ncheck: whole\n")}) {
    EXPECT_NE(report.find(part), std::string::npos) << part << "\n-- in --\n" << report;
  }
}

// Start after a run of the same settings that made some of the list's files whole asks whether
// to go on with the rest; Yes leaves those out, and the status line counts them.
TEST_F(RunProgressTest, StartAfterAnUnfinishedListAsksToGoOnWithTheRest) {
  std::vector<std::wstring> sounds;
  for (const wchar_t* name : {L"one.mp3", L"two.mp3", L"three.mp3"})
    sounds.push_back(MakeClip(Sample::MP3_ONLY, name, 1));
  ASSERT_FALSE(sounds[0].empty() || sounds[1].empty() || sounds[2].empty());
  std::vector<std::wstring> asked;
  const QuestionSink previous = SetQuestionSink([&asked](const std::wstring& text) {
    asked.push_back(text);
    return true;
  });
  const std::shared_ptr<void> restore(nullptr, [previous](void*) { SetQuestionSink(previous); });
  DropFiles(dialog->Hwnd(), {sounds[0], sounds[1]});
  Click(IDC_GPU);
  ASSERT_TRUE(ClickRow(IDC_OUTPUT_CODEC_LIST, 4));  // MP3
  Click(IDC_JOB_AUDIO_EXTRACT);
  Click(IDC_START);
  ASSERT_TRUE(WaitUntil([this] { return !Running(); }, kRunTimeoutMs));
  EXPECT_TRUE(asked.empty());  // a first run asks nothing

  DropFiles(dialog->Hwnd(), {sounds[2]});
  Click(IDC_START);
  ASSERT_TRUE(WaitUntil([this] { return !Running(); }, kRunTimeoutMs));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_NE(
      asked[0].find(Label(L"끝나지 않은 1개 파일을 이어서 할까요?", L"Continue with the 1 files not done?")),
      std::wstring::npos)
      << WideToUtf8(asked[0]);
  EXPECT_EQ(0u, Text(IDC_STATUS_LINE)
                    .find(Label(L"완료 1, 실패 0, 건너뜀 0, 이전에 완료 2",
                                L"done 1, failed 0, skipped 0, done before 2")))
      << WideToUtf8(Text(IDC_STATUS_LINE));
  EXPECT_TRUE(FileExists(folder.File(L"three_(02).mp3")));
  EXPECT_FALSE(FileExists(folder.File(L"one_(03).mp3")));
}

}  // namespace
