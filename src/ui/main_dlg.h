#pragma once
// The main window (template 102): the one long-lived object of the program. It owns the
// controls, the description of the current file, the job options, the settings store and the
// missing-tool dialog. The job logic reads the controls through IJobControls.
#include <windows.h>
// needs <windows.h> first
#include <shellapi.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/kestrune_version.h"
#include "base/registry_store.h"
#include "base/texts.h"
#include "batch/batch_worker.h"
#include "batch/probe_memory.h"
#include "jobs/job_settings.h"
#include "probe/media_desc.h"
#include "ui/dialog_base.h"
#include "ui/folder_picker.h"
#include "ui/gdi_handles.h"
#include "ui/gpu_check_thread.h"
#include "ui/install_dlg.h"
#include "ui/job_controls.h"
#include "ui/power_action.h"
#include "ui/taskbar_progress.h"
#include "ui/window_batch_host.h"

// The caption of the main window in the interface language.
inline const wchar_t* MainWindowTitle(int32_t uiLanguage) { return Text(TXT_WINDOW_TITLE, uiLanguage); }
// The registry values of the window position, and the range in which a position is saved.
constexpr const wchar_t* kWindowXValue = L"win_x";
constexpr const wchar_t* kWindowYValue = L"win_y";
constexpr long kSavedPositionMin = 1;
constexpr long kSavedPositionMax = 5000;

class CMainDlg : public CDialogBase, public IJobControls {
 public:
  CMainDlg();
  ~CMainDlg() override;

  // Labels of uiLanguage: the Korean table for 18, the English one otherwise.
  void ApplyLanguageLabels();
  // The label of control id in uiLanguage; empty for a control without one.
  std::wstring LabelText(int id) const;
  // The option controls' state kept between runs, beside the window position: check boxes, bit
  // rates, quantiser, output codec and job kind (not the files, the range or the audio rows).
  // Saved when the window is destroyed; applied at start over the defaults, where a value is
  // present and in range.
  void SaveOptions();
  void RestoreOptions();
  // The kept options as the controls hold them (the job as last chosen), and the controls set
  // to those of settings, with the boxes they enable.
  JobSettings KeptSettingsOfControls() const;
  void ShowKeptSettings(const JobSettings& settings);
  // Writes the window's top-left corner to the store when both lie in 1..5000.
  bool SaveWindowPos();
  // Moves the window to the stored corner, pulled to the middle of the screen on an axis
  // where it would lie off screen.
  void RestoreWindowPos();
  // Shows the missing-tool dialog for mode (1 ffmpeg, 2 MediaInfo) near the window's top-left
  // corner, with its texts. Returns 1.
  int ShowInstallDlg(int32_t mode);

  // IJobControls, over the real controls.
  bool IsChecked(int id) const override { return CDialogBase::IsChecked(id); }
  std::wstring GetText(int id) const override { return GetItemText(id); }
  int RowCount(int listId) const override;
  std::wstring RowText(int listId, int row) const override;
  bool IsRowChecked(int listId, int row) const override;

  MediaDesc currentMedia;
  const int32_t uiLanguage;  // 18 Korean labels, 9 English; fixed at construction
  std::unique_ptr<CRegistryStore> registryStore;
  int32_t currentItem = -1;
  JobSettings jobSettings;
  std::atomic<bool> batchFinished{true};  // cleared when a batch starts, set when it ends
  std::wstring CmdSet;
  std::unique_ptr<CInstallDlg> installDlg;
  CIconHandle appIcon;
  int32_t lastInputRow = -1;

  // The batch: one run at a time on its own snapshot. The preview's last build goes with each
  // Start, so a merge of video and audio runs only a command made for the current file list.
  CBatchWorker batchWorker;
  CPreviewedCommand lastPreview;
  // How the batch's commands and the media-info console's command run: each in a console of
  // its own (RunInOwnConsole). Tests wrap it to watch or hold a run; it still runs the real
  // text.
  CommandRunner commandRunner;
  // How a run probes its files (ProbeMediaFile); tests wrap it to hold a run inside a build.
  // A file described when it was clicked, and unchanged since, is not probed again.
  ProbeFunction batchProbe;
  // Opens a run's report when the end message's Yes asks for it: the shell's "open" of the file.
  // Tests put their own.
  std::function<void(const std::wstring& path)> reportOpener;
  // The run's progress on the taskbar button; tests give it a fake button.
  CTaskbarProgress taskbarProgress;
  // A pressed Start that takes the NVIDIA path waits here, the window answering, while its GPU
  // check runs; Start is disabled meanwhile.
  bool GpuCheckRunning() const { return gpuCheck_.Running(); }
  // The shell's folder picker behind the output folder's Browse button and "Add folder"
  // (PickFolder); tests stand in for it.
  FolderPicker folderPicker;
  // What puts the computer to sleep or shuts it down when a run that asked for it has ended
  // well (DoPowerAction); tests stand in for it, so that no test ever does either. The
  // countdown before it lasts powerCountdownSeconds.
  PowerAction powerAction;
  int powerCountdownSeconds = 60;

