// The option controls kept between runs in the settings store, beside the window position, and
// applied from a preset. Each value is a 32-bit number under its own name (the output folder a
// text); one that is missing, damaged (not a number the control can take) or out of range
// leaves the control as it was. The choice of what to do when a run is done is never kept: a
// shutdown that fires on a later day, on a machine in use, is the worst surprise the window
// could make.
#include "batch/preset_store.h"
#include "jobs/kept_options.h"
#include "ui/control_ids.h"
#include "ui/job_controls.h"
#include "ui/list_view.h"
#include "ui/main_dlg.h"

namespace {

constexpr int kOutputCodecRows = 5;
// The "샘플링" box of the audio group: kept, though no command depends on it, so it is no job
// option and no preset holds it.
constexpr const wchar_t* kAudioQualityValue = L"opt_audio_quality";

struct CKeptControl {
  const wchar_t* name;  // the kept option (jobs/kept_options.h)
  int id;
};

// The control of every kept check box and number; the output codec, the job and the output
// folder have controls of their own kind.
constexpr CKeptControl kKeptChecks[] = {
    {L"opt_gpu", IDC_GPU},
    {L"opt_gpu_compat", IDC_GPU_COMPAT},
    {L"opt_video_bitrate_on", IDC_USE_VIDEO_BITRATE},
    {L"opt_quantizer_on", IDC_USE_QUANTIZER},
    {L"opt_copy_video", IDC_COPY_VIDEO},
    {L"opt_mp4", IDC_CONTAINER_MP4},
    {L"opt_mkv", IDC_CONTAINER_MKV},
    {L"opt_scale1080", IDC_SCALE_1080},
    {L"opt_pixel_format", IDC_PIXEL_FORMAT_COMPAT},
    {L"opt_all_tracks", IDC_ALL_AUDIO_TRACKS},
    {L"opt_copy_audio", IDC_AUDIO_COPY},
    {L"opt_downmix", IDC_DOWNMIX},
    {L"opt_force_audio", IDC_FORCE_AUDIO_ENCODE},
    {L"opt_aac", IDC_AUDIO_AAC},
    {L"opt_mp3_audio", IDC_AUDIO_MP3},
    {L"opt_keep_dates", IDC_KEEP_DATES},
};

constexpr CKeptControl kKeptNumbers[] = {
    {L"opt_video_bitrate", IDC_VIDEO_BITRATE},
    {L"opt_quantizer", IDC_QUANTIZER},
    {L"opt_audio_bitrate", IDC_AUDIO_BITRATE},
};

size_t IndexOf(const CKeptControl& control) { return static_cast<size_t>(FindKeptOption(control.name)); }

}  // namespace

// The controls as they stand, each through the check its option makes: a number box whose text
// is no number in range keeps the default, which is what the next start shows for it.
JobSettings CMainDlg::KeptSettingsOfControls() const {
  JobSettings settings;
  CKeptValue value;
  for (const CKeptControl& check : kKeptChecks) {
    value.number = CDialogBase::IsChecked(check.id) ? 1 : 0;
    TakeKeptValue(IndexOf(check), value, settings);
  }
  for (const CKeptControl& number : kKeptNumbers) {
    std::wstring text = GetItemText(number.id);
    int32_t read = ParseDialogInt(text);
    if (text.empty() || read < 0) continue;
    value.number = static_cast<uint32_t>(read);
    TakeKeptValue(IndexOf(number), value, settings);
  }
  settings.outputCodec = GetCheckedItems(*this, IDC_OUTPUT_CODEC_LIST, nullptr);
  if (settings.outputCodec < 1) settings.outputCodec = JobSettings().outputCodec;
  settings.jobKind = jobSettings.jobKind;
  settings.outputFolder = GetItemText(IDC_OUTPUT_FOLDER);
  return settings;
}

void CMainDlg::ShowKeptSettings(const JobSettings& settings) {
  CKeptValue value;
  for (const CKeptControl& check : kKeptChecks) {
    if (KeptValueOf(settings, IndexOf(check), value)) CheckButton(check.id, value.number == 1);
  }
  for (const CKeptControl& number : kKeptNumbers) {
    if (KeptValueOf(settings, IndexOf(number), value)) SetItemInt(number.id, static_cast<int>(value.number));
  }
  if (settings.outputCodec >= 1 && settings.outputCodec <= kOutputCodecRows) {
    HWND list = Item(IDC_OUTPUT_CODEC_LIST);
    for (int row = 0; row < kOutputCodecRows; ++row)
      SetListRowChecked(list, row, row == settings.outputCodec - 1);
  }
  if (int radio = JobRadioOf(settings.jobKind)) {
    CheckRadioButton(Hwnd(), IDC_JOB_VIDEO_EXTRACT, IDC_JOB_MERGE_VIDEO_AUDIO, radio);
    jobSettings.jobKind = settings.jobKind;
  }
  if (settings.outputFolder != GetItemText(IDC_OUTPUT_FOLDER))
    SetItemText(IDC_OUTPUT_FOLDER, settings.outputFolder);
  // The boxes that enable others, as a click on them would leave them.
  OnCheckGpu();
  OnCheckAudioCopy();
}

void CMainDlg::SaveOptions() {
  if (!registryStore) return;
  SaveKeptOptions(*registryStore, KeptSettingsOfControls());
  registryStore->SetInt(kAudioQualityValue, CDialogBase::IsChecked(IDC_AUDIO_QUALITY) ? 1 : 0);
}

void CMainDlg::RestoreOptions() {
  if (!registryStore) return;
  JobSettings settings = KeptSettingsOfControls();
  RestoreKeptOptions(*registryStore, settings);
  uint32_t value = 0;
  int32_t quality = registryStore->GetInt(kAudioQualityValue, value);
  if (quality == 0 || quality == 1) CheckButton(IDC_AUDIO_QUALITY, quality == 1);
  ShowKeptSettings(settings);
}
