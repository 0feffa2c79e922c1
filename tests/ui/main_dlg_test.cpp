// The main window as it comes up: every control of its layout in template order, the labels of
// the run's language, the default options, the lists, the frame, the system menu and the
// hidden missing-tool dialog.
#include "ui/main_dlg.h"

#include <gtest/gtest.h>
#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>

#include <memory>
#include <vector>

#include "support/trace_capture.h"
#include "ui/control_ids.h"
#include "ui/job_controls.h"
#include "ui/main_window_fixture.h"
#include "ui/ui_test_support.h"

namespace {

enum ControlKind {
  GROUP,
  RADIO,
  CHECK,
  PUSH,
  LABEL,
  DIGITS,
  COMMAND_BOX,
  FILE_LIST,
  CHECK_LIST,
  TEXT_BOX,
  CHOICE,
  PROGRESS,
  NAME_CHOICE  // a drop-down list that takes a typed name too
};

struct CControlRow {
  int id;
  ControlKind kind;
  int x, y, width, height;  // height -1: the control's own (a drop-down list's closed height)
  const wchar_t* korean;    // text after start-up in a Korean run
  const wchar_t* english;   // and in an English one
  bool enabled;
  bool visible;
  int checked;   // 1 checked, 0 unchecked, -1 not a check box or radio
  bool group;    // WS_GROUP: starts a group (the five job radios are one, the status line ends it)
  bool tabStop;  // WS_TABSTOP: Tab stops here (of the job radios only the first)
};

// The layout in template (tab) order, unnamed labels included.
const CControlRow kLayout[] = {
    {1061, GROUP, 468, 209, 116, 105, L"작업 선택", L"Process Select", true, true, -1, false, false},
    {1074, RADIO, 476, 270, 43, 10, L"변환(기본)", L"Convert", true, true, 1, true, true},
    {1071, RADIO, 476, 222, 90, 10, L"비디오만 추출", L"Video Extract", true, true, 0, false, false},
    {1072, RADIO, 476, 234, 84, 10, L"오디오만 추출", L"Audio Extract", true, true, 0, false, false},
    {1073, RADIO, 476, 246, 101, 10, L"합치기 (동영상+동영상+...)", L"Merge", true, true, 0, false, false},
    {1075, RADIO, 476, 258, 89, 10, L"합치기 (영상+소리)", L"Merge (Video+Audio)", true, true, 0, false,
     false},
    {1011, LABEL, 7, 306, 458, 8, L"Build Date (2020/02/22)", L"Build Date (2020/02/22)", true, true, -1,
     true, false},
    {1001, FILE_LIST, 7, 21, 320, 139, L"", L"", true, true, -1, false, true},
    {1002, COMMAND_BOX, 7, 180, 320, 60, L"", L"", true, true, -1, false, true},
    {1080, LABEL, 7, 247, 46, 8, L"출력 폴더", L"Output folder", true, true, -1, true, false},
    {1081, TEXT_BOX, 55, 244, 226, 14, L"", L"", true, true, -1, false, true},
    {1082, PUSH, 283, 244, 44, 14, L"찾아보기...", L"Browse...", true, true, -1, false, true},
    {1100, NAME_CHOICE, 145, 279, 100, -1, L"", L"", true, true, -1, false, true},
    {1101, PUSH, 249, 279, 38, 14, L"저장", L"Save", true, true, -1, false, true},
    {1102, PUSH, 289, 279, 38, 14, L"삭제", L"Delete", true, true, -1, false, true},
    {1051, GROUP, 332, 6, 131, 133, L"영상", L"Video", true, true, -1, false, false},
    {1056, GROUP, 468, 7, 116, 196, L"소리", L"Audio", true, true, -1, false, false},
    {1005, CHECK_LIST, 337, 28, 59, 65, L"", L"", true, true, -1, false, true},
    {1006, CHECK_LIST, 399, 28, 59, 65, L"", L"", true, true, -1, false, true},
    {1007, CHECK, 473, 110, 104, 10, L"오디오 복사(인코딩 없음)", L"Audio Copy(No Encoding)", true, true, 0,
     false, true},
    {1008, CHECK_LIST, 473, 29, 103, 64, L"", L"", true, true, -1, false, true},
    {1058, LABEL, 339, 17, 31, 8, L"입력 코덱", L"Input Codec", true, true, -1, true, false},
    {1057, LABEL, 401, 17, 31, 8, L"출력 코덱", L"Output Codec", true, true, -1, true, false},
    {1054, LABEL, 474, 17, 22, 8, L"스트림", L"Stream", true, true, -1, true, false},
    {1009, CHECK, 473, 97, 104, 10, L"전체 오디오 트랙", L"All Audio Track", true, true, 1, false, true},
    {1049, LABEL, 11, 8, 136, 8, L"파일 리스트 (파일을 아래에 드래그 해주세요)", L"Drag File Below", true,
     true, -1, true, false},
    {1012, DIGITS, 375, 172, 24, 14, L"28", L"28", true, true, -1, false, true},
    {-1, LABEL, 401, 176, 39, 8, L"(Default=28)", L"(Default=28)", true, true, -1, true, false},
    {1013, CHECK, 336, 99, 46, 10, L"GPU 가속", L"GPU Accelerate", true, true, 1, false, true},
    {1050, LABEL, 7, 170, 50, 8, L"FFmpeg 명령행", L"FFmpeg Command Line", true, true, -1, true, false},
    {1084, LABEL, 472, 284, 48, 8, L"완료 후", L"When done", true, true, -1, true, false},
    {1085, CHOICE, 472, 294, 48, -1, L"안 함", L"Nothing", true, true, -1, false, true},
    {1016, PUSH, 523, 286, 57, 22, L"작업 실행", L"Start Process", true, true, -1, false, true},
    {1017, PUSH, 241, 7, 41, 14, L"파일 제거", L"File Remove", true, true, -1, false, true},
    {1018, DIGITS, 339, 236, 12, 14, L"0", L"0", true, true, -1, false, true},
    {-1, LABEL, 351, 234, 8, 8, L":", L":", true, true, -1, true, false},
    {1019, DIGITS, 354, 236, 12, 14, L"0", L"0", true, true, -1, false, true},
    {-1, LABEL, 365, 234, 8, 8, L":", L":", true, true, -1, true, false},
    {1020, DIGITS, 369, 236, 12, 14, L"0", L"0", true, true, -1, false, true},
    {1021, DIGITS, 393, 236, 12, 14, L"0", L"0", true, true, -1, false, true},
    {-1, LABEL, 404, 234, 8, 8, L":", L":", true, true, -1, true, false},
    {1022, DIGITS, 407, 236, 12, 14, L"0", L"0", true, true, -1, false, true},
    {-1, LABEL, 419, 234, 8, 8, L":", L":", true, true, -1, true, false},
    {1023, DIGITS, 422, 236, 12, 14, L"0", L"0", true, true, -1, false, true},
    {-1, LABEL, 383, 239, 8, 8, L"~", L"~", true, true, -1, true, false},
    {1025, CHECK, 336, 221, 65, 10, L"구간 설정 적용", L"Range Apply", true, true, 0, false, true},
    {1029, CHECK, 341, 111, 73, 10, L"GPU 가속 호환모드", L"GPU Accel Comp", true, true, 0, false, true},
    {1059, GROUP, 332, 146, 131, 58, L"영상 품질(용량)", L"Video Quality", true, true, -1, false, false},
    {1031, CHECK, 337, 159, 37, 10, L"품질", L"Bitrate", true, true, 1, false, true},
    {1032, CHECK, 337, 174, 37, 10, L"양자화", L"QP", true, true, 0, false, true},
    {1024, DIGITS, 375, 156, 24, 14, L"3000", L"3000", true, true, -1, false, true},
    {-1, LABEL, 401, 160, 16, 8, L"kb/s", L"kb/s", true, true, -1, true, false},
    {1033, CHECK, 473, 125, 33, 10, L"음질", L"Quality", true, true, 1, false, true},
    {1030, DIGITS, 508, 123, 24, 14, L"128", L"128", true, true, -1, false, true},
    {-1, LABEL, 536, 125, 16, 8, L"kb/s", L"kb/s", true, true, -1, true, false},
    {1034, PUSH, 283, 7, 43, 14, L"비디오 정보", L"Media Info", false, false, -1, false, true},
    {1035, CHECK, 347, 255, 69, 10, L"복사(인코딩 안함)", L"Copy(No Encoding)", false, true, 1, false, true},
    {1060, GROUP, 332, 209, 131, 76, L"구간", L"Range", true, true, -1, false, false},
    {1036, CHECK, 347, 268, 111, 10, L"정확도 향상(호환성 떨어짐)", L"More Accuracy(Less Comp)", false, true,
     0, false, true},
    {1083, CHECK, 336, 290, 122, 10, L"원본 날짜 유지", L"Keep source dates", true, true, 0, false, true},
    {1037, PUSH, 403, 287, 50, 14, L"Test", L"Test", false, false, -1, false, true},
    {1040, CHECK, 473, 156, 30, 10, L"AAC", L"AAC", true, true, 1, false, true},
    {1045, CHECK, 426, 97, 32, 10, L"복사", L"Copy", true, true, 0, false, true},
    {1046, CHECK, 426, 110, 34, 10, L"MP4", L"MP4", true, true, 0, false, true},
    {1038, PUSH, 7, 279, 14, 14, L"?", L"?", true, true, -1, false, true},
    {1052, LABEL, 54, 284, 85, 8, L"www.kestrune.org/help", L"www.kestrune.org/help", true, true, -1, true,
     false},
    {1053, LABEL, 24, 282, 26, 8, L"도움말 :", L"Help :", true, true, -1, true, false},
    {1055, LABEL, 508, 17, 8, 8, L"", L"", true, true, -1, true, false},
    {1096, PUSH, 150, 7, 44, 14, L"폴더 추가", L"Add folder", true, true, -1, false, true},
    {1026, PUSH, 197, 7, 41, 14, L"파일 추가", L"Add File", true, true, -1, false, true},
    {1047, CHECK, 508, 156, 30, 10, L"MP3", L"MP3", true, true, 0, false, true},
    {1048, CHECK, 473, 140, 49, 10, L"2채널 전환", L"2 channels", true, true, 0, false, true},
    {1062, CHECK, 337, 189, 34, 10, L"1080p", L"1080p", true, true, 0, false, true},
    {1063, CHECK, 390, 189, 57, 10, L"픽셀포맷호환", L"Pixel format", true, true, 0, false, true},
    {1064, CHECK, 473, 169, 53, 10, L"강제 인코딩", L"Force encode", true, true, 0, false, true},
    {1065, CHECK, 426, 123, 34, 10, L"MKV", L"MKV", true, true, 0, false, true},
    // The run's progress bar, in free space under the command box; shown while a run goes on.
    {1092, PROGRESS, 7, 264, 320, 10, L"", L"", true, false, -1, false, false},
};

// Controls that are wider in the English window (dialog units), where their words need it.
const std::pair<int, int> kEnglishWidths[] = {{1058, 50}, {1057, 56}, {1013, 80}, {1050, 110}, {1035, 100}};

int LayoutWidth(const CControlRow& row, bool korean) {
  for (const auto& wider : kEnglishWidths)
    if (!korean && wider.first == row.id) return wider.second;
  return row.width;
}

bool SameClass(HWND hwnd, const wchar_t* name) { return lstrcmpiW(WindowClass(hwnd).c_str(), name) == 0; }

// Class and style bits that make a control the kind the layout asks for.
void ExpectKind(HWND control, ControlKind kind) {
  LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
  switch (kind) {
    case GROUP:
    case RADIO:
    case CHECK:
    case PUSH: {
      EXPECT_TRUE(SameClass(control, L"Button")) << WindowClass(control);
      LONG_PTR type = style & BS_TYPEMASK;
      LONG_PTR expected = kind == GROUP   ? BS_GROUPBOX
                          : kind == RADIO ? BS_AUTORADIOBUTTON
                          : kind == CHECK ? BS_AUTOCHECKBOX
                                          : BS_PUSHBUTTON;
      EXPECT_EQ(expected, type);
      break;
    }
    case LABEL:
      EXPECT_TRUE(SameClass(control, L"Static")) << WindowClass(control);
      EXPECT_EQ(SS_LEFT, style & SS_TYPEMASK);
      break;
    case DIGITS:
    case TEXT_BOX:
      EXPECT_TRUE(SameClass(control, L"Edit")) << WindowClass(control);
      EXPECT_EQ(kind == DIGITS, (style & ES_NUMBER) != 0);
      EXPECT_FALSE(style & ES_MULTILINE);
      break;
    case CHOICE:
      EXPECT_TRUE(SameClass(control, WC_COMBOBOXW)) << WindowClass(control);
      EXPECT_EQ(CBS_DROPDOWNLIST, style & 3);
      break;
    case NAME_CHOICE:
      EXPECT_TRUE(SameClass(control, WC_COMBOBOXW)) << WindowClass(control);
      EXPECT_EQ(CBS_DROPDOWN, style & 3);
      break;
    case COMMAND_BOX:
      EXPECT_TRUE(SameClass(control, L"Edit")) << WindowClass(control);
      EXPECT_TRUE(style & ES_MULTILINE);
      EXPECT_TRUE(style & ES_READONLY);
      EXPECT_TRUE(style & WS_VSCROLL);
      break;
    case FILE_LIST:
    case CHECK_LIST:
      EXPECT_TRUE(SameClass(control, WC_LISTVIEWW)) << WindowClass(control);
      EXPECT_EQ(LVS_REPORT, style & LVS_TYPEMASK);
      EXPECT_TRUE(style & LVS_SINGLESEL);
      EXPECT_EQ(kind == CHECK_LIST, (style & LVS_NOCOLUMNHEADER) != 0);
      break;
    case PROGRESS:
      EXPECT_TRUE(SameClass(control, PROGRESS_CLASSW)) << WindowClass(control);
      EXPECT_TRUE(style & PBS_SMOOTH);
      break;
  }
}

int ColumnWidth(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0)); }

