// The command preview and the batch: the job-kind radios show the command the chosen job
// would run for the current file; Start checks the tools (and, for the NVIDIA path, the GPU,
// on a thread of its own) and hands a snapshot of the settings to the batch worker, which runs
// on its own thread and tells the window of its progress by posted messages.
#include <memory>

#include "base/message.h"
#include "base/trace.h"
#include "base/user_data_folder.h"
#include "batch/file_command.h"
#include "batch/gpu_check.h"
#include "batch/run_journal.h"
#include "batch/run_resume.h"
#include "batch/start_check.h"
#include "jobs/command_builder.h"
#include "probe/probe_runner.h"
#include "ui/control_ids.h"
#include "ui/main_dlg.h"
#include "ui/run_texts.h"

void CMainDlg::UpdateCommandPreview() {
  GatherJobSettings(*this, currentItem, jobSettings);
  CBuiltCommand built = ProbeAndBuild(jobSettings, jobSettings.currentFile,
                                      RecallingProbe(probeMemory_, ProbeMediaFile), COutputReservations(), true);
  // The kind of output stays as the last output codec gave it.
  jobSettings.outputKind = OutputKindOf(jobSettings);
  // A file MediaInfo cannot read gets no command and no word; a merge whose files do not fit
  // says why. CmdSet then keeps the previous command, as the box does.
  if (built.refusal.Refused() && built.refusal.text != TXT_REFUSE_NOT_PROBED)
    ShowMessage(L"%s", RefusalText(built.refusal, uiLanguage));
  if (built.Made()) CmdSet = built.text;
  lastPreview = CPreviewedCommand{built.Made() ? built.text : std::wstring(),
                                  jobSettings.jobKind,
                                  jobSettings.files,
                                  built.output,
                                  built.expectedMs,
                                  jobSettings.outputFolder};
  DebugLog(L"CmdSet=%s", CmdSet);
  SetItemText(IDC_COMMAND_BOX, CmdSet);
}

void CMainDlg::OnButtonStart() {
  // While a run goes on the button reads "Stop".
  if (batchWorker.IsRunning()) {
    DebugLog(L"OnButtonStart-busy");
    OnButtonStop();
    return;
  }
  // Start is disabled while its check runs; a click that comes all the same waits with it.
  if (gpuCheck_.Running()) {
    DebugLog(L"OnButtonStart-checking");
    return;
  }
  if (!StartToolsPresent()) return;
  GatherJobSettings(*this, currentItem, jobSettings);
  if (!OutputFolderUsable(jobSettings)) return;
  // Twenty conversions that all fail the same way help nobody: where the NVIDIA path cannot
  // work here, the user chooses between the CPU and no run at all. The check may take seconds.
  if (UsesNvidiaPath(jobSettings)) {
    BeginGpuCheck();
    return;
  }
  StartBatch(jobSettings, lastPreview);
}

bool CMainDlg::StartToolsPresent() {
  switch (FindMissingTool()) {
    case MISSING_FFMPEG:
      ShowInstallDlg(INSTALL_FFMPEG);
      return false;
    case MISSING_MEDIAINFO:
      ShowInstallDlg(INSTALL_MEDIAINFO);
      return false;
    default:
      break;
  }
  std::wstring host = FindMissingConsoleHost();
  if (!host.empty()) {
    ShowProgramMessage(L"%s", FormatText(TXT_CONSOLE_HOST_MISSING, uiLanguage, host));
    return false;
  }
  return true;
}

// The layout stays as it is: Start is greyed and the status line says what goes on.
void CMainDlg::BeginGpuCheck() {
  heldSettings_ = jobSettings;
  heldPreview_ = lastPreview;
  heldStatus_ = GetItemText(IDC_STATUS_LINE);
  if (!gpuCheck_.Start(Hwnd(), heldSettings_)) return;
  DebugLog(L"OnButtonStart-checking GPU");
  EnableItem(IDC_START, false);
  SetItemText(IDC_STATUS_LINE, Text(TXT_GPU_CHECKING, uiLanguage));
}

void CMainDlg::OnGpuChecked(GpuDecision decision) {
  if (!gpuCheck_.Running()) return;
  gpuCheck_.Finish();
  EnableItem(IDC_START, true);
  SetItemText(IDC_STATUS_LINE, heldStatus_);
  JobSettings settings = heldSettings_;
  if (decision == GPU_NO_ENCODER) {
    ShowProgramMessage(
        L"%s", FormatText(TXT_GPU_NO_ENCODER, uiLanguage, VideoEncoderName(settings.outputCodec, true),
                          VideoEncoderName(settings.outputCodec, false)));
    DebugLog(L"OnButtonStart-no encoder, not started");
    return;
  }
  if (decision == GPU_UNAVAILABLE) {
    if (!AskYesNo(GpuUnavailableQuestion(uiLanguage))) {
      DebugLog(L"OnButtonStart-no GPU, not started");
      return;
    }
    // The box follows, so the preview and the next run say what this run does.
    CheckButton(IDC_GPU, false);
    OnCheckGpu();
    UseCpuInstead(jobSettings);
    UseCpuInstead(settings);
  }
  StartBatch(settings, heldPreview_);
}

