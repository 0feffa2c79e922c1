#include "jobs/option_words.h"

#include <string>

const std::vector<COptionName>& JobKindNames() {
  static const std::vector<COptionName> names = {
      {L"convert", JOB_CONVERT},   {L"video", JOB_VIDEO_EXTRACT},        {L"audio", JOB_AUDIO_EXTRACT},
      {L"merge", JOB_MERGE_FILES}, {L"merge-av", JOB_MERGE_VIDEO_AUDIO},
  };
  return names;
}

const std::vector<COptionName>& OutputCodecNames() {
  static const std::vector<COptionName> names = {
      {L"h264", OUT_H264}, {L"h265", OUT_H265}, {L"gif", OUT_GIF}, {L"wav", OUT_WAV}, {L"mp3", OUT_MP3},
  };
  return names;
}

namespace {
const wchar_t* NameOf(const std::vector<COptionName>& names, int32_t value) {
  for (const COptionName& entry : names) {
    if (entry.value == value) return entry.name;
  }
  return L"";
}

std::wstring Clock(const RangeTime& time) {
  return std::to_wstring(time.hours) + L":" + std::to_wstring(time.minutes) + L":" +
         std::to_wstring(time.seconds);
}

std::wstring TrackList(const std::vector<uint32_t>& tracks) {
  if (tracks.empty()) return L"none";
  std::wstring list;
  for (uint32_t track : tracks) list += (list.empty() ? L"" : L",") + std::to_wstring(track);
  return list;
}
}  // namespace

const wchar_t* JobName(int32_t jobKind) { return NameOf(JobKindNames(), jobKind); }

std::vector<std::wstring> SettingsOptionWords(const JobSettings& s) {
  std::vector<std::wstring> words = {L"--job", JobName(s.jobKind)};
  const std::wstring codec = NameOf(OutputCodecNames(), s.outputCodec);
  if (!codec.empty()) words.insert(words.end(), {L"--codec", codec});
  words.push_back(s.useGpu ? L"--gpu" : L"--no-gpu");
  if (s.useGpu && s.gpuCompatMode) words.push_back(L"--gpu-compat");
  if (!s.useVideoBitRate) {
    words.push_back(L"--no-bitrate");
  } else if (s.videoBitRate > 0) {
    words.insert(words.end(), {L"--bitrate", std::to_wstring(s.videoBitRate)});
  }
  if (s.useQuantizer) words.insert(words.end(), {L"--qp", std::to_wstring(s.quantizer)});
  for (const auto& flag :
       {std::make_pair(s.copyVideo, L"--copy-video"), std::make_pair(s.containerMp4, L"--mp4"),
        std::make_pair(s.containerMkv, L"--mkv"), std::make_pair(s.scale1080, L"--scale1080"),
        std::make_pair(s.pixelFormatCompat, L"--pix-compat")}) {
    if (flag.first) words.push_back(flag.second);
  }
  if (s.allAudioTracks) {
    words.push_back(L"--all-tracks");
  } else {
    words.insert(words.end(), {L"--tracks", TrackList(s.selectedAudioTracks)});
  }
  if (s.copyAudio) words.push_back(L"--copy-audio");
  if (s.audioBitRate > 0) words.insert(words.end(), {L"--abitrate", std::to_wstring(s.audioBitRate)});
  if (s.downmixStereo) words.push_back(L"--downmix");
  if (s.forceAudioEncode) words.push_back(L"--force-audio");
  words.push_back(s.audioAac ? L"--aac" : L"--no-aac");
  if (s.audioMp3) words.push_back(L"--mp3-audio");
  if (s.applyRange) {
    words.insert(words.end(), {L"--range", Clock(s.rangeStart) + L"-" + Clock(s.rangeEnd)});
    words.push_back(s.rangeCopy ? L"--range-copy" : L"--no-range-copy");
    if (s.rangeAccurate) words.push_back(L"--accurate");
  }
  if (!s.outputFolder.empty()) words.insert(words.end(), {L"--output-dir", s.outputFolder});
  if (s.keepSourceDates) words.push_back(L"--keep-dates");
  if (s.joinAnyway) words.push_back(L"--join-anyway");
  return words;
}
