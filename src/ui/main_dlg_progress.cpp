// A run's progress beside its status line: the time the run has taken, after the status line's
// text, counted on by a clock of the window each second; and the files finished, on the
// window's taskbar button.
#include "ui/control_ids.h"
#include "ui/main_dlg.h"
#include "ui/run_texts.h"

namespace {
constexpr UINT_PTR kRunClockTimer = 1;
constexpr UINT kRunClockMs = 1000;
}  // namespace

void CMainDlg::BeginRunProgress(int fileCount) {
  runStartTick_ = GetTickCount64();
  SetTimer(Hwnd(), kRunClockTimer, kRunClockMs, nullptr);
  taskbarProgress.OnRunStart(fileCount);
}

// Before the run reaches its first file (or in a merge of video and audio, which names none)
// the line shows the time alone.
void CMainDlg::ShowRunStatus() {
  if (batchHost_ && !batchFinished)
    SetItemText(IDC_STATUS_LINE, WithElapsedTime(batchHost_->Status(), RunSeconds()));
}

void CMainDlg::OnBatchFileEnd() {
  if (batchHost_) taskbarProgress.OnFileEnd(batchHost_->FilesFinished(), batchHost_->AnyFileFailed());
}

bool CMainDlg::OnTimer(UINT_PTR id) {
  if (id != kRunClockTimer) return false;
  ShowRunStatus();
  return true;
}

void CMainDlg::EndRunProgress() {
  KillTimer(Hwnd(), kRunClockTimer);
  taskbarProgress.OnRunEnd();
}

int64_t CMainDlg::RunSeconds() const {
  return static_cast<int64_t>((GetTickCount64() - runStartTick_) / 1000);
}