std::wstring ColumnHeading(HWND list) {
  wchar_t buffer[64] = {0};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = buffer;
  column.cchTextMax = 64;
  SendMessageW(list, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  return buffer;
}

using MainWindowTest = MainWindowFixture;

TEST_F(MainWindowTest, TakesTheLanguageOfTheSystem) {
  EXPECT_EQ(ExpectKorean() ? 18 : 9, dialog->uiLanguage);
}

TEST_F(MainWindowTest, HasEveryControlOfTheLayoutInOrder) {
  HWND hwnd = dialog->Hwnd();
  std::vector<HWND> children;
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  ASSERT_EQ(std::size(kLayout), children.size());
  bool korean = ExpectKorean();
  for (size_t i = 0; i < children.size(); ++i) {
    const CControlRow& row = kLayout[i];
    HWND control = children[i];
    SCOPED_TRACE(testing::Message() << "row " << i << ", id " << row.id);
    EXPECT_EQ(row.id, static_cast<int>(static_cast<short>(GetDlgCtrlID(control))));
    ExpectKind(control, row.kind);
    RECT actual = ChildRect(hwnd, control);
    RECT expected = DialogUnitsToPixels(hwnd, row.x, row.y, LayoutWidth(row, korean), row.height);
    if (row.height < 0) expected.bottom = expected.top + (actual.bottom - actual.top);
    EXPECT_TRUE(EqualRect(&expected, &actual))
        << "at " << actual.left << "," << actual.top << " " << actual.right - actual.left << "x"
        << actual.bottom - actual.top << ", expected " << expected.left << "," << expected.top << " "
        << expected.right - expected.left << "x" << expected.bottom - expected.top;
    EXPECT_EQ(korean ? row.korean : row.english, WindowText(control));
    EXPECT_EQ(row.enabled, IsWindowEnabled(control) != FALSE);
    EXPECT_EQ(row.visible, IsWindowVisible(control) != FALSE);
    if (row.checked >= 0) {
      EXPECT_EQ(row.checked == 1, SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
    }
    LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    EXPECT_EQ(row.group, (style & WS_GROUP) != 0) << "WS_GROUP";
    EXPECT_EQ(row.tabStop, (style & WS_TABSTOP) != 0) << "WS_TABSTOP";
  }
}

TEST_F(MainWindowTest, HasItsFrameTitleAndFont) {
  HWND hwnd = dialog->Hwnd();
  EXPECT_EQ(std::wstring(ExpectKorean() ? L"케스트룬 (Kestrune) v1.0.2" : L"Kestrune v1.0.2"),
            WindowText(hwnd));
  LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  EXPECT_EQ(static_cast<LONG_PTR>(WS_CAPTION), style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_APPWINDOW);
  EXPECT_TRUE(exStyle & WS_EX_ACCEPTFILES);
  EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(nullptr, GetWindow(hwnd, GW_OWNER));

  RECT client{};
  GetClientRect(hwnd, &client);
  RECT expected = DialogUnitsToPixels(hwnd, 0, 0, 591, 321);
  EXPECT_EQ(expected.right, client.right);
  EXPECT_EQ(expected.bottom, client.bottom);

  LOGFONTW font = WindowFont(hwnd);
  EXPECT_EQ(std::wstring(L"굴림"), font.lfFaceName);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), font.lfHeight);
  ReleaseDC(nullptr, screen);
}

