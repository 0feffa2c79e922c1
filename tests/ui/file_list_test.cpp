// The file list and the three check lists under real mouse clicks: drop, add and remove; a
// click on a file probes it with the real MediaInfo (through the Wine bridge) and shows its
// codec, tracks and length; each check list keeps its marks by its own rule, also when the
// click lands on a check box, which the list flips by itself.
#include <gtest/gtest.h>

#include <cwctype>
#include <map>
#include <memory>
#include <regex>

#include "base/program_dir.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"
#include "ui/control_ids.h"
#include "ui/main_window_fixture.h"

namespace {

constexpr int kFileNameCombo = 0x47c;  // the open-file dialog's file name box
constexpr int kFileNameEdit = 0x480;   // and in its older layout
constexpr int kFileTypeCombo = 0x470;

using FileListTest = MainWindowFixture;

// Media made once for the whole suite.
class ProbedFileTest : public MainWindowFixture {
 protected:
  static void SetUpTestSuite() { media = new TempDir(); }
  static void TearDownTestSuite() {
    delete media;
    media = nullptr;
  }
  static std::wstring Sample(::Sample kind, const std::wstring& name) {
    static std::map<std::wstring, bool> made;
    std::wstring path = media->File(name);
    if (!made[name]) made[name] = MakeSample(kind, path);
    return made[name] ? path : std::wstring();
  }
  static TempDir* media;
};
TempDir* ProbedFileTest::media = nullptr;

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

TEST_F(FileListTest, DropAppendsEveryPathInOrderAndKeepsWhatWasThere) {
  TraceCapture trace;
  TempDir folder;
  std::wstring clip = folder.Write(L"clip.mp4");
  std::wstring missing = folder.File(L"없는 파일.mkv");
  // A folder gives the media files below it: here the clip once more.
  DropFiles(dialog->Hwnd(), {clip, missing, folder.Path()});
  DropFiles(dialog->Hwnd(), {clip});
  std::vector<std::wstring> expected = {clip, missing, clip, clip};
  EXPECT_EQ(expected, RowTexts(IDC_FILE_LIST));
  EXPECT_EQ(2u, trace.Count(L"OnDropFiles-" + clip));
  EXPECT_TRUE(trace.Contains(L"OnDropFiles-" + missing));
  EXPECT_EQ(-1, dialog->currentItem);
}

TEST_F(FileListTest, ALongDroppedPathIsReadBackWhole) {
  // 1023 characters (the file need not exist); cut after 510, it would name another file. A
  // drop may hand over longer paths than that, up to the 32,767 characters of a Windows path:
  // cut at any fixed length, they too would name another file.
  TempDir folder;
  for (size_t length : {size_t{1023}, size_t{1024}, size_t{4000}, size_t{32767}}) {
    SCOPED_TRACE(testing::Message() << length << " characters");
    ListView_DeleteAllItems(Item(IDC_FILE_LIST));
    const std::wstring path =
        folder.Path() + std::wstring(length - folder.Path().size() - 4, L'가') + L".mp4";
    ASSERT_EQ(length, path.size());
    DropFiles(dialog->Hwnd(), {path, L"C:\\short.mp4"});
    EXPECT_EQ((std::vector<std::wstring>{path, L"C:\\short.mp4"}), RowTexts(IDC_FILE_LIST));
    ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 0));
    EXPECT_EQ(path, dialog->jobSettings.currentFile);
    JobSettings settings;
    GatherJobSettings(*dialog, dialog->currentItem, settings);
    EXPECT_EQ(path, settings.currentFile);
    EXPECT_EQ((std::vector<std::wstring>{path, L"C:\\short.mp4"}), settings.files);
  }
}

