// A run's progress: the bar under the command box and the taskbar button show the share of the
// run done, by the length of its media; the status line shows the file reached with the running
// command's percent, ffmpeg's speed and the time left, then the time the run has taken, counted
// on by a clock of the window each second.
#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>

#include "ui/control_ids.h"
#include "ui/main_dlg.h"
#include "ui/run_texts.h"

namespace {
constexpr UINT_PTR kRunClockTimer = 1;
constexpr UINT kRunClockMs = 1000;
}  // namespace

void CMainDlg::BeginRunProgress() {
  runStartTick_ = GetTickCount64();
  runProgress_ = CRunProgress();
  SetTimer(Hwnd(), kRunClockTimer, kRunClockMs, nullptr);
  HWND bar = Item(IDC_RUN_PROGRESS);
  SendMessageW(bar, PBM_SETRANGE32, 0, kTaskbarProgressScale);
  SendMessageW(bar, PBM_SETPOS, 0, 0);
  ShowWindow(bar, SW_SHOWNA);
  taskbarProgress.OnRunStart();
}

// Before the run reaches its first file (or in a merge of video and audio, which names none)
// the line shows the figures and the time alone.
void CMainDlg::ShowRunStatus() {
  if (!batchHost_ || batchFinished) return;
  const std::wstring file = batchHost_->Status();
  std::wstring figures =
      RunProgressText(runProgress_.percent, runProgress_.speed, runProgress_.secondsLeft, uiLanguage);
  // Without a file the figures stand alone, without the dash that follows one.
  if (file.empty()) figures.erase(0, figures.find_first_not_of(L" \u2014"));
  SetItemText(IDC_STATUS_LINE, WithElapsedTime(file + figures, RunSeconds()));
}

void CMainDlg::OnBatchProgress() {
  if (!batchHost_ || batchFinished) return;
  runProgress_ = batchHost_->Progress();
  const int done = static_cast<int>(runProgress_.fraction * kTaskbarProgressScale + 0.5);
  SendMessageW(Item(IDC_RUN_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(done), 0);
  taskbarProgress.OnProgress(runProgress_.fraction);
  ShowRunStatus();
}

void CMainDlg::OnBatchFileEnd() {
  if (!batchHost_) return;
  taskbarProgress.OnFileEnd(batchHost_->AnyFileFailed());
  OnBatchProgress();
}

bool CMainDlg::OnTimer(UINT_PTR id) {
  if (id != kRunClockTimer) return false;
  ShowRunStatus();
  return true;
}

void CMainDlg::EndRunProgress() {
  KillTimer(Hwnd(), kRunClockTimer);
  ShowWindow(Item(IDC_RUN_PROGRESS), SW_HIDE);
  taskbarProgress.OnRunEnd();
}

int64_t CMainDlg::RunSeconds() const {
  return static_cast<int64_t>((GetTickCount64() - runStartTick_) / 1000);
}
