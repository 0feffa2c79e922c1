// Where a run's files go and what follows the run, through the real window: the output folder
// (the shell's picker, the folders Start refuses, the preview and a real run writing there with
// the source's date) and what the window keeps of it; then the choice of what follows a run,
// whose sleep and shutdown a recorder stands in for, so that no test ever does either.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "base/file_util.h"
#include "base/text.h"
#include "exec/console_host.h"
#include "probe/probe_runner.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"
#include "ui/control_ids.h"
#include "ui/main_window_fixture.h"

namespace {

class OutputAndEndTest : public MainWindowFixture {
 protected:
  // A new window, with the options the last one kept, or with none.
  void Reopen(bool keepOptions = true) {
    dialog.reset();
    if (!keepOptions) ClearStoredPosition();
    dialog = std::make_unique<CMainDlg>();
    ASSERT_TRUE(dialog->Create(nullptr));
    ShowWindow(dialog->Hwnd(), SW_SHOW);
    PumpMessages();
  }
  void Type(const std::wstring& folder) { SetWindowTextW(Item(IDC_OUTPUT_FOLDER), folder.c_str()); }
  LRESULT Choice(UINT message, WPARAM choice = 0) {
    return SendMessageW(Item(IDC_WHEN_DONE), message, choice, 0);
  }
  // Start, then wait until the window has heard of the run's end and done what follows it.
  bool RunToTheEnd() {
    Click(IDC_START);
    return !dialog->batchFinished && WaitUntil([this] { return dialog->batchFinished.load(); }, 180000);
  }

  TempDir folder;
};

TEST_F(OutputAndEndTest, TheOutputFolderIsPickedCheckedUsedAndKept) {
  namespace fs = std::filesystem;
  const std::wstring in = folder.Folder(L"in"), out = folder.Folder(L"out 출력"), clip = in + L"clip.mp4";
  ASSERT_TRUE(MakeSample(::Sample::H264_AAC_MP4, clip, 1));
  fs::last_write_time(FsPath(clip), fs::file_time_type::clock::now() - std::chrono::hours(24 * 900));
  folder.Write(L"out 출력\\clip_(02).mp4");

  // The shell's own picker opens over the window; cancelled, it leaves the box as it was.
  EXPECT_TRUE(WhileDialogOpen([this](HWND hwnd) { return GetWindow(hwnd, GW_OWNER) == dialog->Hwnd(); },
                              [this] { Click(IDC_OUTPUT_FOLDER_BROWSE); },
                              [](HWND picker) { PostMessageW(picker, WM_COMMAND, IDCANCEL, 0); }));
  EXPECT_EQ(L"", Text(IDC_OUTPUT_FOLDER));
  // A stand-in picker: it opens at the box's folder, and what it chooses fills the box.
  std::vector<std::wstring> startedAt;
  dialog->folderPicker = [&](HWND, const std::wstring& start, const std::wstring&) {
    startedAt.push_back(start);
    return startedAt.size() == 1 ? out : std::wstring();  // the second time: cancelled
  };
  Click(IDC_OUTPUT_FOLDER_BROWSE);
  Click(IDC_OUTPUT_FOLDER_BROWSE);
  EXPECT_EQ(out, Text(IDC_OUTPUT_FOLDER));
  EXPECT_EQ((std::vector<std::wstring>{L"", out}), startedAt);

  // Start names a folder that is missing, one no file can be made in, and one that is no full
  // path, and runs nothing. The kernel's /sys stands for a read-only folder: it refuses new
  // files to every user, root included, whom a folder's mode does not bind.
  DropFiles(dialog->Hwnd(), {clip});
  ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 0));
  Click(IDC_GPU);  // no NVIDIA GPU here
  ASSERT_TRUE(IsDirectory(L"Z:\\sys\\"));
  const std::pair<std::wstring, TextId> refused[] = {{in + L"없음", TXT_OUTPUT_FOLDER_MISSING},
                                                     {L"Z:\\sys\\", TXT_OUTPUT_FOLDER_NOT_WRITABLE},
                                                     {L"C:out", TXT_OUTPUT_FOLDER_NOT_FULL_PATH}};
  TraceCapture trace;
  for (const auto& [typed, text] : refused) {
    MessageCapture messages;
    Type(typed);
    Click(IDC_START);
    EXPECT_EQ(std::vector<std::wstring>{FormatText(text, dialog->uiLanguage, typed)}, messages.Messages());
  }
  EXPECT_FALSE(trace.ContainsText(L"DoProcess-쓰레드 시작"));

  // Pasted in quotes as Explorer copies a path: the preview names the output there, numbered on
  // past the clip_(02).mp4 the folder holds; the run writes it there, with the clip's date.
  Type(L"\"" + out + L"\"");
  Click(IDC_KEEP_DATES);
  Click(IDC_JOB_CONVERT);
  const std::wstring output = out + L"clip_(03).mp4";
  EXPECT_NE(std::wstring::npos, Text(IDC_COMMAND_BOX).find(L"\"" + output + L"\" & pause"));
  ASSERT_TRUE(RunToTheEnd());
  MediaDesc converted;
  ASSERT_TRUE(ProbeMediaFile(output, converted));
  EXPECT_EQ(VCODEC_H265, converted.video.codec);
  EXPECT_FALSE(FileExists(in + L"clip_(02).mp4"));
  // Windows takes the creation time too; Wine keeps none of its own to show it.
  EXPECT_EQ(fs::last_write_time(FsPath(clip)), fs::last_write_time(FsPath(output)));

  // The folder and the dates' box come back in the next window; the choice of what follows a run
  // does not.
  Choice(CB_SETCURSEL, WHEN_DONE_SHUT_DOWN);
  Reopen();
  EXPECT_EQ(L"\"" + out + L"\"", Text(IDC_OUTPUT_FOLDER));
  EXPECT_TRUE(Checked(IDC_KEEP_DATES));
  EXPECT_EQ(static_cast<LRESULT>(WHEN_DONE_NOTHING), Choice(CB_GETCURSEL));
}

