#include "jobs/command_builder.h"

#include <algorithm>
#include <cstdint>

#include "base/command_quoting.h"
#include "base/duration_text.h"
#include "base/file_util.h"
#include "base/text.h"
#include "base/trace.h"
#include "jobs/container_codecs.h"
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
  bool videoCopied = false;  // the video part copies the video stream
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

std::wstring VideoEncoder(const JobSettings& settings, bool useGpu) {
  std::wstring encoder;
  std::wstring pixelFormat;
  if (settings.outputCodec == OUT_H264) {
    encoder = VideoEncoderName(OUT_H264, useGpu);
    pixelFormat = L" -pix_fmt yuv420p";
  } else if (settings.outputCodec == OUT_H265) {
    encoder = VideoEncoderName(OUT_H265, useGpu);
    pixelFormat = useGpu ? L" -pix_fmt p010le" : L" -pix_fmt yuv420p";
  }
  if (settings.pixelFormatCompat) encoder += pixelFormat;
  return encoder;
}

// The video part that encodes: "-map 0:v:0" with the encoder, the rate and the quantiser.
std::wstring EncodedVideoPart(const JobSettings& settings, bool useGpu) {
  const std::wstring codecOption = Sprintf(L"-c:v %s ", VideoEncoder(settings, useGpu));
  std::wstring rateOption;
  std::wstring quantizerOption;
  if (settings.useVideoBitRate) rateOption = Sprintf(L"-b:v %dk", settings.videoBitRate);
  if (settings.useQuantizer) quantizerOption = Sprintf(L"-qp %d", settings.quantizer);
  if (settings.scale1080) quantizerOption += L" -vf scale=-1:1080 ";
  return Sprintf(L"-map 0:v:0  %s %s %s", codecOption, rateOption, quantizerOption);
}

void BuildVideoPart(const JobSettings& settings, const MediaDesc& media, CommandParts& parts) {
  if (media.video.width <= 0 || OutputKindOf(settings) != OUTPUT_VIDEO ||
      settings.jobKind == JOB_AUDIO_EXTRACT)
    return;

  parts.inputOptions = GpuInputOptions(settings, media.video.codec);
  const bool copy = settings.copyVideo || settings.rangeCopy || settings.jobKind == JOB_VIDEO_EXTRACT;
  if (copy) parts.inputOptions.clear();

  if (settings.outputCodec == OUT_GIF) {
    parts.inputOptions.clear();
    parts.videoPart = L"-r 10";
  } else if (media.video.codec != VCODEC_GIF) {
    if (copy) {
      // The scale filter is kept beside the copy, which ffmpeg then refuses: the user asked for
      // both.
      parts.videoPart = Sprintf(L"-map 0:v:0  %s %s %s", L"-c:v copy", L"",
                                settings.scale1080 ? L" -vf scale=-1:1080 " : L"");
      parts.videoCopied = true;
    } else {
      parts.videoPart = EncodedVideoPart(settings, settings.useGpu);
    }
  }
}