TEST_F(MainWindowTest, ListsStartWithTheirRowsAndChecks) {
  struct CListRow {
    int id;
    DWORD exStyle;
    int width;
    const wchar_t* heading;
    std::vector<std::wstring> rows;
    int checkedRow;  // -1: none
  };
  const DWORD grid = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
  const CListRow lists[] = {
      {IDC_FILE_LIST, grid, 1000, L"", {}, -1},
      {IDC_INPUT_CODEC_LIST, grid | LVS_EX_CHECKBOXES, 200, L"", {L"H.264(AVC)", L"H.265(HEVC)", L"GIF"}, 0},
      {IDC_OUTPUT_CODEC_LIST,
       grid | LVS_EX_CHECKBOXES,
       200,
       L"",
       {L"H.264(AVC)", L"H.265(HEVC)", L"GIF", L"WAV", L"MP3"},
       1},
      {IDC_AUDIO_STREAM_LIST, grid | LVS_EX_CHECKBOXES, 200, ExpectKorean() ? L"코덱" : L"Codec", {}, -1},
  };
  for (const CListRow& list : lists) {
    SCOPED_TRACE(list.id);
    HWND hwnd = Item(list.id);
    EXPECT_EQ(list.exStyle, static_cast<DWORD>(SendMessageW(hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)));
    EXPECT_EQ(list.width, ColumnWidth(hwnd));
    EXPECT_EQ(std::wstring(list.heading), ColumnHeading(hwnd));
    ASSERT_EQ(static_cast<int>(list.rows.size()), dialog->RowCount(list.id));
    for (int row = 0; row < static_cast<int>(list.rows.size()); ++row) {
      EXPECT_EQ(list.rows[static_cast<size_t>(row)], dialog->RowText(list.id, row));
      EXPECT_EQ(row == list.checkedRow, dialog->IsRowChecked(list.id, row)) << "row " << row;
    }
  }
}

