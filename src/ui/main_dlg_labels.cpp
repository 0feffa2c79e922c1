// The main window's labels in the two interface languages. A control not listed keeps its
// template text in both ("파일 추가", "2채널 전환", "1080p", "픽셀포맷호환", "강제 인코딩",
// "AAC", "MP4", "MP3", "MKV", "?").
#include "base/texts.h"
#include "ui/control_ids.h"
#include "ui/main_dlg.h"

namespace {

struct CLabel {
  int id;
  TextId text;
};

// Applied in this order; the words are in the table of each language (base/texts_*.cpp).
constexpr CLabel kLabels[] = {
    {IDC_HINT, TXT_LABEL_HINT},
    {IDC_FILE_REMOVE, TXT_LABEL_FILE_REMOVE},
    {IDC_MEDIA_INFO, TXT_LABEL_MEDIA_INFO},
    {IDC_VIDEO_GROUP, TXT_LABEL_VIDEO_GROUP},
    {IDC_INPUT_CODEC_LABEL, TXT_LABEL_INPUT_CODEC},
    {IDC_OUTPUT_CODEC_LABEL, TXT_LABEL_OUTPUT_CODEC},
    {IDC_GPU, TXT_LABEL_GPU},
    {IDC_GPU_COMPAT, TXT_LABEL_GPU_COMPAT},
    {IDC_COPY_VIDEO, TXT_LABEL_COPY_VIDEO},
    {IDC_QUALITY_GROUP, TXT_LABEL_QUALITY_GROUP},
    {IDC_USE_VIDEO_BITRATE, TXT_LABEL_USE_VIDEO_BITRATE},
    {IDC_USE_QUANTIZER, TXT_LABEL_USE_QUANTIZER},
    {IDC_AUDIO_GROUP, TXT_LABEL_AUDIO_GROUP},
    {IDC_STREAM_LABEL, TXT_LABEL_STREAM},
    {IDC_ALL_AUDIO_TRACKS, TXT_LABEL_ALL_AUDIO_TRACKS},
    {IDC_AUDIO_COPY, TXT_LABEL_AUDIO_COPY},
    {IDC_AUDIO_QUALITY, TXT_LABEL_AUDIO_QUALITY},
    {IDC_RANGE_GROUP, TXT_LABEL_RANGE_GROUP},
    {IDC_RANGE_APPLY, TXT_LABEL_RANGE_APPLY},
    {IDC_RANGE_COPY, TXT_LABEL_RANGE_COPY},
    {IDC_RANGE_ACCURATE, TXT_LABEL_RANGE_ACCURATE},
    {IDC_JOB_GROUP, TXT_LABEL_JOB_GROUP},
    {IDC_JOB_VIDEO_EXTRACT, TXT_LABEL_JOB_VIDEO_EXTRACT},
    {IDC_JOB_AUDIO_EXTRACT, TXT_LABEL_JOB_AUDIO_EXTRACT},
    {IDC_JOB_MERGE_FILES, TXT_LABEL_JOB_MERGE_FILES},
    {IDC_JOB_MERGE_VIDEO_AUDIO, TXT_LABEL_JOB_MERGE_VIDEO_AUDIO},
    {IDC_JOB_CONVERT, TXT_LABEL_JOB_CONVERT},
    {IDC_START, TXT_LABEL_START},
    {IDC_COMMAND_LABEL, TXT_LABEL_COMMAND},
    {IDC_HELP_LABEL, TXT_LABEL_HELP},
};

}  // namespace

std::wstring CMainDlg::LabelText(int id) const {
  for (const CLabel& label : kLabels) {
    if (label.id == id) return Text(label.text, uiLanguage);
  }
  return std::wstring();
}

void CMainDlg::ApplyLanguageLabels() {
  for (const CLabel& label : kLabels) SetItemText(label.id, Text(label.text, uiLanguage));
}
