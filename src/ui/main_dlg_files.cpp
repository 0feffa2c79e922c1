// The file list and the three check lists: files come in by drop or the open-file dialog and
// leave by the remove button; a click on a file probes it and shows its codec, audio tracks
// and length; the check lists keep their marks by their own rules.
#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/file_util.h"
#include "base/folder_listing.h"
#include "base/message.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "base/texts.h"
#include "base/trace.h"
#include "batch/output_check.h"
#include "jobs/media_classification.h"
#include "probe/media_desc.h"
#include "probe/probe_runner.h"
#include "ui/control_ids.h"
#include "ui/dropped_paths.h"
#include "ui/list_view.h"
#include "ui/main_dlg.h"

namespace {

constexpr DWORD kOpenPathChars = 1000;  // a chosen path: up to 999 characters

// The texts one a line.
std::wstring JoinLines(const std::vector<std::wstring>& texts) {
  std::wstring joined;
  for (const std::wstring& text : texts) joined += (joined.empty() ? L"" : L"\n") + text;
  return joined;
}

// The input codec list's row for a probed video codec; -1 when it has none.
int InputCodecRow(int32_t codec) {
  switch (codec) {
    case VCODEC_H264:
      return 0;
    case VCODEC_H265:
      return 1;
    case VCODEC_GIF:
      return 2;
    default:
      return -1;
  }
}

std::wstring AudioRowText(const AudioTrackDesc& track) {
  std::wstring language = ToLowerText(LanguageName(track.language)).substr(0, 2);
  return FormatText(TXT_AUDIO_ROW, kUiLanguageEnglish, track.bitRate, track.channels, language,
                    CodecName(track.codec));
}

}  // namespace

void CMainDlg::OnDropFiles(HDROP drop) {
  std::vector<std::wstring> paths = DroppedPaths(drop);
  // The drop's memory is ours to release, whatever was done with it.
  DragFinish(drop);
  DebugLogEach(L"OnDropFiles-%s", paths);
  AddPaths(paths);
}

// The rows go in together, so the list is drawn once for the whole drop, however many files
// its folders hold. A folder that cannot be read, or holds no media file, is said once all
// rows are in.
void CMainDlg::AddPaths(const std::vector<std::wstring>& paths) {
  std::vector<std::wstring> rows, unreadable, empty;
  for (const std::wstring& path : paths) {
    if (!IsDirectory(path)) {
      rows.push_back(path);
      continue;
    }
    CFolderListing listing = ListFolderFiles(path, IsMediaFileName);
    DebugLog(L"AddPaths-folder-%s-%d", path, static_cast<int>(listing.files.size()));
    unreadable.insert(unreadable.end(), listing.unreadable.begin(), listing.unreadable.end());
    if (listing.files.empty()) {
      if (listing.unreadable.empty()) empty.push_back(path);
      continue;
    }
    std::vector<std::wstring>& roots = jobSettings.folderRoots;
    if (std::find(roots.begin(), roots.end(), path) == roots.end()) roots.push_back(path);
    rows.insert(rows.end(), listing.files.begin(), listing.files.end());
  }
  AppendListRows(Item(IDC_FILE_LIST), rows);
  if (!unreadable.empty())
    ShowProgramMessage(L"%s", FormatText(TXT_FOLDERS_UNREADABLE, uiLanguage, JoinLines(unreadable)));
  for (const std::wstring& folder : empty)
    ShowProgramMessage(L"%s", FormatText(TXT_FOLDER_NO_MEDIA, uiLanguage, folder));
}

void CMainDlg::OnButtonFolderAdd() {
  if (!folderPicker) return;
  std::wstring chosen = folderPicker(Hwnd(), std::wstring(), Text(TXT_FOLDER_ADD_PICK, uiLanguage));
  if (chosen.empty()) return;  // cancelled
  DebugLog(L"OnButtonFolderAdd-%s", chosen);
  AddPaths({chosen});
}

void CMainDlg::OnButtonFileAdd() {
  std::vector<wchar_t> path(kOpenPathChars, L'\0');
  OPENFILENAMEW open{};
  open.lStructSize = sizeof(open);
  open.hwndOwner = Hwnd();
  // Name and patterns of each filter: pairs of texts, each ending in a zero, and one more zero.
  open.lpstrFilter = Text(TXT_OPEN_FILE_FILTER, uiLanguage);
  open.nFilterIndex = 1;
  open.lpstrFile = path.data();
  open.nMaxFile = kOpenPathChars;
  open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (!GetOpenFileNameW(&open)) return;
  std::wstring chosen(path.data());
  AppendListRow(Item(IDC_FILE_LIST), chosen);
  DebugLog(L"파일 추가됨 - %s", chosen);
  // The dialog may have moved the current directory to the chosen file's folder.
  EnterProgramDir();
}

