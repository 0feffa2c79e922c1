#include "jobs/command_builder.h"

#include <algorithm>
#include <cstdint>

#include "base/command_quoting.h"
#include "base/duration_text.h"
#include "base/file_util.h"
#include "base/text.h"
#include "base/trace.h"
#include "jobs/merge_commands.h"
#include "jobs/output_naming.h"

namespace {
// The convert and extract command: nine slots, one blank between them and two between the
// video and the audio part. Empty slots keep their blanks.
const wchar_t kCommandFormat[] = L"FFMpeg.exe %s -y %s -i \"%s\" %s %s %s  %s %s \"%s\"";
const wchar_t kPauseSuffix[] = L" & pause";

constexpr int kMinRatePerChannel = 60;   // kb/s
constexpr int kCopyRatePerChannel = 80;  // a track at or below this per channel is copied
constexpr int kMaxMappedTracks = 5;      // more are written as one "-map 0:a"
constexpr int kDefaultMp3Quality = 4;

// The slots of one command and the working values they are made from; local to one build.
struct CommandParts {
  std::wstring inputOptions;
  std::wstring fastSeek;
  std::wstring accurateSeek;
  std::wstring duration;
  std::wstring videoPart;
  std::wstring audioPart;
  std::wstring subtitlePart;
  std::wstring outputPath;
  std::wstring outputStem;
  std::wstring outputExt;
};

// A later override wins; the new name is not tested for existence again.
void ApplyOutputOverrides(const JobSettings& settings, CommandParts& parts) {
  struct Override {
    bool applies;
    const wchar_t* format;
    const wchar_t* ext;
  };
  const Override overrides[] = {
      {settings.containerMp4, L"%s.mp4", L"mp4"},
      {settings.containerMkv, L"%s.mkv", L"mkv"},
      {settings.outputCodec == OUT_GIF, L"%s.gif", L"gif"},
      {settings.outputCodec == OUT_WAV, L"%s.wav", L"wav"},
      {settings.outputCodec == OUT_MP3, L"%s.mp3", L"mp3"},
  };
  for (const Override& change : overrides) {
    if (!change.applies) continue;
    SplitFileExt(parts.outputPath, parts.outputStem, parts.outputExt);
    parts.outputPath = Sprintf(change.format, parts.outputStem);
    parts.outputExt = change.ext;
  }
}

std::wstring GpuInputOptions(const JobSettings& settings, int32_t videoCodec) {
  if (videoCodec == VCODEC_GIF) return L"-f gif";
  if (!settings.useGpu) return std::wstring();
  if (videoCodec == VCODEC_H264)
    return settings.gpuCompatMode ? L"-hwaccel cuvid" : L"-hwaccel cuvid -c:v h264_cuvid";
  if (videoCodec == VCODEC_H265)
    return settings.gpuCompatMode ? L"-hwaccel cuvid" : L"-hwaccel cuvid -c:v hevc_cuvid";
  return std::wstring();
}

std::wstring VideoEncoder(const JobSettings& settings) {
  std::wstring encoder;
  std::wstring pixelFormat;
  if (settings.outputCodec == OUT_H264) {
    encoder = VideoEncoderName(OUT_H264, settings.useGpu);
    pixelFormat = L" -pix_fmt yuv420p";
  } else if (settings.outputCodec == OUT_H265) {
    encoder = VideoEncoderName(OUT_H265, settings.useGpu);
    pixelFormat = settings.useGpu ? L" -pix_fmt p010le" : L" -pix_fmt yuv420p";
  }
  if (settings.pixelFormatCompat) encoder += pixelFormat;
  return encoder;
}

void BuildVideoPart(const JobSettings& settings, const MediaDesc& media, CommandParts& parts) {
  if (media.video.width <= 0 || OutputKindOf(settings) != OUTPUT_VIDEO ||
      settings.jobKind == JOB_AUDIO_EXTRACT)
    return;

  parts.inputOptions = GpuInputOptions(settings, media.video.codec);
  std::wstring codecOption = Sprintf(L"-c:v %s ", VideoEncoder(settings));
  std::wstring rateOption;
  std::wstring quantizerOption;
  if (settings.useVideoBitRate) rateOption = Sprintf(L"-b:v %dk", settings.videoBitRate);
  if (settings.useQuantizer) quantizerOption = Sprintf(L"-qp %d", settings.quantizer);

  if (settings.copyVideo || settings.rangeCopy || settings.jobKind == JOB_VIDEO_EXTRACT) {
    quantizerOption.clear();
    rateOption.clear();
    parts.inputOptions.clear();
    codecOption = L"-c:v copy";
  }
  // Kept even with a stream copy, which ffmpeg then refuses: the user asked for both.
  if (settings.scale1080) quantizerOption += L" -vf scale=-1:1080 ";

  if (settings.outputCodec == OUT_GIF) {
    parts.inputOptions.clear();
    parts.videoPart = L"-r 10";
  } else if (media.video.codec != VCODEC_GIF) {
    parts.videoPart = Sprintf(L"-map 0:v:0  %s %s %s", codecOption, rateOption, quantizerOption);
  }
}

std::wstring ChooseAudioCodec(const JobSettings& settings) {
  if (settings.copyAudio || settings.rangeCopy || settings.jobKind == JOB_AUDIO_EXTRACT) return L"copy";
  std::wstring codec = L"libvorbis";
  if (settings.audioAac || settings.containerMp4 || settings.containerMkv) codec = L"aac";
  if (settings.audioMp3) codec = L"libmp3lame";
  if (settings.outputCodec == OUT_WAV) codec = L"pcm_s16le";
  if (settings.outputCodec == OUT_MP3) codec = L"libmp3lame";
  return codec;
}

// A rate for channels channels: a probed channel count may be any int, up to INT32_MAX.
int ChannelsRate(int channels, int ratePerChannel) {
  const int64_t rate = static_cast<int64_t>(channels) * ratePerChannel;
  return rate > INT32_MAX ? INT32_MAX : static_cast<int>(rate);
}

bool IsTrackTaken(const JobSettings& settings, int track) {
  // The selection describes the tracks of the file selected in the dialog, so it holds for the
  // first file of a run only.
  if (!settings.firstFileOfBatch || settings.allAudioTracks) return true;
  const std::vector<uint32_t>& selected = settings.selectedAudioTracks;
  return std::find(selected.begin(), selected.end(), static_cast<uint32_t>(track)) != selected.end();
}

void BuildAudioPart(const JobSettings& settings, const MediaDesc& media, CommandParts& parts) {
  if (media.audioCount < 1 || settings.jobKind == JOB_VIDEO_EXTRACT) return;

  std::wstring codec = ChooseAudioCodec(settings);
  std::wstring rateOption;
  std::wstring mapText;
  int largestChannels = 2;
  int ratePerChannel = kMinRatePerChannel;
  int mappedTracks = 0;
  bool downmixedTrack = false;
  const int trackCount = std::min(media.audioCount, MAX_AUDIO_TRACKS);

  for (int i = 0; i < trackCount; ++i) {
    if (!IsTrackTaken(settings, i)) continue;
    const AudioTrackDesc& track = media.audio[i];
    ++mappedTracks;
    mapText = Sprintf(L"-map 0:a:%d", i);
    if (codec != L"copy") {
      int channels = track.channels;
      if (channels < 2 || settings.downmixStereo) channels = 2;
      largestChannels = std::max(largestChannels, channels);
      ratePerChannel = std::max(settings.audioBitRate / channels, kMinRatePerChannel);
      if (track.bitRate / channels > kCopyRatePerChannel || settings.forceAudioEncode ||
          settings.outputCodec == OUT_MP3) {
        if (settings.outputCodec == OUT_MP3) {
          DebugLog(L"samp = %d", settings.audioBitRate);
          const bool validQuality = settings.audioBitRate >= 1 && settings.audioBitRate <= 9;
          rateOption = Sprintf(L"-q:a %d", validQuality ? settings.audioBitRate : kDefaultMp3Quality);
        } else {
          rateOption = Sprintf(L"-b:a %dk", ChannelsRate(channels, ratePerChannel));
        }
      } else if (settings.outputCodec != OUT_WAV) {
        // A low-rate track gains nothing from encoding; from here on every track is copied.
        codec = L"copy";
        rateOption.clear();
      }
      if (settings.downmixStereo && track.channels > 2) {
        rateOption += L" -ac 2";
        downmixedTrack = true;
      }
    }
    parts.audioPart += Sprintf(L" %s -c:a %s %s ", mapText, codec, rateOption);
  }

  if (mappedTracks > kMaxMappedTracks) {
    mapText = L"-map 0:a";
    if (codec != L"copy") {
      rateOption = Sprintf(L"-b:a %dk", ChannelsRate(largestChannels, ratePerChannel));
      // One option now covers every track; a down-mix asked for a multi-channel track must
      // not be lost by the collapse.
      if (downmixedTrack) rateOption += L" -ac 2";
    }
    parts.audioPart = Sprintf(L" %s -c:a %s %s ", mapText, codec, rateOption);
  }
}

// The extracted audio is named after the first track's codec, for example clip_(02).AAC.
void NameAudioExtract(const JobSettings& settings, const MediaDesc& media,
                      const COutputReservations& reserved, CommandParts& parts) {
  if (settings.jobKind != JOB_AUDIO_EXTRACT || media.audioCount < 1) return;
  parts.outputExt = CodecName(media.audio[0].codec);
  parts.outputPath = GetAudioExtractPath(settings, parts.outputPath, parts.outputExt, &reserved);
}

// A length in milliseconds: the measured one, else the report's whole seconds (0: not known).
int64_t LengthMs(int64_t exactMs, int32_t seconds) {
  if (exactMs > 0) return exactMs;
  return seconds > 0 ? seconds * 1000LL : 0;
}

// The first audio track's length that the command takes (0 when it takes none or no length
// is given).
int64_t FirstTakenTrackMs(const JobSettings& settings, const MediaDesc& media) {
  const int trackCount = std::min(media.audioCount, MAX_AUDIO_TRACKS);
  for (int i = 0; i < trackCount; ++i)
    if (IsTrackTaken(settings, i)) return LengthMs(media.exact.audioMs[i], media.audio[i].durationSec);
  return 0;
}

// The length of the longest stream the job surely keeps, before any range.
int64_t KeptStreamMs(const JobSettings& settings, const MediaDesc& media) {
  const bool wholeFile = settings.jobKind == JOB_MERGE_FILES || settings.jobKind == JOB_MERGE_VIDEO_AUDIO;
  const bool keepsVideo = media.video.width > 0 && settings.jobKind != JOB_AUDIO_EXTRACT &&
                          (wholeFile || OutputKindOf(settings) == OUTPUT_VIDEO);
  int64_t length = 0;
  if (keepsVideo) length = LengthMs(media.exact.videoMs, media.video.durationSec);
  if (length <= 0 && !wholeFile && settings.jobKind != JOB_VIDEO_EXTRACT)
    length = FirstTakenTrackMs(settings, media);
  return length > 0 ? length : LengthMs(media.exact.fileMs, media.durationSec);
}

// Where the range starts, in milliseconds; -1 when no range applies to the job.
int64_t RangeStartMs(const JobSettings& settings) {
  const bool ranged = settings.jobKind == JOB_CONVERT || settings.jobKind == JOB_VIDEO_EXTRACT ||
                      settings.jobKind == JOB_AUDIO_EXTRACT;
  if (!ranged || !settings.applyRange || GetRangeSeconds(&settings.rangeStart, &settings.rangeEnd) == 0)
    return -1;
  const RangeTime& start = settings.rangeStart;
  return (start.hours * 3600LL + start.minutes * 60LL + start.seconds) * 1000;
}

void BuildRange(const JobSettings& settings, CommandParts& parts) {
  const uint32_t length = GetRangeSeconds(&settings.rangeStart, &settings.rangeEnd);
  if (!settings.applyRange || length == 0) return;
  const RangeTime& start = settings.rangeStart;
  parts.fastSeek = Sprintf(L"-ss %d:%d:%d", start.hours, start.minutes, start.seconds);
  parts.accurateSeek.clear();
  parts.duration = Sprintf(L"-t %d", length);
  if (settings.rangeAccurate) {
    parts.accurateSeek = parts.fastSeek;
    parts.fastSeek.clear();
  }
}
}  // namespace

