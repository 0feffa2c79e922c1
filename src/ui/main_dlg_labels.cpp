// The main window's labels in the two interface languages. A control not listed keeps its
// template text in both ("1080p", "AAC", "MP4", "MP3", "MKV", "?"). A few controls are wider in
// the English window, where the words need the room.
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
    {IDC_FILE_ADD, TXT_LABEL_FILE_ADD},
    {IDC_FOLDER_ADD, TXT_LABEL_FOLDER_ADD},
    {IDC_DOWNMIX, TXT_LABEL_DOWNMIX},
    {IDC_PIXEL_FORMAT_COMPAT, TXT_LABEL_PIXEL_FORMAT},
    {IDC_FORCE_AUDIO_ENCODE, TXT_LABEL_FORCE_AUDIO},
    {IDC_OUTPUT_FOLDER_LABEL, TXT_LABEL_OUTPUT_FOLDER},
    {IDC_OUTPUT_FOLDER_BROWSE, TXT_LABEL_BROWSE},
    {IDC_KEEP_DATES, TXT_LABEL_KEEP_DATES},
    {IDC_WHEN_DONE_LABEL, TXT_LABEL_WHEN_DONE},
    {IDC_PRESET_SAVE, TXT_LABEL_PRESET_SAVE},
    {IDC_PRESET_DELETE, TXT_LABEL_PRESET_DELETE},
};

struct CWidth {
  int id;
  int width;  // dialog units
};

// The English widths of controls whose English words need more room than the template gives:
// each grows to the right, into space no other control takes. The Korean window keeps the
// template's sizes.
constexpr CWidth kEnglishWidths[] = {
    {IDC_INPUT_CODEC_LABEL, 50},   // up to x 389, short of the output codec's label at 401
    {IDC_OUTPUT_CODEC_LABEL, 56},  // up to x 457, inside the video frame
    {IDC_GPU, 80},                 // up to x 416, short of the copy box at 426
    {IDC_COMMAND_LABEL, 110},      // above the command box, which is 320 wide
    {IDC_RANGE_COPY, 100},         // up to x 447, inside the range frame
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
  if (uiLanguage == kUiLanguageKorean) return;
  for (const CWidth& wider : kEnglishWidths) {
    HWND control = Item(wider.id);
    RECT now{};
    GetWindowRect(control, &now);
    RECT units{0, 0, wider.width, 0};
    MapDialogRect(Hwnd(), &units);
    SetWindowPos(control, nullptr, 0, 0, units.right, now.bottom - now.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}
