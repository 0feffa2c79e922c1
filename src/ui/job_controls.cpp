#include "ui/job_controls.h"

#include <climits>

#include "ui/control_ids.h"

namespace {
int ReadInt(const IJobControls& controls, int id) { return ParseDialogInt(controls.GetText(id)); }

// A range edit holds any integer; the field keeps it modulo 65536.
uint16_t ReadRangePart(const IJobControls& controls, int id) {
  return static_cast<uint16_t>(static_cast<uint32_t>(ReadInt(controls, id)) & 0xFFFFu);
}

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// The output folder as typed or pasted: without the blanks around it and without the quotes
// that Explorer's "Copy as path" puts around a path (no Windows name holds a quote).
std::wstring FolderOfText(const std::wstring& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  if (end - begin >= 2 && text[begin] == L'"' && text[end - 1] == L'"') {
    ++begin;
    --end;
  }
  return text.substr(begin, end - begin);
}
}  // namespace

int ParseDialogInt(const std::wstring& text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  size_t digitsBegin = i;
  long long value = 0;
  for (; i < n && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > static_cast<long long>(INT_MAX) + 1) return 0;  // out of range: not a number
  }
  if (i == digitsBegin) return 0;
  while (i < n && IsSpace(text[i])) ++i;
  if (i != n) return 0;
  if (negative) value = -value;
  if (value > INT_MAX || value < INT_MIN) return 0;
  return static_cast<int>(value);
}

int GetCheckedItems(const IJobControls& controls, int listId, std::vector<uint32_t>* rows) {
  const int count = controls.RowCount(listId);
  if (rows != nullptr) rows->clear();
  int found = -1;
  for (int row = 0; row < count; ++row) {
    if (!controls.IsRowChecked(listId, row)) continue;
    if (rows == nullptr) return row + 1;
    rows->push_back(static_cast<uint32_t>(row));
    found = row + 1;
  }
  return found;
}

void GatherJobSettings(const IJobControls& controls, int currentItem, JobSettings& settings) {
  const int fileCount = controls.RowCount(IDC_FILE_LIST);
  if (currentItem >= 0 && currentItem < fileCount) {
    settings.currentFile = controls.RowText(IDC_FILE_LIST, currentItem);
  } else {
    settings.currentFile = DEFAULT_INPUT_NAME;
  }

  settings.files.clear();
  // Whole rows: a dropped path may have up to 1023 characters, and a cut one names another file.
  for (int row = 0; row < fileCount; ++row) settings.files.push_back(controls.RowText(IDC_FILE_LIST, row));

  settings.outputCodec = GetCheckedItems(controls, IDC_OUTPUT_CODEC_LIST);

  settings.useGpu = controls.IsChecked(IDC_GPU);
  settings.gpuCompatMode = false;
  if (settings.useGpu) settings.gpuCompatMode = controls.IsChecked(IDC_GPU_COMPAT);

  settings.useVideoBitRate = controls.IsChecked(IDC_USE_VIDEO_BITRATE);
  settings.videoBitRate = ReadInt(controls, IDC_VIDEO_BITRATE);
  settings.useQuantizer = controls.IsChecked(IDC_USE_QUANTIZER);
  settings.quantizer = ReadInt(controls, IDC_QUANTIZER);

  settings.copyVideo = controls.IsChecked(IDC_COPY_VIDEO);
  settings.containerMp4 = controls.IsChecked(IDC_CONTAINER_MP4);
  settings.containerMkv = controls.IsChecked(IDC_CONTAINER_MKV);
  settings.scale1080 = controls.IsChecked(IDC_SCALE_1080);
  settings.pixelFormatCompat = controls.IsChecked(IDC_PIXEL_FORMAT_COMPAT);

  GetCheckedItems(controls, IDC_AUDIO_STREAM_LIST, &settings.selectedAudioTracks);

  settings.allAudioTracks = controls.IsChecked(IDC_ALL_AUDIO_TRACKS);
  settings.copyAudio = controls.IsChecked(IDC_AUDIO_COPY);
  // The rate edit is disabled while audio is copied; the value of the last gather stays.
  if (!settings.copyAudio) settings.audioBitRate = ReadInt(controls, IDC_AUDIO_BITRATE);

  settings.downmixStereo = controls.IsChecked(IDC_DOWNMIX);
  settings.audioAac = controls.IsChecked(IDC_AUDIO_AAC);
  settings.audioMp3 = controls.IsChecked(IDC_AUDIO_MP3);
  settings.forceAudioEncode = controls.IsChecked(IDC_FORCE_AUDIO_ENCODE);

  settings.applyRange = controls.IsChecked(IDC_RANGE_APPLY);
  settings.rangeCopy = false;
  settings.rangeAccurate = false;
  settings.rangeStart = RangeTime();
  settings.rangeEnd = RangeTime();
  if (settings.applyRange) {
    settings.rangeCopy = controls.IsChecked(IDC_RANGE_COPY);
    settings.rangeAccurate = controls.IsChecked(IDC_RANGE_ACCURATE);
    settings.rangeStart.hours = ReadRangePart(controls, IDC_RANGE_START_H);
    settings.rangeStart.minutes = ReadRangePart(controls, IDC_RANGE_START_M);
    settings.rangeStart.seconds = ReadRangePart(controls, IDC_RANGE_START_S);
    settings.rangeEnd.hours = ReadRangePart(controls, IDC_RANGE_END_H);
    settings.rangeEnd.minutes = ReadRangePart(controls, IDC_RANGE_END_M);
    settings.rangeEnd.seconds = ReadRangePart(controls, IDC_RANGE_END_S);
  }

  settings.outputFolder = FolderOfText(controls.GetText(IDC_OUTPUT_FOLDER));
  settings.keepSourceDates = controls.IsChecked(IDC_KEEP_DATES);
}

namespace {
struct CJobRadio {
  int32_t jobKind;
  int id;
};
constexpr CJobRadio kJobRadios[] = {
    {JOB_VIDEO_EXTRACT, IDC_JOB_VIDEO_EXTRACT},
    {JOB_AUDIO_EXTRACT, IDC_JOB_AUDIO_EXTRACT},
    {JOB_CONVERT, IDC_JOB_CONVERT},
    {JOB_MERGE_FILES, IDC_JOB_MERGE_FILES},
    {JOB_MERGE_VIDEO_AUDIO, IDC_JOB_MERGE_VIDEO_AUDIO},
};
}  // namespace

int32_t JobKindOfRadio(int id) {
  for (const CJobRadio& radio : kJobRadios)
    if (radio.id == id) return radio.jobKind;
  return 0;
}

int JobRadioOf(int32_t jobKind) {
  for (const CJobRadio& radio : kJobRadios)
    if (radio.jobKind == jobKind) return radio.id;
  return 0;
}