const wchar_t* VideoEncoderName(int32_t outputCodec, bool useGpu) {
  if (outputCodec == OUT_H264) return useGpu ? L"h264_nvenc" : L"libx264";
  if (outputCodec == OUT_H265) return useGpu ? L"hevc_nvenc" : L"libx265";
  return L"";
}

std::wstring FileToDescribe(const JobSettings& settings, const std::wstring& inputPath) {
  if (settings.jobKind != JOB_MERGE_VIDEO_AUDIO) return inputPath;
  DebugLog(L"합치기 - 영상 + 소리");
  std::wstring video, audio;
  return PickMergeVideoAudio(settings.files, video, audio) == TXT_NONE ? video : std::wstring();
}

CBuiltCommand BuildCommand(const JobSettings& settings, const std::wstring& inputPath, const MediaDesc* media,
                           const COutputReservations& reserved, bool pause) {
  if (settings.jobKind == JOB_MERGE_VIDEO_AUDIO) return BuildMergeVideoAudioCommand(settings, media);

  CBuiltCommand built;
  if (media == nullptr) {
    built.refusal = CRefusal{TXT_REFUSE_NOT_PROBED, inputPath};
    return built;
  }
  built.refusal = RangeAfterEnd(settings, *media, inputPath);
  if (built.refusal.Refused()) return built;
  CommandParts parts;
  SplitFileExt(inputPath, parts.outputStem, parts.outputExt);
  if (!GetOutputFileName(settings, inputPath, parts.outputPath, &reserved)) parts.outputPath.clear();
  const std::wstring namedPath = parts.outputPath;
  ApplyOutputOverrides(settings, parts);
  // An override that changed the name checked above (a video extract kept in MKV) must not
  // land on a taken name either.
  if (parts.outputPath != namedPath) parts.outputPath = FirstFreeName(parts.outputPath, &reserved);

  DebugLog(L"입력 코덱 = %d, %d, %d", media->video.codec, media->video.codec != 0 ? 1 : 0,
           OutputKindOf(settings));

  BuildVideoPart(settings, *media, parts);
  BuildAudioPart(settings, *media, parts);
  NameAudioExtract(settings, *media, reserved, parts);
  BuildRange(settings, parts);

  parts.outputExt = ToLowerText(parts.outputExt);
  if (parts.outputExt == L"mkv" && settings.jobKind == JOB_CONVERT && media->subtitleCount >= 1) {
    parts.subtitlePart = L"-map 0:s -c:s copy";
  }
  if (media->video.codec == VCODEC_GIF || settings.outputCodec == OUT_GIF) {
    parts.subtitlePart.clear();
    parts.audioPart.clear();
  }

  // File names go between quotes escaped by the argument rules: a name holding a quote or
  // ending in a backslash (possible on POSIX) stays one argument, and any other name is
  // written as it is.
  built.text = Sprintf(kCommandFormat, parts.inputOptions, parts.fastSeek, EscapeForQuotes(inputPath),
                       parts.accurateSeek, parts.duration, parts.videoPart, parts.audioPart,
                       parts.subtitlePart, EscapeForQuotes(parts.outputPath));
  built.output = parts.outputPath;
  if (settings.jobKind == JOB_MERGE_FILES) {
    // Each file is rewrapped whole into its intermediate; the join step reads them back.
    std::wstring tsPath;
    if (!GetIntermediatePath(inputPath, tsPath, &reserved, settings.outputFolder)) tsPath.clear();
    built.text = MakeRemuxCommand(inputPath, tsPath);
    built.output = tsPath;
  }
  built.expectedMs = ExpectedOutputMs(settings, *media);
  built.gpuEncode =
      settings.jobKind != JOB_MERGE_FILES && parts.videoPart.find(L"_nvenc") != std::wstring::npos;
  if (pause) built.text += kPauseSuffix;
  DebugLog(L"CmdSet=%s", built.text);
  return built;
}

