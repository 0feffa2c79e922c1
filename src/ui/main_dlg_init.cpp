// Bringing the main window into its working state: labels, link, install dialog, system menu,
// icons, title, the four lists and every option's default, the settings store and the saved
// position, in that order.
#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>

#include <vector>

#include "base/program_dir.h"
#include "ui/control_ids.h"
#include "ui/hyperlink.h"
#include "ui/list_view.h"
#include "ui/main_dlg.h"

namespace {

constexpr DWORD kCheckListStyle = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;

void SetUpCheckList(HWND list, const std::vector<const wchar_t*>& rows, int checkedRow) {
  SetUpListView(list, kCheckListStyle, L"", 200);
  for (const wchar_t* row : rows) AppendListRow(list, row);
  SetListRowChecked(list, checkedRow, true);
}

std::wstring LoadResourceString(UINT id) {
  const wchar_t* text = nullptr;
  // Length 0 asks for a read-only pointer into the resource itself.
  int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

}  // namespace

bool CMainDlg::OnInitDialog() {
  SetProgramDir(GetProgramDir());
  ApplyLanguageLabels();
  MakeHyperlink(Item(IDC_HELP_LINK));

  installDlg = std::make_unique<CInstallDlg>();
  installDlg->Create(Hwnd());

  HMENU systemMenu = GetSystemMenu(Hwnd(), FALSE);
  std::wstring aboutText = LoadResourceString(IDS_ABOUTBOX);
  if (systemMenu && !aboutText.empty()) {
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText.c_str());
  }

  SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon.Get()));
  SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon.Get()));

  taskbarProgress.SetWindow(Hwnd());
  SetTitle(MainWindowTitle(uiLanguage));
  SetItemText(IDC_STATUS_LINE, Text(TXT_BUILD_DATE, uiLanguage));

  SetUpLists();
  SetDefaultOptions();

  registryStore = std::make_unique<CRegistryStore>();
  registryStore->Create(REGISTRY_LOCAL_MACHINE, kRegistryKeyPath);
  RestoreOptions();
  FillPresets(std::wstring());
  RestoreWindowPos();
  return true;
}

void CMainDlg::SetUpLists() {
  SetUpListView(Item(IDC_FILE_LIST), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT, L"", 1000);
  SetUpCheckList(Item(IDC_INPUT_CODEC_LIST), {L"H.264(AVC)", L"H.265(HEVC)", L"GIF"}, 0);
  SetUpCheckList(Item(IDC_OUTPUT_CODEC_LIST), {L"H.264(AVC)", L"H.265(HEVC)", L"GIF", L"WAV", L"MP3"}, 1);
}

// The defaults are those of JobSettings: a first command built before any change uses them.
void CMainDlg::SetDefaultOptions() {
  CheckButton(IDC_GPU, true);
  EnableItem(IDC_GPU_COMPAT, true);
  CheckButton(IDC_USE_VIDEO_BITRATE, true);
  SetItemText(IDC_VIDEO_BITRATE, L"3000");
  CheckButton(IDC_USE_QUANTIZER, false);
  SetItemText(IDC_QUANTIZER, L"28");

  SetUpListView(Item(IDC_AUDIO_STREAM_LIST), kCheckListStyle, Text(TXT_AUDIO_COLUMN, uiLanguage), 200);
  CheckButton(IDC_ALL_AUDIO_TRACKS, true);
  CheckButton(IDC_AUDIO_QUALITY, true);
  SetItemText(IDC_AUDIO_BITRATE, L"128");
  if (IsChecked(IDC_AUDIO_COPY)) {
    EnableItem(IDC_AUDIO_QUALITY, false);
    EnableItem(IDC_AUDIO_BITRATE, false);
  }

  CheckButton(IDC_AUDIO_AAC, true);
  CheckButton(IDC_RANGE_APPLY, false);
  EnableItem(IDC_RANGE_COPY, false);
  CheckButton(IDC_RANGE_COPY, true);
  EnableItem(IDC_RANGE_ACCURATE, false);
  CheckButton(IDC_RANGE_ACCURATE, false);

  for (int id = IDC_RANGE_START_H; id <= IDC_RANGE_END_S; ++id) SetItemInt(id, 0);

  CheckButton(IDC_JOB_CONVERT, true);
  jobSettings.jobKind = JOB_CONVERT;
  SetUpWhenDone();
}