// A copied video goes only into a file that holds it: a Matroska file in place of the one named
// (the same name, numbered on if that is taken), or, where MP4 was ticked, the MP4 with the
// video encoded by the chosen codec. That encode is the CPU's: a run that copies the video
// never found out whether the GPU can encode here. Without a chosen codec to encode with,
// Matroska it is.
void FitVideoCopy(const JobSettings& settings, const MediaDesc& media, const COutputReservations& reserved,
                  CommandParts& parts) {
  if (!parts.videoCopied || ContainerHoldsVideo(ContainerOfPath(parts.outputPath), media.video.codec)) return;
  const bool canEncode = !VideoEncoder(settings, false).empty();
  if (settings.containerMp4 && canEncode) {
    parts.videoPart = EncodedVideoPart(settings, false);
    parts.videoCopied = false;
    return;
  }
  std::wstring stem, ext;
  if (!SplitFileExt(parts.outputPath, stem, ext)) return;
  parts.outputPath = FirstFreeName(stem + L".mkv", &reserved);
  parts.outputExt = L"mkv";
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

// How an encoded track counts its channels (a mono track as two, a down-mixed one as two) and
// the rate each channel gets.
struct TrackChannels {
  int channels;
  int ratePerChannel;
};

TrackChannels CountChannels(const JobSettings& settings, int trackChannels) {
  TrackChannels counted;
  counted.channels = trackChannels < 2 || settings.downmixStereo ? 2 : trackChannels;
  counted.ratePerChannel = std::max(settings.audioBitRate / counted.channels, kMinRatePerChannel);
  return counted;
}

// The rate option of an encoded track: the MP3 output's quality, else its bit rate.
std::wstring EncodedRateOption(const JobSettings& settings, const TrackChannels& counted) {
  if (settings.outputCodec == OUT_MP3) {
    DebugLog(L"samp = %d", settings.audioBitRate);
    const bool validQuality = settings.audioBitRate >= 1 && settings.audioBitRate <= 9;
    return Sprintf(L"-q:a %d", validQuality ? settings.audioBitRate : kDefaultMp3Quality);
  }
  return Sprintf(L"-b:a %dk", ChannelsRate(counted.channels, counted.ratePerChannel));
}

// The codec a track is encoded with where its output cannot hold a copy of it: the one codec a
// WAV or an MP3 file is made for, AAC in any other.
const wchar_t* FallbackAudioCodec(int32_t container) {
  if (container == CONTAINER_WAV) return L"pcm_s16le";
  if (container == CONTAINER_MP3) return L"libmp3lame";
  return L"aac";
}

// The rate option of a track encoded because its output cannot hold a copy.
std::wstring FallbackRateOption(const JobSettings& settings, int channels) {
  std::wstring rate = EncodedRateOption(settings, CountChannels(settings, channels));
  if (settings.downmixStereo && channels > 2) rate += L" -ac 2";
  return rate;
}

void BuildAudioPart(const JobSettings& settings, const MediaDesc& media, int32_t container,
                    CommandParts& parts) {
  if (media.audioCount < 1 || settings.jobKind == JOB_VIDEO_EXTRACT) return;

  std::wstring codec = ChooseAudioCodec(settings);
  std::wstring rateOption;
  std::wstring mapText;
  int largestChannels = 2;
  int ratePerChannel = kMinRatePerChannel;
  int mappedTracks = 0;
  bool downmixedTrack = false;
  // For a copy of every taken track at once: whether the output cannot hold one of them, and
  // the most channels among them.
  bool unheldTrack = false;
  int mostChannels = 0;
  const int trackCount = std::min(media.audioCount, MAX_AUDIO_TRACKS);

  for (int i = 0; i < trackCount; ++i) {
    if (!IsTrackTaken(settings, i)) continue;
    const AudioTrackDesc& track = media.audio[i];
    ++mappedTracks;
    mapText = Sprintf(L"-map 0:a:%d", i);
    if (codec != L"copy") {
      const TrackChannels counted = CountChannels(settings, track.channels);
      largestChannels = std::max(largestChannels, counted.channels);
      ratePerChannel = counted.ratePerChannel;
      if (track.bitRate / counted.channels > kCopyRatePerChannel || settings.forceAudioEncode ||
          settings.outputCodec == OUT_MP3) {
        rateOption = EncodedRateOption(settings, counted);
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
    const bool held = ContainerHoldsAudio(container, track);
    unheldTrack = unheldTrack || !held;
    mostChannels = std::max(mostChannels, track.channels);
    if (codec == L"copy" && !held) {
      // A copy the output cannot hold is encoded instead, as a track above the copy rate is.
      parts.audioPart += Sprintf(L" %s -c:a %s %s ", mapText, FallbackAudioCodec(container),
                                 FallbackRateOption(settings, track.channels));
    } else {
      parts.audioPart += Sprintf(L" %s -c:a %s %s ", mapText, codec, rateOption);
    }
  }

  if (mappedTracks > kMaxMappedTracks) {
    mapText = L"-map 0:a";
    if (codec != L"copy") {
      rateOption = Sprintf(L"-b:a %dk", ChannelsRate(largestChannels, ratePerChannel));
      // One option now covers every track; a down-mix asked for a multi-channel track must
      // not be lost by the collapse.
      if (downmixedTrack) rateOption += L" -ac 2";
    } else if (unheldTrack) {
      // One copy of every track: a track the output cannot hold has them all encoded.
      codec = FallbackAudioCodec(container);
      rateOption = FallbackRateOption(settings, mostChannels);
    }
    parts.audioPart = Sprintf(L" %s -c:a %s %s ", mapText, codec, rateOption);
  }
}

// The extracted audio is named after the file that holds what it copies: one track goes into
// the file of its codec's own name where that holds it (clip_(02).AAC, clip_(02).WAV for PCM),
// several tracks, or a track no such file holds, into Matroska audio (clip_(02).MKA).
void NameAudioExtract(const JobSettings& settings, const MediaDesc& media,
                      const COutputReservations& reserved, CommandParts& parts) {
  if (settings.jobKind != JOB_AUDIO_EXTRACT || media.audioCount < 1) return;
  const int trackCount = std::min(media.audioCount, MAX_AUDIO_TRACKS);
  int taken = 0;
  int first = -1;
  for (int i = 0; i < trackCount; ++i) {
    if (!IsTrackTaken(settings, i)) continue;
    ++taken;
    if (first < 0) first = i;
  }
  // With no track taken the command copies nothing; it keeps the first track's name.
  parts.outputExt =
      taken > 1 ? MATROSKA_AUDIO_EXTENSION : AudioExtractExtension(media.audio[first < 0 ? 0 : first]);
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
  built.refusal = NothingToExtract(settings, *media, inputPath);
  if (!built.refusal.Refused()) built.refusal = RangeAfterEnd(settings, *media, inputPath);
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
  if (settings.jobKind != JOB_MERGE_FILES) FitVideoCopy(settings, *media, reserved, parts);
  // The audio part copies only what the output holds, so the output is named first.
  NameAudioExtract(settings, *media, reserved, parts);
  BuildAudioPart(settings, *media, ContainerOfPath(parts.outputPath), parts);
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
    if (!GetIntermediatePath(inputPath, tsPath, &reserved, OutputFolderFor(settings, inputPath)))
      tsPath.clear();
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

CRefusal NothingToExtract(const JobSettings& settings, const MediaDesc& media,
                          const std::wstring& inputPath) {
  const bool hasVideo = media.video.codec != 0 || media.video.width > 0;
  if (settings.jobKind == JOB_VIDEO_EXTRACT && !hasVideo)
    return CRefusal{TXT_REFUSE_NO_VIDEO_TO_EXTRACT, inputPath};
  if (settings.jobKind == JOB_AUDIO_EXTRACT && media.audioCount <= 0)
    return CRefusal{TXT_REFUSE_NO_AUDIO_TO_EXTRACT, inputPath};
  return CRefusal();
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