TEST_F(MainWindowTest, GathersTheDefaultJobSettings) {
  JobSettings gathered;
  gathered.useGpu = false;  // so that the gather must set it
  gathered.videoBitRate = 1;
  gathered.audioBitRate = 1;
  GatherJobSettings(*dialog, dialog->currentItem, gathered);
  const JobSettings defaults;
  EXPECT_EQ(-1, dialog->currentItem);
  EXPECT_EQ(std::wstring(DEFAULT_INPUT_NAME), gathered.currentFile);
  EXPECT_TRUE(gathered.files.empty());
  EXPECT_EQ(defaults.outputCodec, gathered.outputCodec);
  EXPECT_EQ(defaults.useGpu, gathered.useGpu);
  EXPECT_EQ(defaults.gpuCompatMode, gathered.gpuCompatMode);
  EXPECT_EQ(defaults.useVideoBitRate, gathered.useVideoBitRate);
  EXPECT_EQ(defaults.videoBitRate, gathered.videoBitRate);
  EXPECT_EQ(defaults.useQuantizer, gathered.useQuantizer);
  EXPECT_EQ(defaults.quantizer, gathered.quantizer);
  EXPECT_EQ(defaults.allAudioTracks, gathered.allAudioTracks);
  EXPECT_EQ(defaults.copyAudio, gathered.copyAudio);
  EXPECT_EQ(defaults.audioBitRate, gathered.audioBitRate);
  EXPECT_EQ(defaults.audioAac, gathered.audioAac);
  EXPECT_EQ(defaults.audioMp3, gathered.audioMp3);
  EXPECT_EQ(defaults.applyRange, gathered.applyRange);
  EXPECT_EQ(JOB_CONVERT, dialog->jobSettings.jobKind);
}

