// The command preview and the batch: the job-kind radios show the command the chosen job
// would run for the current file; Start hands a snapshot of the settings to the batch worker,
// which runs on its own thread and tells the window of its progress by posted messages.
#include <memory>

#include "base/trace.h"
#include "exec/start_check.h"
#include "jobs/command_builder.h"
#include "jobs/control_ids.h"
#include "ui/main_dlg.h"

void CMainDlg::UpdateCommandPreview() {
  GatherJobSettings(*this, currentItem, jobSettings);
  // made stays empty when the build makes no command (a failed probe, a merge that does not
  // fit); CmdSet then keeps the previous command, as the box does.
  std::wstring made;
  CCommandBuilder builder(jobSettings, CmdSet);
  builder.BuildCommand(jobSettings.currentFile, &made, true);
  lastPreview = CPreviewedCommand{made, jobSettings.jobKind, jobSettings.files};
  DebugLog(L"CmdSet=%s", CmdSet);
  SetItemText(IDC_COMMAND_BOX, CmdSet);
}

void CMainDlg::OnButtonStart() {
  // Start is disabled while a run goes on; a click that still arrives starts nothing.
  if (batchWorker.IsRunning()) {
    DebugLog(L"OnButtonStart-busy");
    return;
  }
  switch (FindMissingTool()) {
    case MISSING_FFMPEG:
      ShowInstallDlg(INSTALL_FFMPEG);
      return;
    case MISSING_MEDIAINFO:
      ShowInstallDlg(INSTALL_MEDIAINFO);
      return;
    default:
      break;
  }
  GatherJobSettings(*this, currentItem, jobSettings);
  auto host = std::make_shared<CWindowBatchHost>(Hwnd(), lastPreview, commandRunner);
  CBatchOptions options;
  options.probe = batchProbe;
  BatchStart started = batchWorker.Start(jobSettings, host, options);
  if (started != BATCH_STARTED) {
    DebugLog(L"OnButtonStart-not started-%d", static_cast<int>(started));
    return;
  }
  batchHost_ = host;
  batchFinished = false;
  EnableItem(IDC_START, false);
}

void CMainDlg::OnBatchStatus() {
  if (batchHost_) SetItemText(IDC_STATUS_LINE, batchHost_->Status());
}

void CMainDlg::OnBatchEnd() {
  if (!batchHost_ || !batchHost_->Ended()) return;
  batchFinished = true;
  EnableItem(IDC_START, true);
}
