// Where a run's files go and what follows it, through the real window: the output folder
// (Browse, the folders Start refuses, the preview and the run writing there, numbered on past
// what the folder holds, with the source's dates), the options kept and the one that is not,
// and the choice of what to do when the run is done (nothing, close, sleep, shut down), whose
// sleep and shutdown a recorder stands in for: no test ever sleeps or shuts down the machine.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/file_util.h"
#include "base/format.h"
#include "base/message.h"
#include "base/text.h"
#include "exec/console_host.h"
#include "probe/probe_runner.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"
#include "ui/control_ids.h"
#include "ui/main_window_fixture.h"

namespace {

constexpr unsigned kRunTimeoutMs = 180000;

// The last quoted text of a command: its output.
std::wstring OutputOf(const std::wstring& command) {
  size_t close = command.rfind(L'"');
  size_t open =
      close == std::wstring::npos || close == 0 ? std::wstring::npos : command.rfind(L'"', close - 1);
  return open == std::wstring::npos ? std::wstring() : command.substr(open + 1, close - open - 1);
}

bool EndsWithPause(const std::wstring& command) {
  const std::wstring pause = L" & pause";
  return command.size() >= pause.size() &&
         command.compare(command.size() - pause.size(), pause.size(), pause) == 0;
}

// A file's creation and last-write times, as Windows gives them.
struct CFileDates {
  FILETIME created{}, written{};
};

bool ReadDates(const std::wstring& path, CFileDates& dates) {
  HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool read = GetFileTime(file, &dates.created, nullptr, &dates.written) != FALSE;
  CloseHandle(file);
  return read;
}

// 1 May 2019, 12:00 UTC: a date no file made by the test has by itself.
bool DateBack(const std::wstring& path) {
  SYSTEMTIME when{2019, 5, 3, 1, 12, 0, 0, 0};
  FILETIME time{};
  SystemTimeToFileTime(&when, &time);
  HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool set = SetFileTime(file, &time, nullptr, &time) != FALSE;
  CloseHandle(file);
  return set;
}

uint64_t Ticks(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

class OutputAndEndTest : public MainWindowFixture {
 protected:
  void Reopen() {
    dialog.reset();
    PumpMessages();
    dialog = std::make_unique<CMainDlg>();
    ASSERT_TRUE(dialog->Create(nullptr));
    ShowWindow(dialog->Hwnd(), SW_SHOW);
    PumpMessages();
  }
  void Type(int id, const std::wstring& text) {
    SetWindowTextW(Item(id), text.c_str());
    PumpMessages();
  }
  void Choose(WhenDone choice) {
    SendMessageW(Item(IDC_WHEN_DONE), CB_SETCURSEL, choice, 0);
    PumpMessages();
  }
  WhenDone Chosen() const {
    return static_cast<WhenDone>(SendMessageW(Item(IDC_WHEN_DONE), CB_GETCURSEL, 0, 0));
  }
  bool Running() const { return !dialog->batchFinished; }
  // Start, then wait until the run has ended and the window has heard of it (and done what
  // follows).
  bool RunToTheEnd() {
    Click(IDC_START);
    if (!Running()) return false;
    return WaitUntil([this] { return !Running(); }, kRunTimeoutMs);
  }
  std::wstring Label(const wchar_t* korean, const wchar_t* english) const {
    return ExpectKorean() ? korean : english;
  }
  // The status line without the time the run has taken.
  std::wstring StatusText() const {
    std::wstring line = Text(IDC_STATUS_LINE);
    size_t time = line.rfind(L" (");
    return time == std::wstring::npos ? line : line.substr(0, time);
  }

  TempDir folder;
};

TEST_F(OutputAndEndTest, TheOutputFolderIsPickedCheckedUsedAndKeptWithTheSourcesDates) {
  const std::wstring in = folder.Folder(L"in");
  const std::wstring out = folder.Folder(L"out 출력");
  ASSERT_FALSE(in.empty() || out.empty());
  const std::wstring clip = in + L"clip.mp4";
  ASSERT_TRUE(MakeSample(::Sample::H264_AAC_MP4, clip, 1));
  ASSERT_TRUE(DateBack(clip));
  folder.Write(L"out 출력\\clip_(02).mp4");

  // The shell's own picker opens over the window; cancelled, it leaves the box as it was.
  bool pickerSeen = WhileDialogOpen(
      [this](HWND hwnd) { return hwnd != dialog->Hwnd() && GetWindow(hwnd, GW_OWNER) == dialog->Hwnd(); },
      [this] { Click(IDC_OUTPUT_FOLDER_BROWSE); },
      [](HWND picker) { PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
  EXPECT_TRUE(pickerSeen);
  EXPECT_EQ(L"", Text(IDC_OUTPUT_FOLDER));

  // Browse with a stand-in for the picker: it opens at the box's folder, over the window, with
  // its title; a cancel leaves the box as it was.
  std::vector<std::wstring> startedAt;
  std::wstring answer = out;
  dialog->folderPicker = [&](HWND owner, const std::wstring& start, const std::wstring& title) {
    EXPECT_EQ(dialog->Hwnd(), owner);
    EXPECT_EQ(Label(L"출력 파일을 넣을 폴더를 고르세요.", L"Choose the folder for the output files."), title);
    startedAt.push_back(start);
    return answer;
  };
  Click(IDC_OUTPUT_FOLDER_BROWSE);
  EXPECT_EQ(out, Text(IDC_OUTPUT_FOLDER));
  answer.clear();
  Click(IDC_OUTPUT_FOLDER_BROWSE);
  EXPECT_EQ(out, Text(IDC_OUTPUT_FOLDER));
  EXPECT_EQ((std::vector<std::wstring>{L"", out}), startedAt);

  DropFiles(dialog->Hwnd(), {clip});
  ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 0));
  Click(IDC_GPU);  // no NVIDIA GPU here

  // Start refuses a folder that is missing, one no file can be made in, and a name that is not
  // a full path, naming each; nothing runs. The kernel's /sys stands for a read-only folder: it
  // refuses new files to every user, root included, whom a folder's mode does not bind.
  const struct {
    std::wstring typed;
    const wchar_t* korean;
    const wchar_t* english;
  } refused[] = {
      {in + L"없는 폴더", L"출력 폴더가 없습니다: %s\n작업을 시작하지 않았습니다.",
       L"The output folder does not exist: %s\nNothing was started."},
      {L"Z:\\sys\\", L"출력 폴더에 파일을 만들 수 없습니다: %s\n작업을 시작하지 않았습니다.",
       L"No file can be made in the output folder: %s\nNothing was started."},
      {L"out",
       L"출력 폴더는 드라이브부터 전체 경로로 적어 주세요 (예: D:\\영상): %s\n작업을 시작하지 않았습니다.",
       L"Give the output folder as a full path, from its drive (such as D:\\Videos): %s\nNothing was "
       L"started."},
      {L"C:out",
       L"출력 폴더는 드라이브부터 전체 경로로 적어 주세요 (예: D:\\영상): %s\n작업을 시작하지 않았습니다.",
       L"Give the output folder as a full path, from its drive (such as D:\\Videos): %s\nNothing was "
       L"started."},
  };
  ASSERT_TRUE(IsDirectory(L"Z:\\sys\\"));
  TraceCapture trace;
  for (const auto& row : refused) {
    SCOPED_TRACE(WideToUtf8(row.typed));
    MessageCapture messages;
    Type(IDC_OUTPUT_FOLDER, row.typed);
    Click(IDC_START);
    EXPECT_FALSE(Running());
    EXPECT_EQ(std::vector<std::wstring>{Sprintf(Label(row.korean, row.english).c_str(), row.typed)},
              messages.Messages());
  }
  EXPECT_FALSE(trace.ContainsText(L"DoProcess-쓰레드 시작"));

  // The folder pasted as Explorer copies a path, in quotes: the preview names the output there,
  // numbered on past the clip_(02).mp4 the folder holds; the run writes it there and nothing
  // beside the clip, and it takes the clip's date.
  Type(IDC_OUTPUT_FOLDER, L"\"" + out + L"\"");
  Click(IDC_KEEP_DATES);
  Click(IDC_JOB_CONVERT);
  const std::wstring output = out + L"clip_(03).mp4";
  EXPECT_EQ(output, OutputOf(Text(IDC_COMMAND_BOX)));
  ASSERT_TRUE(RunToTheEnd());
  EXPECT_EQ(Label(L"완료 1, 실패 0, 건너뜀 0", L"done 1, failed 0, skipped 0"), StatusText());
  MediaDesc converted;
  ASSERT_TRUE(ProbeMediaFile(output, converted));
  EXPECT_EQ(VCODEC_H265, converted.video.codec);
  EXPECT_FALSE(FileExists(in + L"clip_(02).mp4"));
  CFileDates source, made;
  ASSERT_TRUE(ReadDates(clip, source));
  ASSERT_TRUE(ReadDates(output, made));
  EXPECT_EQ(Ticks(source.written), Ticks(made.written));
  // Windows takes the creation time as well; Wine keeps none of its own (a Linux file system
  // cannot set one), so it cannot show that here.

  // The folder and the dates' box come back in the next window; the choice of what to do when
  // done does not.
  Choose(WHEN_DONE_SHUT_DOWN);
  Reopen();
  EXPECT_EQ(L"\"" + out + L"\"", Text(IDC_OUTPUT_FOLDER));
  EXPECT_TRUE(Checked(IDC_KEEP_DATES));
  EXPECT_EQ(WHEN_DONE_NOTHING, Chosen());
  Type(IDC_OUTPUT_FOLDER, L"");
  Reopen();
  EXPECT_EQ(L"", Text(IDC_OUTPUT_FOLDER));
}

// What follows a run, by the choice beside Start and how the run went. Sleep and shut down
// first count down; Cancel stops the count, and the recorder that stands in for the system
// hears nothing. A run with a failed file, or a stopped one, leads to nothing. A run with a
// choice does not wait for a key at its end.
TEST_F(OutputAndEndTest, WhatFollowsARunIsDoneOnlyWhenItWentAllWell) {
  const std::wstring clip = folder.File(L"clip.mp4");
  ASSERT_TRUE(MakeSample(::Sample::H264_AAC_MP4, clip, 1));
  enum Outcome { ALL_WELL, A_FILE_FAILED, STOPPED };
  const struct {
    const char* name;
    WhenDone choice;
    Outcome outcome;
    int countdownSeconds;  // 60: cancelled by the test; 1: let run out
    bool countdownShown;
    std::vector<WhenDone> systemHeard;
    bool windowClosed;
  } rows[] = {
      {"sleep, cancelled", WHEN_DONE_SLEEP, ALL_WELL, 60, true, {}, false},
      {"shut down, counted out", WHEN_DONE_SHUT_DOWN, ALL_WELL, 1, true, {WHEN_DONE_SHUT_DOWN}, false},
      {"sleep, counted out", WHEN_DONE_SLEEP, ALL_WELL, 1, true, {WHEN_DONE_SLEEP}, false},
      {"sleep after a failed file", WHEN_DONE_SLEEP, A_FILE_FAILED, 1, false, {}, false},
      {"shut down after a stop", WHEN_DONE_SHUT_DOWN, STOPPED, 1, false, {}, false},
      {"close", WHEN_DONE_CLOSE, ALL_WELL, 1, false, {}, true},
      {"close after a failed file", WHEN_DONE_CLOSE, A_FILE_FAILED, 1, false, {}, false},
      {"nothing", WHEN_DONE_NOTHING, ALL_WELL, 1, false, {}, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    // A fresh window each time, with no options kept from the one before.
    dialog.reset();
    ClearStoredPosition();
    Reopen();
    auto heard = std::make_shared<std::vector<WhenDone>>();
    dialog->powerAction = [heard](WhenDone action) {
      heard->push_back(action);
      return true;
    };
    dialog->powerCountdownSeconds = row.countdownSeconds;
    auto commands = std::make_shared<std::vector<std::wstring>>();
    CMainDlg* window = dialog.get();
    const Outcome outcome = row.outcome;
    dialog->commandRunner = [commands, window, outcome](const std::wstring& command, CCommandStop* stop) {
      commands->push_back(command);
      if (outcome == A_FILE_FAILED) return 1;
      if (outcome == STOPPED) window->batchWorker.Stop();  // as Stop, once answered, does
      return RunInOwnConsole(command, stop);
    };
    DropFiles(dialog->Hwnd(), {clip});
    Click(IDC_GPU);
    Choose(row.choice);

    std::wstring countdownText;
    bool shown =
        WhileDialogOpen([](HWND hwnd) { return GetDlgItem(hwnd, IDC_COUNTDOWN_TEXT) != nullptr; },
                        [this] { ASSERT_TRUE(RunToTheEnd()); },
                        [&](HWND countdown) {
                          countdownText = WindowText(GetDlgItem(countdown, IDC_COUNTDOWN_TEXT));
                          EXPECT_EQ(Label(L"취소", L"Cancel"), WindowText(GetDlgItem(countdown, IDCANCEL)));
                          EXPECT_FALSE(IsWindowEnabled(dialog->Hwnd()));
                          if (row.countdownSeconds == 60)
                            PostMessageW(countdown, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                        });
    PumpMessages();
    EXPECT_EQ(row.countdownShown, shown);
    if (shown) {
      const bool sleep = row.choice == WHEN_DONE_SLEEP;
      EXPECT_EQ(Sprintf(Label(sleep ? L"작업이 모두 끝났습니다.\n%d초 뒤에 컴퓨터를 절전 모드로 전환합니다."
                                    : L"작업이 모두 끝났습니다.\n%d초 뒤에 컴퓨터를 끕니다.",
                              sleep ? L"Every file is done.\nThe computer goes to sleep in %d s."
                                    : L"Every file is done.\nThe computer shuts down in %d s.")
                            .c_str(),
                        row.countdownSeconds),
                countdownText);
    }
    EXPECT_EQ(row.systemHeard, *heard);
    EXPECT_EQ(row.windowClosed, !IsWindowVisible(dialog->Hwnd()));
    ASSERT_EQ(1u, commands->size());
    EXPECT_EQ(row.choice == WHEN_DONE_NOTHING, EndsWithPause(commands->front()))
        << WideToUtf8(commands->front());
    RemoveFile(folder.File(L"clip_(02).mp4"));
  }
}

}  // namespace
