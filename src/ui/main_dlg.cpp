#include "ui/main_dlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include "exec/console_host.h"
#include "ui/about_dlg.h"
#include "ui/control_ids.h"
#include "ui/dialog_base.h"
#include "ui/hyperlink.h"
#include "ui/job_controls.h"
#include "ui/list_view.h"

namespace {
// A click on a check list comes back as this message once the list has done its own part.
constexpr UINT WM_LIST_CLICK = WM_APP + 3;
}  // namespace

CMainDlg::CMainDlg()
    : CDialogBase(IDD_MAIN_DIALOG),
      uiLanguage(UserUiLanguage()),
      commandRunner([](const std::wstring& line, CCommandStop* stop, const ConsoleErrorSink& errors) {
        return RunInOwnConsole(line, stop, errors);
      }),
      batchProbe(ProbeMediaFile),
      reportOpener([this](const std::wstring& path) {
        ShellExecuteW(Hwnd(), L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
      }),
      folderPicker(PickFolder),
      powerAction(DoPowerAction) {
  ResetMediaDesc(currentMedia);
  appIcon.Reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                              IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
  jobSettings.containerMp4 = false;
  jobSettings.containerMkv = false;
  jobSettings.scale1080 = false;
  jobSettings.pixelFormatCompat = false;
}

// The window goes before the icon it shows and the install dialog it owns.
CMainDlg::~CMainDlg() { DestroyWindow(); }

int CMainDlg::RowCount(int listId) const { return ListRowCount(Item(listId)); }

std::wstring CMainDlg::RowText(int listId, int row) const { return ListRowText(Item(listId), row); }

bool CMainDlg::IsRowChecked(int listId, int row) const { return IsListRowChecked(Item(listId), row); }

void CMainDlg::OnCommand(int id, int code, HWND) {
  if (id == IDC_PRESET && code == CBN_SELCHANGE) OnSelectPreset();
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_START:
      OnButtonStart();
      break;
    case IDC_FILE_REMOVE:
      OnButtonFileRemove();
      break;
    case IDC_FILE_ADD:
      OnButtonFileAdd();
      break;
    case IDC_FOLDER_ADD:
      OnButtonFolderAdd();
      break;
    case IDC_MEDIA_INFO:
      OnButtonMediaInfo();
      break;
    case IDC_TEST:
      OnButtonTest();
      break;
    case IDC_HELP_BUTTON:
      OnButtonHelp();
      break;
    case IDC_OUTPUT_FOLDER_BROWSE:
      OnButtonOutputFolderBrowse();
      break;
    case IDC_PRESET_SAVE:
      OnButtonPresetSave();
      break;
    case IDC_PRESET_DELETE:
      OnButtonPresetDelete();
      break;
    case IDC_AUDIO_COPY:
      OnCheckAudioCopy();
      break;
    case IDC_ALL_AUDIO_TRACKS:
      OnCheckAllAudio();
      break;
    case IDC_GPU:
      OnCheckGpu();
      break;
    case IDC_RANGE_APPLY:
      OnCheckRange();
      break;
    default:
      if (int32_t jobKind = JobKindOfRadio(id)) OnRadioJobKind(id, jobKind);
      break;
  }
}

bool CMainDlg::OnNotify(int id, NMHDR* header, LRESULT& result) {
  if (header->code != NM_CLICK) return false;
  // The click's row, -1 when it hit no row.
  int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
  switch (id) {
    case IDC_FILE_LIST:
      OnClickListVideo(row);
      break;
    case IDC_INPUT_CODEC_LIST:
    case IDC_OUTPUT_CODEC_LIST:
    case IDC_AUDIO_STREAM_LIST: {
      // A list tells of the click before it flips the check box the click landed on, so the
      // rules wait until the list is done. The mark the row had now goes with them.
      bool checked = row >= 0 && IsRowChecked(id, row);
      PostMessageW(Hwnd(), WM_LIST_CLICK, MAKEWPARAM(id, checked ? 1 : 0), row);
      break;
    }
    default:
      return false;
  }
  result = 0;
  return true;
}