 protected:
  bool OnInitDialog() override;
  void OnCommand(int id, int code, HWND control) override;
  bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
  bool OnMessage(UINT message, WPARAM w, LPARAM l, LRESULT& result) override;
  void OnAnyMessage(UINT message, WPARAM w, LPARAM l) override;
  void OnDestroy() override;
  bool PreTranslateMessage(MSG* msg) override;

 private:
  // What the window's probes told: the preview and a run take a clicked file's description.
  std::shared_ptr<CProbeMemory> probeMemory_ = std::make_shared<CProbeMemory>();
  void SetUpLists();
  void SetDefaultOptions();

  bool OnSysCommand(UINT id, LPARAM position);
  bool OnPaint();
  void OnDropFiles(HDROP drop);

  void OnButtonStart();
  void OnButtonFileRemove();
  void OnButtonFileAdd();
  void OnButtonFolderAdd();
  // Appends paths as rows, a folder giving way to the media files below it (its root kept in
  // jobSettings.folderRoots); says which folders could not be read or held none.
  void AddPaths(const std::vector<std::wstring>& paths);
  void OnButtonMediaInfo();
  void OnButtonTest();
  void OnButtonHelp();
  void OnCheckAudioCopy();
  void OnCheckAllAudio();
  void OnCheckGpu();
  void OnCheckRange();
  void OnRadioJobKind(int radioId, int32_t jobKind);
  void UpdateCommandPreview();
  void OnClickListVideo(int row);
  // The clicked file's description into currentMedia, with its lengths to the millisecond: from
  // probeMemory_ while the file is unchanged, else probed, measured and kept there.
  void DescribeCurrentFile();
  void OnClickListInput(int row);
  void OnClickListOutput(int row);
  // checkedBeforeClick: the row's mark as it was when the click arrived.
  void OnClickListAudio(int row, bool checkedBeforeClick);
  // A click on one of the three check lists, taken up after the list's own handling of it.
  void OnListClickPosted(WPARAM w, LPARAM l);
  void OnBatchStatus();
  void OnBatchEnd();
  // A run's progress: the bar under the command box, the figures and the elapsed time on the
  // status line, and the taskbar button.
  void BeginRunProgress();
  void ShowRunStatus();
  void OnBatchFileEnd();
  void OnBatchProgress();
  // The end message of a run that left files failed, short or skipped; it offers the report.
  void ShowRunEnd();
  // The run's clock; false for any other timer.
  bool OnTimer(UINT_PTR id);
  void EndRunProgress();
  int64_t RunSeconds() const;
  // The tools Start needs are there; otherwise it has offered their install or said which.
  bool StartToolsPresent();
  // Start's GPU check: begun with the Start it holds, answered by WM_GPU_CHECKED.
  void BeginGpuCheck();
  void OnGpuChecked(GpuDecision decision);
  // The run itself, on the snapshot Start took.
  void StartBatch(const JobSettings& settings, const CPreviewedCommand& preview);
  // A Yes/No question over the window, captioned with the program's name; true for Yes.
  bool AskYesNo(const std::wstring& question);
  std::map<std::wstring, CDoneBefore> AskToResume(const JobSettings& settings);
  // The pressed Start of a running batch: asks, then stops the run.
  void OnButtonStop();
  // The output folder: Browse, and the check at Start that it can take the run's files (a
  // refused one is named in a message).
  void OnButtonOutputFolderBrowse();
  // The preset row: its box lists the presets (shown names the one in its edit), a pick
  // applies one, Save stores the options under the name typed, Delete removes a saved one.
  void FillPresets(const std::wstring& shown);
  std::wstring PresetBoxName() const;
  void OnSelectPreset();
  void OnButtonPresetSave();
  void OnButtonPresetDelete();
  // The output folder of settings, and the folders of kept trees below it, made as needed.
  bool OutputFolderUsable(const JobSettings& settings);
  // The "when done" list beside Start: its choices, the one chosen, and what it does at the end
  // of a run, which must have gone all well.
  void SetUpWhenDone();
  WhenDone ChosenWhenDone() const;
  void ApplyWhenDone(const CBatchReport& report);

  std::shared_ptr<CWindowBatchHost> batchHost_;  // the host of the current or last run
  CRunProgress runProgress_;                     // its progress as last heard
  ULONGLONG runStartTick_ = 0;                   // when the current or last run started
  CGpuCheckThread gpuCheck_;
  // The Start held while its check runs: the settings and preview it took, and the status
  // line's text before it, shown again when the answer comes.
  JobSettings heldSettings_;
  CPreviewedCommand heldPreview_;
  std::wstring heldStatus_;
};