TEST_F(FileListTest, ABigDropListsEveryPathExactlyInItsOrder) {
  // Names a command interpreter would take up, Korean, blanks, the same path twice, and
  // lengths from a few characters to far beyond any fixed buffer; behind a row already there.
  const std::vector<std::wstring> names = {L"a.mp4", L"여행 영상 (2019).mkv",
                                           L"50% & \"q\" 'x' !v! ^c $h `d`.mp4", L"%PATH%.avi",
                                           L" blank .webm"};
  std::vector<std::wstring> paths;
  for (int i = 0; i < 1200; ++i) {
    std::wstring folder = L"C:\\드롭\\" + std::wstring(static_cast<size_t>(i % 7) * 300, L'가') + L"\\";
    paths.push_back(folder + std::to_wstring(i) + L" " + names[static_cast<size_t>(i) % names.size()]);
  }
  paths[700] = paths[699];
  DropFiles(dialog->Hwnd(), {L"C:\\first.mp4"});
  TraceCapture trace;
  DropFiles(dialog->Hwnd(), paths);

  std::vector<std::wstring> expected = {L"C:\\first.mp4"};
  expected.insert(expected.end(), paths.begin(), paths.end());
  std::vector<std::wstring> rows = RowTexts(IDC_FILE_LIST);
  ASSERT_EQ(expected.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) ASSERT_EQ(expected[i], rows[i]) << "row " << i;
  // One trace line a path, in the dropped order.
  std::vector<std::wstring> traced;
  for (const std::wstring& line : trace.Lines())
    if (line.rfind(L"OnDropFiles-", 0) == 0) traced.push_back(line);
  ASSERT_EQ(paths.size(), traced.size());
  for (size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(L"OnDropFiles-" + paths[i] + L"\n", traced[i]) << i;

  // The list draws again after the drop: it shows, and it scrolls over every row.
  HWND list = Item(IDC_FILE_LIST);
  EXPECT_TRUE(IsWindowVisible(list));
  SCROLLINFO scroll{};
  scroll.cbSize = sizeof(scroll);
  scroll.fMask = SIF_RANGE | SIF_PAGE;
  ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &scroll));
  EXPECT_EQ(static_cast<int>(expected.size()) - 1, scroll.nMax);
  ASSERT_TRUE(ListView_EnsureVisible(list, static_cast<int>(expected.size()) - 1, FALSE));
  PumpMessages();
  EXPECT_GT(ListView_GetTopIndex(list), 1000);
}

TEST_F(FileListTest, RemoveSelectsTheRowThatTakesThePlaceOfTheRemovedOne) {
  const struct {
    int rows;
    int selected;  // -1: none
    std::vector<std::wstring> left;
    int selectedAfter;
  } cases[] = {
      {3, 1, {L"C:\\a.mp4", L"C:\\c.mp4"}, 1},
      {3, 2, {L"C:\\a.mp4", L"C:\\b.mp4"}, 1},
      {3, 0, {L"C:\\b.mp4", L"C:\\c.mp4"}, 0},
      {1, 0, {}, -1},
      {3, -1, {L"C:\\a.mp4", L"C:\\b.mp4", L"C:\\c.mp4"}, -1},
  };
  const std::vector<std::wstring> paths = {L"C:\\a.mp4", L"C:\\b.mp4", L"C:\\c.mp4"};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rows << " rows, selected " << c.selected);
    ListView_DeleteAllItems(Item(IDC_FILE_LIST));
    DropFiles(dialog->Hwnd(), std::vector<std::wstring>(paths.begin(), paths.begin() + c.rows));
    if (c.selected >= 0) {
      ASSERT_TRUE(ClickRow(IDC_FILE_LIST, c.selected));
    }
    int currentItem = dialog->currentItem;
    Click(IDC_FILE_REMOVE);
    EXPECT_EQ(c.left, RowTexts(IDC_FILE_LIST));
    std::vector<bool> selected(c.left.size(), false);
    if (c.selectedAfter >= 0) selected[static_cast<size_t>(c.selectedAfter)] = true;
    EXPECT_EQ(selected, SelectedRows(IDC_FILE_LIST));
    EXPECT_EQ(currentItem, dialog->currentItem);
  }
}