TEST_F(MainWindowTest, SystemMenuEndsWithTheAboutItem) {
  HMENU menu = GetSystemMenu(dialog->Hwnd(), FALSE);
  ASSERT_NE(nullptr, menu);
  int count = GetMenuItemCount(menu);
  ASSERT_GE(count, 2);
  EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), GetMenuItemID(menu, count - 1));
  wchar_t text[64] = {0};
  GetMenuStringW(menu, static_cast<UINT>(count - 1), text, 64, MF_BYPOSITION);
  EXPECT_EQ(std::wstring(L"&About Kestrune..."), text);
  EXPECT_TRUE(GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR);
}

TEST_F(MainWindowTest, ShowsTheProgramIcon) {
  HICON icon = dialog->appIcon.Get();
  ASSERT_NE(nullptr, icon);
  HWND hwnd = dialog->Hwnd();
  EXPECT_EQ(reinterpret_cast<LRESULT>(icon), SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0));
  EXPECT_EQ(reinterpret_cast<LRESULT>(icon), SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0));
  EXPECT_EQ(reinterpret_cast<LRESULT>(icon), SendMessageW(hwnd, WM_QUERYDRAGICON, 0, 0));
}

TEST_F(MainWindowTest, JobKindRadiosAreOneChoice) {
  const int radios[] = {IDC_JOB_VIDEO_EXTRACT, IDC_JOB_AUDIO_EXTRACT, IDC_JOB_MERGE_FILES, IDC_JOB_CONVERT,
                        IDC_JOB_MERGE_VIDEO_AUDIO};
  const struct {
    int radio;
    int32_t jobKind;
  } clicks[] = {{IDC_JOB_MERGE_VIDEO_AUDIO, JOB_MERGE_VIDEO_AUDIO},
                {IDC_JOB_VIDEO_EXTRACT, JOB_VIDEO_EXTRACT},
                {IDC_JOB_MERGE_VIDEO_AUDIO, JOB_MERGE_VIDEO_AUDIO},
                {IDC_JOB_AUDIO_EXTRACT, JOB_AUDIO_EXTRACT},
                {IDC_JOB_MERGE_FILES, JOB_MERGE_FILES},
                {IDC_JOB_CONVERT, JOB_CONVERT}};
  // Each click also builds a preview; with no files a merge of video and audio says so.
  MessageCapture messages;
  for (const auto& click : clicks) {
    SCOPED_TRACE(click.radio);
    Click(click.radio);
    EXPECT_EQ(click.jobKind, dialog->jobSettings.jobKind);
    for (int radio : radios) EXPECT_EQ(radio == click.radio, Checked(radio)) << "radio " << radio;
  }
  EXPECT_EQ(std::vector<std::wstring>(2, ExpectKorean() ? L"합치기위해 최소 두개의 파일이 필요합니다."
                                                        : L"A merge needs at least two files."),
            messages.Messages());
}