// Removing a row leaves the current file, its description and the check lists as they are.
void CMainDlg::OnButtonFileRemove() {
  HWND list = Item(IDC_FILE_LIST);
  int removed = LastSelectedListRow(list);
  if (removed < 0) return;
  DeleteListRow(list, removed);
  int remaining = ListRowCount(list);
  // An empty list holds no tree: a later file of the same folder goes where a file goes alone.
  if (remaining == 0) jobSettings.folderRoots.clear();
  int next = removed == remaining ? removed - 1 : removed;
  if (next >= 0 && next < remaining) SelectListRow(list, next);
}

void CMainDlg::OnClickListVideo(int row) {
  currentItem = row;
  HWND files = Item(IDC_FILE_LIST);
  if (row < 0 || ListRowCount(files) == 0) return;

  jobSettings.currentFile = ListRowText(files, row);
  DebugLog(L"OnClickListVideo - 비디오 변경 - %s", jobSettings.currentFile);
  // A failed probe leaves the description reset, and the controls below show just that.
  DescribeCurrentFile();
  std::wstring summary;
  FormatMediaSummary(currentMedia, summary);
  DebugLog(L"%s", summary);

  HWND input = Item(IDC_INPUT_CODEC_LIST);
  ClearListSelection(input);
  SetListRowChecked(input, -1, false);
  int codecRow = InputCodecRow(currentMedia.video.codec);
  if (codecRow >= 0) {
    SelectListRow(input, codecRow);
    SetListRowChecked(input, codecRow, true);
  }

  SetItemInt(IDC_TRACK_COUNT, currentMedia.audioCount);

  HWND audio = Item(IDC_AUDIO_STREAM_LIST);
  DeleteAllListRows(audio);
  for (int track = 0; track < currentMedia.audioCount && track < MAX_AUDIO_TRACKS; ++track) {
    AppendListRow(audio, AudioRowText(currentMedia.audio[track]));
  }
  if (ListRowCount(audio) > 0) SetListRowChecked(audio, 0, true);

  // The end of the range from the video's own length; the minutes field gets one more than
  // the whole minutes.
  int seconds = currentMedia.video.durationSec;
  SetItemInt(IDC_RANGE_END_H, seconds / 3600);
  SetItemInt(IDC_RANGE_END_M, (seconds % 3600) / 60 + 1);
  SetItemInt(IDC_RANGE_END_S, seconds % 60);
}

void CMainDlg::DescribeCurrentFile() {
  // A file the preview probed for a merge is kept without its lengths: the measure adds them.
  const std::wstring& file = jobSettings.currentFile;
  if (MeasuringProbe(RecallingProbe(probeMemory_, ProbeMediaFile), MeasureMediaFile)(file, currentMedia))
    probeMemory_->Remember(file, currentMedia);
}

// One codec at a time, except that a second click on the row clicked last leaves its mark as
// the click left it.
void CMainDlg::OnClickListInput(int row) {
  if (row == -1) return;
  HWND list = Item(IDC_INPUT_CODEC_LIST);
  int count = ListRowCount(list);
  for (int i = 0; i < count; ++i) {
    if (i == row) {
      DebugLog(L"list input-1-(%d/%d)%d", i, count, row);
    } else {
      DebugLog(L"list input-2-(%d/%d)", i, count);
      SetListRowChecked(list, i, false);
    }
  }
  if (row != lastInputRow) {
    DebugLog(L"list input-3-(%d/%d)", lastInputRow, row);
    SetListRowChecked(list, row, true);
  }
  ClearListSelection(list);
  SelectListRow(list, row);
  lastInputRow = row;
}

// Exactly the clicked codec is checked: it is the output codec of every job.
void CMainDlg::OnClickListOutput(int row) {
  if (row == -1) return;
  HWND list = Item(IDC_OUTPUT_CODEC_LIST);
  int count = ListRowCount(list);
  for (int i = 0; i < count; ++i) SetListRowChecked(list, i, i == row);
  ClearListSelection(list);
  SelectListRow(list, row);
  DebugLog(L"출력-%d", row);
}

// Every click turns the track over once. A click on the check box has already turned it by
// the list's own doing, so the mark is set from the one it had before the click: inverting the
// current mark would undo the list's own change and leave the box as it was.
void CMainDlg::OnClickListAudio(int row, bool checkedBeforeClick) {
  if (row < 0) return;
  HWND list = Item(IDC_AUDIO_STREAM_LIST);
  SetListRowChecked(list, row, !checkedBeforeClick);
  ClearListSelection(list);
  SelectListRow(list, row);
}