TEST_F(FileListTest, AddTakesTheChosenFileAndCancelChangesNothing) {
  TempDir folder;
  std::wstring clip = folder.Write(L"clip.mp4");
  auto isOpenDialog = [this](HWND hwnd) {
    return hwnd != dialog->Hwnd() && WindowClass(hwnd) == L"#32770" &&
           (GetDlgItem(hwnd, kFileNameCombo) || GetDlgItem(hwnd, kFileNameEdit));
  };

  // Cancel first: no row, no trace.
  TraceCapture trace;
  EXPECT_TRUE(WhileDialogOpen(
      isOpenDialog, [this] { Click(IDC_FILE_ADD); },
      [](HWND open) { PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }));
  EXPECT_EQ(0, Rows(IDC_FILE_LIST));
  EXPECT_FALSE(trace.ContainsText(L"파일 추가됨"));

  // Then a file: it is appended, traced, and the program folder is the current one again.
  ASSERT_TRUE(SetCurrentDir(folder.Path()));
  std::vector<std::wstring> filters;
  LRESULT firstFilter = -1;
  EXPECT_TRUE(WhileDialogOpen(
      isOpenDialog, [this] { Click(IDC_FILE_ADD); },
      [&](HWND open) {
        HWND types = GetDlgItem(open, kFileTypeCombo);
        for (LRESULT i = 0; i < SendMessageW(types, CB_GETCOUNT, 0, 0); ++i) {
          wchar_t text[128] = {0};
          SendMessageW(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
          filters.push_back(text);
        }
        firstFilter = SendMessageW(types, CB_GETCURSEL, 0, 0);
        SetDlgItemTextW(open, kFileNameCombo, clip.c_str());
        SetDlgItemTextW(open, kFileNameEdit, clip.c_str());
        PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      }));
  EXPECT_EQ((std::vector<std::wstring>{L"Video(*.mp4)", L"Audio(*.mp3)", L"All(*.*)"}), filters);
  EXPECT_EQ(0, firstFilter);
  ASSERT_EQ(1, Rows(IDC_FILE_LIST));
  std::wstring row = dialog->RowText(IDC_FILE_LIST, 0);
  EXPECT_EQ(Lower(clip), Lower(row));
  EXPECT_TRUE(trace.Contains(L"파일 추가됨 - " + row));
  EXPECT_EQ(Lower(ProgramDir()), Lower(GetCurrentDir() + L"\\").substr(0, ProgramDir().size()));
}

TEST_F(FileListTest, InputCodecListKeepsOneCodecAndASecondClickLeavesTheMarkAsTheClickDid) {
  TraceCapture trace;
  const struct {
    int row;
    RowSpot spot;
    std::vector<bool> checked;
    std::vector<const wchar_t*> traces;  // among the lines of this click
  } clicks[] = {
      // Row 0 starts checked; lastInputRow is -1.
      {1,
       RowSpot::TEXT,
       {false, true, false},
       {L"list input-2-(0/3)", L"list input-1-(1/3)1", L"list input-2-(2/3)", L"list input-3-(-1/1)"}},
      // The same row's check box: the list clears it and the rule leaves it so.
      {1, RowSpot::CHECK_BOX, {false, false, false}, {L"list input-1-(1/3)1"}},
      {1, RowSpot::TEXT, {false, false, false}, {L"list input-1-(1/3)1"}},
      // Another row's check box: the list checks it and the rule keeps it the only one.
      {0, RowSpot::CHECK_BOX, {true, false, false}, {L"list input-3-(1/0)"}},
      {2, RowSpot::TEXT, {false, false, true}, {L"list input-3-(0/2)"}},
      // Below the rows: nothing.
      {3, RowSpot::TEXT, {false, false, true}, {}},
  };
  for (const auto& click : clicks) {
    SCOPED_TRACE(testing::Message() << "row " << click.row
                                    << (click.spot == RowSpot::TEXT ? " text" : " box"));
    trace.Clear();
    ASSERT_TRUE(ClickRow(IDC_INPUT_CODEC_LIST, click.row, click.spot));
    EXPECT_EQ(click.checked, CheckedRows(IDC_INPUT_CODEC_LIST));
    for (const wchar_t* line : click.traces) EXPECT_TRUE(trace.Contains(line)) << line;
    if (click.row < 3) {
      std::vector<bool> selected(3, false);
      selected[static_cast<size_t>(click.row)] = true;
      EXPECT_EQ(selected, SelectedRows(IDC_INPUT_CODEC_LIST));
      EXPECT_EQ(click.row, dialog->lastInputRow);
    } else {
      EXPECT_TRUE(trace.Lines().empty());
    }
  }
}

TEST_F(FileListTest, OutputCodecListChecksExactlyTheClickedRow) {
  TraceCapture trace;
  const struct {
    int row;
    RowSpot spot;
    int checkedRow;
  } clicks[] = {{4, RowSpot::CHECK_BOX, 4},
                {4, RowSpot::CHECK_BOX, 4},
                {0, RowSpot::TEXT, 0},
                {2, RowSpot::CHECK_BOX, 2},
                {5, RowSpot::TEXT, 2}};
  for (const auto& click : clicks) {
    SCOPED_TRACE(testing::Message() << "row " << click.row);
    ASSERT_TRUE(ClickRow(IDC_OUTPUT_CODEC_LIST, click.row, click.spot));
    std::vector<bool> checked(5, false);
    checked[static_cast<size_t>(click.checkedRow)] = true;
    EXPECT_EQ(checked, CheckedRows(IDC_OUTPUT_CODEC_LIST));
    // (A click below the rows clears the selection by the list's own doing.)
    if (click.row < 5) {
      EXPECT_EQ(checked, SelectedRows(IDC_OUTPUT_CODEC_LIST));
    }
  }
  EXPECT_EQ(2u, trace.Count(L"출력-4"));
  EXPECT_FALSE(trace.ContainsText(L"출력-5"));
  EXPECT_FALSE(trace.ContainsText(L"출력--1"));
  // and that row is the output codec of the next job.
  JobSettings settings;
  GatherJobSettings(*dialog, dialog->currentItem, settings);
  EXPECT_EQ(OUT_GIF, settings.outputCodec);
}

TEST_F(ProbedFileTest, ClickOnAFileShowsItsCodecTracksAndLength) {
  const struct {
    ::Sample kind;
    const wchar_t* name;
    int seconds;
    int inputRow;                           // -1: none checked
    std::vector<const wchar_t*> audioRows;  // patterns
  } files[] = {
      {::Sample::THREE_AUDIO_TWO_SUBS_MKV,
       L"three tracks.mkv",
       2,
       0,
       {L"[0-9]+k,CH=2,en,AAC", L"[0-9]+k,CH=2,ja,AAC", L"[0-9]+k,CH=2,fr,AAC"}},
      {::Sample::H265_AC3_51_MKV, L"hevc.mkv", 2, 1, {L"4[0-9][0-9]k,CH=6,ko,AC3"}},
      {::Sample::VP9_OPUS_WEBM, L"vp9.webm", 2, -1, {L"[0-9]+k,CH=[0-9],,OPUS"}},
  };
  TraceCapture trace;
  for (const auto& file : files) {
    SCOPED_TRACE(testing::Message() << "sample " << static_cast<int>(file.kind));
    std::wstring path = Sample(file.kind, file.name);
    ASSERT_FALSE(path.empty());
    DropFiles(dialog->Hwnd(), {path});
    int row = Rows(IDC_FILE_LIST) - 1;
    ASSERT_TRUE(ClickRow(IDC_FILE_LIST, row));

    EXPECT_EQ(row, dialog->currentItem);
    EXPECT_EQ(path, dialog->jobSettings.currentFile);
    EXPECT_TRUE(trace.Contains(L"OnClickListVideo - 비디오 변경 - " + path));
    std::vector<bool> input(3, false);
    if (file.inputRow >= 0) input[static_cast<size_t>(file.inputRow)] = true;
    EXPECT_EQ(input, CheckedRows(IDC_INPUT_CODEC_LIST));
    EXPECT_EQ(input, SelectedRows(IDC_INPUT_CODEC_LIST));

    EXPECT_EQ(std::to_wstring(file.audioRows.size()), Text(IDC_TRACK_COUNT));
    std::vector<std::wstring> rows = RowTexts(IDC_AUDIO_STREAM_LIST);
    ASSERT_EQ(file.audioRows.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_TRUE(std::regex_match(rows[i], std::wregex(file.audioRows[i]))) << i << ": " << rows[i];
    }
    std::vector<bool> firstOnly(rows.size(), false);
    firstOnly[0] = true;
    EXPECT_EQ(firstOnly, CheckedRows(IDC_AUDIO_STREAM_LIST));

    EXPECT_EQ(L"0", Text(IDC_RANGE_END_H));
    EXPECT_EQ(L"1", Text(IDC_RANGE_END_M));
    EXPECT_EQ(std::to_wstring(file.seconds), Text(IDC_RANGE_END_S));
    EXPECT_EQ(file.seconds, dialog->currentMedia.video.durationSec);
  }
  // The range start is not touched.
  for (int id : {IDC_RANGE_START_H, IDC_RANGE_START_M, IDC_RANGE_START_S}) EXPECT_EQ(L"0", Text(id));
}

TEST_F(ProbedFileTest, AudioTrackTurnsOverOnceAClickOnTextOrCheckBox) {
  std::wstring path = Sample(::Sample::THREE_AUDIO_TWO_SUBS_MKV, L"three tracks.mkv");
  ASSERT_FALSE(path.empty());
  DropFiles(dialog->Hwnd(), {path});
  ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 0));
  ASSERT_EQ(3, Rows(IDC_AUDIO_STREAM_LIST));
  const struct {
    int row;
    RowSpot spot;
    std::vector<bool> checked;
  } clicks[] = {
      {1, RowSpot::TEXT, {true, true, false}},      {1, RowSpot::CHECK_BOX, {true, false, false}},
      {2, RowSpot::CHECK_BOX, {true, false, true}}, {0, RowSpot::TEXT, {false, false, true}},
      {0, RowSpot::TEXT, {true, false, true}},      {3, RowSpot::TEXT, {true, false, true}},
  };
  for (const auto& click : clicks) {
    SCOPED_TRACE(testing::Message() << "row " << click.row
                                    << (click.spot == RowSpot::TEXT ? " text" : " box"));
    ASSERT_TRUE(ClickRow(IDC_AUDIO_STREAM_LIST, click.row, click.spot));
    EXPECT_EQ(click.checked, CheckedRows(IDC_AUDIO_STREAM_LIST));
    if (click.row < 3) {
      std::vector<bool> selected(3, false);
      selected[static_cast<size_t>(click.row)] = true;
      EXPECT_EQ(selected, SelectedRows(IDC_AUDIO_STREAM_LIST));
    }
  }
  // The checked tracks are the job's selection.
  JobSettings settings;
  GatherJobSettings(*dialog, dialog->currentItem, settings);
  EXPECT_EQ((std::vector<uint32_t>{0, 2}), settings.selectedAudioTracks);
}