int64_t ExpectedOutputMs(const JobSettings& settings, const MediaDesc& media) {
  const bool remux = settings.jobKind == JOB_MERGE_FILES || settings.jobKind == JOB_MERGE_VIDEO_AUDIO;
  if (media.video.codec == VCODEC_GIF || (!remux && settings.outputCodec == OUT_GIF)) return 0;
  const int64_t length = KeptStreamMs(settings, media);
  if (length <= 0) return 0;
  // The remuxes and the merge of video and audio take the whole file; the others their range.
  const int64_t from = RangeStartMs(settings);
  if (from < 0) return length;
  const int64_t range = GetRangeSeconds(&settings.rangeStart, &settings.rangeEnd) * 1000LL;
  // A range that runs past the end gives what the file holds from its start on.
  const int64_t left = length - from;
  return left <= 0 ? 0 : std::min(left, range);
}

CRefusal RangeAfterEnd(const JobSettings& settings, const MediaDesc& media, const std::wstring& inputPath) {
  const int64_t start = RangeStartMs(settings);
  if (start < 0) return CRefusal();
  // The file ends with its longest stream.
  int64_t measured = media.exact.fileMs;
  int32_t seconds = std::max(media.durationSec, media.video.durationSec);
  for (int i = 0; i < std::min(media.audioCount, MAX_AUDIO_TRACKS); ++i) {
    measured = std::max(measured, media.exact.audioMs[i]);
    seconds = std::max(seconds, media.audio[i].durationSec);
  }
  measured = std::max(measured, media.exact.videoMs);
  int64_t end = measured;
  int64_t unsure = 0;  // how much longer the file may be than end says
  if (end <= 0) {
    end = seconds * 1000LL;
    // The report writes "1 h 25 min" from an hour on, "2 min 5 s" below it.
    unsure = seconds >= 3600 ? 60000 : 1000;
  }
  if (end <= 0 || start < end + unsure) return CRefusal();
  return CRefusal{TXT_REFUSE_RANGE_AFTER_END, inputPath, {ClockText(start), ClockText(end)}};
}

std::wstring WithOutputName(const std::wstring& text, const std::wstring& output,
                            const std::wstring& newOutput) {
  const std::wstring pause = kPauseSuffix;
  size_t end = text.size();
  if (end >= pause.size() && text.compare(end - pause.size(), pause.size(), pause) == 0) end -= pause.size();
  const std::wstring quoted = L"\"" + EscapeForQuotes(output) + L"\"";
  if (end < quoted.size() || text.compare(end - quoted.size(), quoted.size(), quoted) != 0)
    return std::wstring();
  return text.substr(0, end - quoted.size()) + L"\"" + EscapeForQuotes(newOutput) + L"\"" + text.substr(end);
}
