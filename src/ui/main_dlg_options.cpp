// The option controls kept between runs in the settings store, beside the window position.
// Each value is a 32-bit number under its own name (the output folder a text); one that is
// missing, damaged (not a number the control can take) or out of range leaves the control at
// its default. The choice of what to do when a run is done is never kept: a shutdown that fires
// on a later day, on a machine in use, is the worst surprise the window could make.
#include "ui/control_ids.h"
#include "ui/job_controls.h"
#include "ui/list_view.h"
#include "ui/main_dlg.h"

namespace {

// A value that reads as missing: written for a control whose text is no number in range, so
// an older value does not come back.
constexpr uint32_t kNoValue = 0xFFFFFFFF;
constexpr int kOutputCodecRows = 5;

struct CKeptCheck {
  const wchar_t* name;
  int id;
};

// Every check box that carries a job option, except those of the range.
constexpr CKeptCheck kKeptChecks[] = {
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
    {L"opt_audio_quality", IDC_AUDIO_QUALITY},
    {L"opt_downmix", IDC_DOWNMIX},
    {L"opt_force_audio", IDC_FORCE_AUDIO_ENCODE},
    {L"opt_aac", IDC_AUDIO_AAC},
    {L"opt_mp3_audio", IDC_AUDIO_MP3},
    {L"opt_keep_dates", IDC_KEEP_DATES},
};

struct CKeptNumber {
  const wchar_t* name;
  int id;
  int32_t least;
  int32_t most;
};

constexpr CKeptNumber kKeptNumbers[] = {
    {L"opt_video_bitrate", IDC_VIDEO_BITRATE, 1, 1000000},
    {L"opt_quantizer", IDC_QUANTIZER, 0, 51},
    {L"opt_audio_bitrate", IDC_AUDIO_BITRATE, 1, 100000},
};

constexpr const wchar_t* kOutputCodecValue = L"opt_output_codec";
constexpr const wchar_t* kJobKindValue = L"opt_job";
// A text: the folder as it stands in its box, empty for beside the inputs.
constexpr const wchar_t* kOutputFolderValue = L"opt_output_folder";

bool InRange(int32_t value, int32_t least, int32_t most) { return value >= least && value <= most; }

}  // namespace

void CMainDlg::SaveOptions() {
  if (!registryStore) return;
  for (const CKeptCheck& check : kKeptChecks) registryStore->SetInt(check.name, IsChecked(check.id) ? 1 : 0);
  for (const CKeptNumber& number : kKeptNumbers) {
    std::wstring text = GetItemText(number.id);
    int32_t value = ParseDialogInt(text);
    bool valid = !text.empty() && InRange(value, number.least, number.most);
    registryStore->SetInt(number.name, valid ? static_cast<uint32_t>(value) : kNoValue);
  }
  int32_t codec = GetCheckedItems(*this, IDC_OUTPUT_CODEC_LIST, nullptr);
  registryStore->SetInt(kOutputCodecValue, codec > 0 ? static_cast<uint32_t>(codec) : kNoValue);
  registryStore->SetInt(kJobKindValue, static_cast<uint32_t>(jobSettings.jobKind));
  registryStore->SetText(kOutputFolderValue, GetItemText(IDC_OUTPUT_FOLDER));
}

void CMainDlg::RestoreOptions() {
  if (!registryStore) return;
  uint32_t value = 0;
  for (const CKeptCheck& check : kKeptChecks) {
    int32_t read = registryStore->GetInt(check.name, value);
    if (read == 0 || read == 1) CheckButton(check.id, read == 1);
  }
  for (const CKeptNumber& number : kKeptNumbers) {
    int32_t read = registryStore->GetInt(number.name, value);
    if (read != -1 && InRange(read, number.least, number.most)) SetItemInt(number.id, read);
  }
  int32_t codec = registryStore->GetInt(kOutputCodecValue, value);
  if (InRange(codec, 1, kOutputCodecRows)) {
    HWND list = Item(IDC_OUTPUT_CODEC_LIST);
    for (int row = 0; row < kOutputCodecRows; ++row) SetListRowChecked(list, row, row == codec - 1);
  }
  int32_t job = registryStore->GetInt(kJobKindValue, value);
  if (int radio = JobRadioOf(job)) {
    CheckRadioButton(Hwnd(), IDC_JOB_VIDEO_EXTRACT, IDC_JOB_MERGE_VIDEO_AUDIO, radio);
    jobSettings.jobKind = job;
  }
  std::wstring folder;
  if (registryStore->GetText(kOutputFolderValue, folder)) SetItemText(IDC_OUTPUT_FOLDER, folder);
  // The boxes that enable others, as a click on them would leave them.
  OnCheckGpu();
  OnCheckAudioCopy();
}