// Keys as the dialog manager takes them from the queue, to the control that has the focus.
void PressKey(HWND control, UINT key) {
  PostMessageW(control, WM_KEYDOWN, key, 0);
  PostMessageW(control, WM_KEYUP, key, 0xC0000001);
  PumpMessages();
  PumpMessages();
}

TEST_F(MainWindowTest, ArrowKeysMoveAmongAllFiveJobRadios) {
  // The group in template order: 1074 1071 1072 1073 1075, and round again.
  MessageCapture messages;  // a merge of video and audio without files says so
  SetFocus(Item(IDC_JOB_MERGE_FILES));
  const struct {
    UINT key;
    int radio;
    int32_t jobKind;
  } presses[] = {
      {VK_DOWN, IDC_JOB_MERGE_VIDEO_AUDIO, JOB_MERGE_VIDEO_AUDIO},
      {VK_DOWN, IDC_JOB_CONVERT, JOB_CONVERT},
      {VK_UP, IDC_JOB_MERGE_VIDEO_AUDIO, JOB_MERGE_VIDEO_AUDIO},
      {VK_UP, IDC_JOB_MERGE_FILES, JOB_MERGE_FILES},
  };
  for (const auto& press : presses) {
    SCOPED_TRACE(testing::Message() << (press.key == VK_DOWN ? "down to " : "up to ") << press.radio);
    PressKey(GetFocus(), press.key);
    EXPECT_EQ(Item(press.radio), GetFocus());
    EXPECT_TRUE(Checked(press.radio));
    EXPECT_EQ(press.jobKind, dialog->jobSettings.jobKind);
  }
  EXPECT_EQ(std::vector<std::wstring>(2, ExpectKorean() ? L"합치기위해 최소 두개의 파일이 필요합니다."
                                                        : L"A merge needs at least two files."),
            messages.Messages());
}

