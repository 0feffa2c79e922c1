#include "jobs/kept_options.h"

namespace {

struct CKeptField {
  CKeptOption option;
  bool JobSettings::*flag;
  int32_t JobSettings::*number;
  int32_t least;
  int32_t most;
};

constexpr int32_t kNoRange = 0;

// The stored names are those the window has always kept its controls under.
const CKeptField kKeptFields[] = {
    {{L"opt_gpu", KEPT_FLAG}, &JobSettings::useGpu, nullptr, kNoRange, kNoRange},
    {{L"opt_gpu_compat", KEPT_FLAG}, &JobSettings::gpuCompatMode, nullptr, kNoRange, kNoRange},
    {{L"opt_video_bitrate_on", KEPT_FLAG}, &JobSettings::useVideoBitRate, nullptr, kNoRange, kNoRange},
    {{L"opt_quantizer_on", KEPT_FLAG}, &JobSettings::useQuantizer, nullptr, kNoRange, kNoRange},
    {{L"opt_copy_video", KEPT_FLAG}, &JobSettings::copyVideo, nullptr, kNoRange, kNoRange},
    {{L"opt_mp4", KEPT_FLAG}, &JobSettings::containerMp4, nullptr, kNoRange, kNoRange},
    {{L"opt_mkv", KEPT_FLAG}, &JobSettings::containerMkv, nullptr, kNoRange, kNoRange},
    {{L"opt_scale1080", KEPT_FLAG}, &JobSettings::scale1080, nullptr, kNoRange, kNoRange},
    {{L"opt_pixel_format", KEPT_FLAG}, &JobSettings::pixelFormatCompat, nullptr, kNoRange, kNoRange},
    {{L"opt_all_tracks", KEPT_FLAG}, &JobSettings::allAudioTracks, nullptr, kNoRange, kNoRange},
    {{L"opt_copy_audio", KEPT_FLAG}, &JobSettings::copyAudio, nullptr, kNoRange, kNoRange},
    {{L"opt_downmix", KEPT_FLAG}, &JobSettings::downmixStereo, nullptr, kNoRange, kNoRange},
    {{L"opt_force_audio", KEPT_FLAG}, &JobSettings::forceAudioEncode, nullptr, kNoRange, kNoRange},
    {{L"opt_aac", KEPT_FLAG}, &JobSettings::audioAac, nullptr, kNoRange, kNoRange},
    {{L"opt_mp3_audio", KEPT_FLAG}, &JobSettings::audioMp3, nullptr, kNoRange, kNoRange},
    {{L"opt_keep_dates", KEPT_FLAG}, &JobSettings::keepSourceDates, nullptr, kNoRange, kNoRange},
    {{L"opt_video_bitrate", KEPT_NUMBER}, nullptr, &JobSettings::videoBitRate, 1, 1000000},
    {{L"opt_quantizer", KEPT_NUMBER}, nullptr, &JobSettings::quantizer, 0, 51},
    {{L"opt_audio_bitrate", KEPT_NUMBER}, nullptr, &JobSettings::audioBitRate, 1, 100000},
    {{L"opt_output_codec", KEPT_NUMBER}, nullptr, &JobSettings::outputCodec, OUT_H264, OUT_MP3},
    {{L"opt_job", KEPT_NUMBER}, nullptr, &JobSettings::jobKind, JOB_VIDEO_EXTRACT, JOB_MERGE_VIDEO_AUDIO},
    // The folder as it stands in its box, empty for beside the inputs.
    {{L"opt_output_folder", KEPT_TEXT}, nullptr, nullptr, kNoRange, kNoRange},
};

constexpr size_t kFieldCount = sizeof kKeptFields / sizeof kKeptFields[0];

wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameName(const std::wstring& a, const wchar_t* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != L'\0'; ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return i == a.size() && b[i] == L'\0';
}

}  // namespace

size_t KeptOptionCount() { return kFieldCount; }

const CKeptOption& KeptOption(size_t index) { return kKeptFields[index].option; }

int FindKeptOption(const std::wstring& name) {
  for (size_t i = 0; i < kFieldCount; ++i) {
    if (SameName(name, kKeptFields[i].option.name)) return static_cast<int>(i);
  }
  return -1;
}

bool KeptValueOf(const JobSettings& settings, size_t index, CKeptValue& value) {
  if (index >= kFieldCount) return false;
  const CKeptField& field = kKeptFields[index];
  switch (field.option.kind) {
    case KEPT_FLAG:
      value.number = settings.*field.flag ? 1 : 0;
      return true;
    case KEPT_NUMBER: {
      int32_t number = settings.*field.number;
      value.number = static_cast<uint32_t>(number);
      return number >= field.least && number <= field.most;
    }
    case KEPT_TEXT:
      value.text = settings.outputFolder;
      return true;
  }
  return false;
}

bool TakeKeptValue(size_t index, const CKeptValue& value, JobSettings& settings) {
  if (index >= kFieldCount) return false;
  const CKeptField& field = kKeptFields[index];
  switch (field.option.kind) {
    case KEPT_FLAG:
      if (value.number > 1) return false;
      settings.*field.flag = value.number == 1;
      return true;
    case KEPT_NUMBER:
      if (value.number > static_cast<uint32_t>(field.most) ||
          static_cast<int32_t>(value.number) < field.least)
        return false;
      settings.*field.number = static_cast<int32_t>(value.number);
      return true;
    case KEPT_TEXT:
      settings.outputFolder = value.text;
      return true;
  }
  return false;
}