TEST_F(ProbedFileTest, FileThatCannotBeProbedLeavesTheControlsReset) {
  TempDir folder;
  std::wstring path = Sample(::Sample::H264_AAC_MP4, L"clip.mp4");
  ASSERT_FALSE(path.empty());
  std::wstring missing = folder.File(L"gone.mp4");
  DropFiles(dialog->Hwnd(), {path, missing});
  ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 0));
  ASSERT_EQ(1, Rows(IDC_AUDIO_STREAM_LIST));

  ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 1));
  EXPECT_EQ(1, dialog->currentItem);
  EXPECT_EQ(missing, dialog->jobSettings.currentFile);
  EXPECT_EQ((std::vector<bool>{false, false, false}), CheckedRows(IDC_INPUT_CODEC_LIST));
  EXPECT_EQ(L"0", Text(IDC_TRACK_COUNT));
  EXPECT_EQ(0, Rows(IDC_AUDIO_STREAM_LIST));
  EXPECT_EQ(L"0", Text(IDC_RANGE_END_H));
  EXPECT_EQ(L"1", Text(IDC_RANGE_END_M));
  EXPECT_EQ(L"0", Text(IDC_RANGE_END_S));

  // A click below the rows only forgets the current row; the keyboard moves no current file.
  ASSERT_TRUE(ClickRow(IDC_FILE_LIST, 2));
  EXPECT_EQ(-1, dialog->currentItem);
  EXPECT_EQ(missing, dialog->jobSettings.currentFile);
  SendMessageW(Item(IDC_FILE_LIST), WM_KEYDOWN, VK_UP, 0);
  PumpMessages();
  EXPECT_EQ(-1, dialog->currentItem);
  EXPECT_EQ(missing, dialog->jobSettings.currentFile);
}

}  // namespace