// A folder dropped or added with "Add folder" lists the media files below it in natural order;
// a run into an output folder makes the same tree there.
TEST_F(OutputAndEndTest, AFolderDroppedOrAddedKeepsItsTreeInTheOutputFolder) {
  const std::wstring tree = folder.Folder(L"여행 trip");
  ASSERT_FALSE(folder.Folder(L"여행 trip\\Day 1").empty());
  const std::vector<std::wstring> clips = {tree + L"clip 2.mp4", tree + L"clip 10.mp4",
                                           tree + L"Day 1\\a b.mp4"};
  for (const std::wstring& clip : {clips[1], clips[0], clips[2]})
    ASSERT_TRUE(MakeSample(::Sample::H264_AAC_MP4, clip, 1));
  folder.Write(L"여행 trip\\notes.txt");
  std::vector<std::wstring> picked;
  dialog->folderPicker = [&](HWND, const std::wstring&, const std::wstring& title) {
    picked.push_back(title);
    return tree;
  };
  const struct {
    const char* how;
    std::function<void()> add;
  } ways[] = {
      {"dropped", [&] { DropFiles(dialog->Hwnd(), {tree}); }},
      {"added", [&] { Click(IDC_FOLDER_ADD); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.how);
    while (!RowTexts(IDC_FILE_LIST).empty()) {
      ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 0));
      Click(IDC_FILE_REMOVE);
    }
    way.add();
    EXPECT_EQ(clips, RowTexts(IDC_FILE_LIST));
  }
  EXPECT_EQ(std::vector<std::wstring>{::Text(TXT_FOLDER_ADD_PICK, dialog->uiLanguage)}, picked);

  const std::wstring out = folder.Folder(L"out");
  Type(out);
  Click(IDC_GPU);  // no NVIDIA GPU here
  ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 2));
  Click(IDC_JOB_CONVERT);
  EXPECT_NE(std::wstring::npos, Text(IDC_COMMAND_BOX).find(L"\"" + out + L"Day 1\\a b_(02).mp4\""));
  ASSERT_TRUE(RunToTheEnd());
  for (const wchar_t* name : {L"clip 2_(02).mp4", L"clip 10_(02).mp4", L"Day 1\\a b_(02).mp4"}) {
    MediaDesc converted;
    EXPECT_TRUE(ProbeMediaFile(out + name, converted)) << WideToUtf8(name);
  }
  EXPECT_FALSE(FileExists(tree + L"Day 1\\a b_(02).mp4"));
}