TEST_F(MainWindowTest, CheckBoxesEnableTheirDependentControls) {
  // GPU acceleration governs its compatibility mode.
  Click(IDC_GPU);
  EXPECT_FALSE(Checked(IDC_GPU));
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_GPU_COMPAT)));
  Click(IDC_GPU);
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_GPU_COMPAT)));

  // The range box governs its copy and accuracy boxes, which keep their marks.
  Click(IDC_RANGE_APPLY);
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_RANGE_COPY)));
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_RANGE_ACCURATE)));
  EXPECT_TRUE(Checked(IDC_RANGE_COPY));
  Click(IDC_RANGE_APPLY);
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_RANGE_COPY)));
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_RANGE_ACCURATE)));

  // Audio copy disables the audio quality box and its rate.
  Click(IDC_AUDIO_COPY);
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_AUDIO_QUALITY)));
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_AUDIO_BITRATE)));
  EXPECT_TRUE(Checked(IDC_AUDIO_QUALITY));
  Click(IDC_AUDIO_COPY);
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_AUDIO_QUALITY)));
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_AUDIO_BITRATE)));
}

TEST_F(MainWindowTest, DigitsOnlyEditsRefuseLetters) {
  HWND edit = Item(IDC_VIDEO_BITRATE);
  SetWindowTextW(edit, L"");
  for (wchar_t c : std::wstring(L"4a5x")) SendMessageW(edit, WM_CHAR, c, 0);
  EXPECT_EQ(std::wstring(L"45"), WindowText(edit));
}

TEST_F(MainWindowTest, InstallDialogWaitsHiddenAndOnlyHides) {
  ASSERT_NE(nullptr, dialog->installDlg);
  HWND install = dialog->installDlg->Hwnd();
  ASSERT_NE(nullptr, install);
  EXPECT_FALSE(IsWindowVisible(install));
  EXPECT_EQ(dialog->Hwnd(), GetWindow(install, GW_OWNER));
  EXPECT_EQ(std::wstring(L"Message"), WindowText(install));
  EXPECT_EQ(std::wstring(L"Close"), WindowText(GetDlgItem(install, IDOK)));
  EXPECT_EQ(std::wstring(L"Install"), WindowText(GetDlgItem(install, IDC_INSTALL_BUTTON)));
  EXPECT_EQ(std::wstring(L""), WindowText(GetDlgItem(install, IDC_INSTALL_MESSAGE)));
  EXPECT_EQ(std::wstring(L"System"), std::wstring(WindowFont(install).lfFaceName));
  RECT client{};
  GetClientRect(install, &client);
  RECT expected = DialogUnitsToPixels(install, 0, 0, 280, 86);
  EXPECT_EQ(expected.right, client.right);
  EXPECT_EQ(expected.bottom, client.bottom);

  // Close, Escape and the close box hide it; it stays for the next time.
  const UINT closings[][2] = {{WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED)},
                              {WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)},
                              {WM_CLOSE, 0}};
  for (const auto& closing : closings) {
    ShowWindow(install, SW_SHOW);
    ASSERT_TRUE(IsWindowVisible(install));
    SendMessageW(install, closing[0], closing[1], 0);
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(install)) << closing[0];
    EXPECT_TRUE(IsWindow(install));
  }
  EXPECT_TRUE(IsWindowVisible(dialog->Hwnd()));
}

TEST_F(MainWindowTest, EndOfTheWindowTakesTheInstallDialogAndTheStore) {
  ASSERT_NE(nullptr, dialog->registryStore);
  HWND install = dialog->installDlg->Hwnd();
  dialog->DestroyWindow();
  EXPECT_FALSE(IsWindow(install));
  EXPECT_EQ(nullptr, dialog->installDlg->Hwnd());
  EXPECT_EQ(nullptr, dialog->registryStore);
}