void CMainDlg::StartBatch(const JobSettings& settings, const CPreviewedCommand& preview) {
  auto host = std::make_shared<CWindowBatchHost>(Hwnd(), preview, commandRunner,
                                                 static_cast<int>(settings.files.size()), settings.jobKind);
  CBatchOptions options;
  options.probe = RecallingProbe(probeMemory_, batchProbe);
  // Each run's report is kept in the user's own folder, the last ones of them.
  options.reportFolder = UserDataFolder(L"runs");
  // A run that is to end in an action is left alone by its user: its last console must not
  // wait for a key.
  options.pause = ChosenWhenDone() == WHEN_DONE_NOTHING;
  // Outputs that a run which died left unfinished (killed, a crash, a power cut) are marked so,
  // and named, before this run names its own.
  std::wstring unfinished;
  for (const CUnfinishedOutput& output : MarkUnfinishedOutputs()) {
    if (!unfinished.empty()) unfinished += L"\n\n";
    unfinished += FormatText(TXT_PARTIAL_RENAMED, uiLanguage, output.output, output.renamedTo);
  }
  if (!unfinished.empty()) ShowMessage(L"%s", unfinished);
  options.doneBefore = AskToResume(settings);
  CRefusal refusal;
  BatchStart started = batchWorker.Start(settings, host, options, &refusal);
  // Parts that differ make a joined file that plays wrong: the user decides.
  if (started == BATCH_PARTS_DIFFER) {
    if (!AskYesNo(FormatText(TXT_JOIN_ANYWAY_QUESTION, uiLanguage, RefusalText(refusal, uiLanguage)))) {
      DebugLog(L"OnButtonStart-parts differ, not started");
      return;
    }
    JobSettings anyway = settings;
    anyway.joinAnyway = true;
    started = batchWorker.Start(anyway, host, options, &refusal);
  }
  if (refusal.Refused()) ShowMessage(L"%s", RefusalText(refusal, uiLanguage));
  if (started != BATCH_STARTED) {
    DebugLog(L"OnButtonStart-not started-%d", static_cast<int>(started));
    return;
  }
  batchHost_ = host;
  batchFinished = false;
  SetItemText(IDC_START, StopCaption(uiLanguage));
  // The run's own files: the list may have changed since Start, while the GPU check ran.
  BeginRunProgress();
}

// Where an earlier run of these settings made some of the list's files whole but not all (a
// stopped or interrupted run), the user chooses between going on with the rest and running
// every file again. The files to leave out; none for a new run.
std::map<std::wstring, CDoneBefore> CMainDlg::AskToResume(const JobSettings& settings) {
  std::map<std::wstring, CDoneBefore> done = FindDoneInputs(settings, UserDataFolder(L"runs"));
  const int notDone = FilesNotDone(settings, done);
  if (done.empty() || notDone == 0) return {};
  const int doneCount = static_cast<int>(settings.files.size()) - notDone;
  const std::wstring question = FormatText(TXT_RESUME_QUESTION, uiLanguage, notDone, doneCount);
  if (EmitQuestion(question, Text(TXT_QUESTION_CAPTION, uiLanguage), Hwnd())) return done;
  DebugLog(L"OnButtonStart-every file again");
  return {};
}

void CMainDlg::OnButtonStop() {
  if (!AskYesNo(StopQuestion(uiLanguage))) return;
  // The run may have ended while the question was open; a stop then changes nothing.
  batchWorker.Stop();
}

bool CMainDlg::AskYesNo(const std::wstring& question) {
  return MessageBoxW(Hwnd(), question.c_str(), Text(TXT_QUESTION_CAPTION, uiLanguage),
                     MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CMainDlg::OnBatchStatus() { ShowRunStatus(); }

void CMainDlg::OnBatchEnd() {
  if (!batchHost_ || !batchHost_->Ended()) return;
  batchFinished = true;
  SetItemText(IDC_START, LabelText(IDC_START));
  SetItemText(IDC_STATUS_LINE,
              WithElapsedTime(RunReportText(batchHost_->Report(), uiLanguage), RunSeconds()));
  EndRunProgress();
  ShowRunEnd();
  ApplyWhenDone(batchHost_->Report());
}

// The status line counts; which files did not come out whole, and why, is said once, after it,
// with the run's report to open.
void CMainDlg::ShowRunEnd() {
  const std::wstring text = RunEndText(batchHost_->Report(), uiLanguage);
  if (text.empty()) return;
  const std::wstring report = batchHost_->ReportPath();
  if (report.empty()) {
    ShowProgramMessage(L"%s", text);
    return;
  }
  const std::wstring question = text + L"\n\n" + Text(TXT_RUN_END_OPEN_REPORT, uiLanguage);
  if (EmitQuestion(question, Text(TXT_QUESTION_CAPTION, uiLanguage), Hwnd()) && reportOpener)
    reportOpener(report);
}