void CMainDlg::OnListClickPosted(WPARAM w, LPARAM l) {
  int row = static_cast<int>(l);
  switch (LOWORD(w)) {
    case IDC_INPUT_CODEC_LIST:
      OnClickListInput(row);
      break;
    case IDC_OUTPUT_CODEC_LIST:
      OnClickListOutput(row);
      break;
    case IDC_AUDIO_STREAM_LIST:
      OnClickListAudio(row, HIWORD(w) != 0);
      break;
    default:
      break;
  }
}

bool CMainDlg::OnMessage(UINT message, WPARAM w, LPARAM l, LRESULT& result) {
  if (message == CTaskbarProgress::ButtonCreatedMessage()) {
    taskbarProgress.OnButtonCreated();
    return true;
  }
  switch (message) {
    case WM_SYSCOMMAND:
      return OnSysCommand(static_cast<UINT>(w), l);
    case WM_PAINT:
      return OnPaint();
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<LRESULT>(appIcon.Get());
      return true;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(w));
      return true;
    case WM_LIST_CLICK:
      OnListClickPosted(w, l);
      return true;
    case WM_BATCH_STATUS:
      OnBatchStatus();
      return true;
    case WM_BATCH_END:
      OnBatchEnd();
      return true;
    case WM_BATCH_FILE_END:
      OnBatchFileEnd();
      return true;
    case WM_BATCH_PROGRESS:
      OnBatchProgress();
      return true;
    case WM_TIMER:
      return OnTimer(w);
    case WM_GPU_CHECKED:
      OnGpuChecked(static_cast<GpuDecision>(w));
      return true;
    default:
      return false;
  }
}

void CMainDlg::OnAnyMessage(UINT message, WPARAM w, LPARAM) { HelpLinkHook(message, w); }

int CMainDlg::ShowInstallDlg(int32_t mode) {
  RECT main{};
  GetWindowRect(Hwnd(), &main);
  HWND install = installDlg->Hwnd();
  ShowWindow(install, SW_SHOW);
  RECT own{};
  GetWindowRect(install, &own);
  // A fifth of the way across and a tenth of the way down the main window, whatever its size.
  int x = main.left + (main.right - main.left) / 5;
  int y = main.top + (main.bottom - main.top) / 10;
  MoveWindow(install, x, y, own.right - own.left, own.bottom - own.top, TRUE);
  installDlg->SetInstallMode(mode);
  return 1;
}

void CMainDlg::OnButtonHelp() {
  CAboutDlg about;
  about.DoModal(Hwnd());
}

// Check boxes that enable or disable others; only the enabled state changes.
void CMainDlg::OnCheckAudioCopy() {
  bool encode = !IsChecked(IDC_AUDIO_COPY);
  EnableItem(IDC_AUDIO_QUALITY, encode);
  EnableItem(IDC_AUDIO_BITRATE, encode);
}

void CMainDlg::OnCheckAllAudio() {}

void CMainDlg::OnCheckGpu() { EnableItem(IDC_GPU_COMPAT, IsChecked(IDC_GPU)); }

void CMainDlg::OnCheckRange() {
  bool range = IsChecked(IDC_RANGE_APPLY);
  EnableItem(IDC_RANGE_COPY, range);
  EnableItem(IDC_RANGE_ACCURATE, range);
}

void CMainDlg::OnRadioJobKind(int radioId, int32_t jobKind) {
  // The five radios are one group, which the dialog manager keeps to one choice; the choice is
  // also made here for a click that did not come through it.
  CheckRadioButton(Hwnd(), IDC_JOB_VIDEO_EXTRACT, IDC_JOB_MERGE_VIDEO_AUDIO, radioId);
  jobSettings.jobKind = jobKind;
  UpdateCommandPreview();
}

// The control that is never shown nor enabled; its handler changes nothing.
void CMainDlg::OnButtonTest() {}