// What follows a run, by the choice beside Start and how the run went. Sleep and shut down first
// count down; Cancel stops the count, and the recorder standing in for the system hears nothing.
// A failed file or a stop leads to nothing. A run with a choice waits for no key at its end.
TEST_F(OutputAndEndTest, WhatFollowsARunIsDoneOnlyWhenItWentAllWell) {
  const std::wstring clip = folder.File(L"clip.mp4");
  ASSERT_TRUE(MakeSample(::Sample::H264_AAC_MP4, clip, 1));
  enum Outcome { ALL_WELL, A_FILE_FAILED, STOPPED };
  const struct {
    WhenDone choice;
    Outcome outcome;
    int countdown;  // seconds: 60 is cancelled by the test, 1 runs out
    bool countdownShown;
    std::vector<WhenDone> systemHeard;
    bool closed;
  } rows[] = {
      {WHEN_DONE_SLEEP, ALL_WELL, 60, true, {}, false},
      {WHEN_DONE_SHUT_DOWN, ALL_WELL, 1, true, {WHEN_DONE_SHUT_DOWN}, false},
      {WHEN_DONE_SLEEP, A_FILE_FAILED, 1, false, {}, false},
      {WHEN_DONE_SHUT_DOWN, STOPPED, 1, false, {}, false},
      {WHEN_DONE_CLOSE, ALL_WELL, 1, false, {}, true},
      {WHEN_DONE_NOTHING, ALL_WELL, 1, false, {}, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "choice " << row.choice << ", outcome " << row.outcome);
    Reopen(false);
    auto heard = std::make_shared<std::vector<WhenDone>>();
    dialog->powerAction = [heard](WhenDone action) { return heard->push_back(action), true; };
    dialog->powerCountdownSeconds = row.countdown;
    auto commands = std::make_shared<std::vector<std::wstring>>();
    CMainDlg* window = dialog.get();
    dialog->commandRunner = [=, outcome = row.outcome](const std::wstring& command, CCommandStop* stop,
                                                       const ConsoleErrorSink& errors) {
      commands->push_back(command);
      if (outcome == A_FILE_FAILED) return 1;
      if (outcome == STOPPED) window->batchWorker.Stop();  // as Stop does once answered
      return RunInOwnConsole(command, stop, errors);
    };
    DropFiles(dialog->Hwnd(), {clip});
    Click(IDC_GPU);
    Choice(CB_SETCURSEL, row.choice);
    MessageCapture messages;  // the end message that names a failed file
    std::wstring said;
    EXPECT_EQ(row.countdownShown,
              WhileDialogOpen([](HWND hwnd) { return GetDlgItem(hwnd, IDC_COUNTDOWN_TEXT) != nullptr; },
                              [this] { EXPECT_TRUE(RunToTheEnd()); },
                              [&](HWND countdown) {
                                said = WindowText(GetDlgItem(countdown, IDC_COUNTDOWN_TEXT));
                                if (row.countdown == 60) PostMessageW(countdown, WM_COMMAND, IDCANCEL, 0);
                              }));
    if (row.countdownShown) {
      TextId text = row.choice == WHEN_DONE_SLEEP ? TXT_COUNTDOWN_SLEEP : TXT_COUNTDOWN_SHUT_DOWN;
      EXPECT_EQ(FormatText(text, dialog->uiLanguage, row.countdown), said);
    }
    EXPECT_EQ(row.outcome == A_FILE_FAILED, messages.Messages().size() == 1);
    EXPECT_EQ(row.systemHeard, *heard);
    EXPECT_EQ(row.closed, !IsWindowVisible(dialog->Hwnd()));
    ASSERT_EQ(1u, commands->size());
    const std::wstring& command = commands->front();
    EXPECT_EQ(row.choice == WHEN_DONE_NOTHING,
              command.size() > 8 && command.substr(command.size() - 8) == L" & pause");
    RemoveFile(folder.File(L"clip_(02).mp4"));
  }
}

}  // namespace