TEST_F(MainWindowTest, InstallDialogComesUpOverTheMainWindowWithItsTexts) {
  HWND main = dialog->Hwnd();
  HWND install = dialog->installDlg->Hwnd();
  int32_t language = dialog->installDlg->uiLanguage;
  EXPECT_EQ(ExpectKorean() ? 18 : 9, language);
  SetWindowPos(main, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  RECT mainRect{};
  GetWindowRect(main, &mainRect);
  RECT before{};
  GetWindowRect(install, &before);

  EXPECT_EQ(1, dialog->ShowInstallDlg(INSTALL_MEDIAINFO));
  EXPECT_TRUE(IsWindowVisible(install));
  RECT shown{};
  GetWindowRect(install, &shown);
  EXPECT_EQ(mainRect.left + (mainRect.right - mainRect.left) / 5, shown.left);
  EXPECT_EQ(mainRect.top + (mainRect.bottom - mainRect.top) / 10, shown.top);
  EXPECT_EQ(before.right - before.left, shown.right - shown.left);
  EXPECT_EQ(before.bottom - before.top, shown.bottom - shown.top);
  EXPECT_EQ(INSTALL_MEDIAINFO, dialog->installDlg->installMode);
  EXPECT_EQ(InstallMessageText(INSTALL_MEDIAINFO, language),
            WindowText(GetDlgItem(install, IDC_INSTALL_MESSAGE)));
  // The MediaInfo variant leaves the button as it was: "Install" from the template.
  EXPECT_EQ(std::wstring(L"Install"), WindowText(GetDlgItem(install, IDC_INSTALL_BUTTON)));

  dialog->ShowInstallDlg(INSTALL_FFMPEG);
  EXPECT_EQ(InstallMessageText(INSTALL_FFMPEG, language),
            WindowText(GetDlgItem(install, IDC_INSTALL_MESSAGE)));
  std::wstring caption = ExpectKorean() ? L"설치" : L"Install";
  EXPECT_EQ(caption, WindowText(GetDlgItem(install, IDC_INSTALL_BUTTON)));
  // and the caption stays for a later MediaInfo variant.
  dialog->ShowInstallDlg(INSTALL_MEDIAINFO);
  EXPECT_EQ(caption, WindowText(GetDlgItem(install, IDC_INSTALL_BUTTON)));
}

TEST_F(MainWindowTest, InstallButtonReportsAProgramAlreadyThere) {
  // The Wine bridge mediainfo.exe lies beside the tests, so nothing is downloaded.
  MessageCapture messages;
  dialog->ShowInstallDlg(INSTALL_MEDIAINFO);
  HWND install = dialog->installDlg->Hwnd();
  SendMessageW(GetDlgItem(install, IDC_INSTALL_BUTTON), BM_CLICK, 0, 0);
  PumpMessages();
  EXPECT_EQ(std::vector<std::wstring>{L"OK! 설치 완료"}, messages.Messages());
  EXPECT_TRUE(IsWindowVisible(install));
}

TEST_F(MainWindowTest, InstallOutcomeBoxIsCaptionedWithTheProgramsName) {
  dialog->ShowInstallDlg(INSTALL_MEDIAINFO);
  HWND install = dialog->installDlg->Hwnd();
  HWND main = dialog->Hwnd();
  // The platform's own message box this time, not the tests' sink.
  MessageSink previous = SetMessageSink(nullptr);
  std::wstring caption;
  std::vector<std::wstring> texts;
  bool seen = WhileDialogOpen(
      [&](HWND hwnd) { return hwnd != install && hwnd != main && WindowClass(hwnd) == L"#32770"; },
      [&] { SendMessageW(GetDlgItem(install, IDC_INSTALL_BUTTON), BM_CLICK, 0, 0); },
      [&](HWND box) {
        caption = WindowText(box);
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
          if (WindowClass(child) == L"Static" && !WindowText(child).empty())
            texts.push_back(WindowText(child));
        }
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      });
  SetMessageSink(previous);
  ASSERT_TRUE(seen);
  // The test program's name, as kestrune.exe's box reads "kestrune".
  EXPECT_EQ(std::wstring(L"kestrune_ui_tests"), caption);
  EXPECT_EQ(std::vector<std::wstring>{L"OK! 설치 완료"}, texts);
}

}  // namespace
