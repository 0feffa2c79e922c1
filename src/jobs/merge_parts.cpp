#include "jobs/merge_parts.h"

#include <algorithm>
#include <cmath>

#include "base/format.h"

namespace {
// Frame rates that differ by less than this share are the same rate written two ways (29.97
// and 29.970, the average of a variable rate).
constexpr double kFrameRateTolerance = 0.002;

std::wstring FileName(const std::wstring& path) {
  size_t slash = path.find_last_of(L"/\\");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring Number(int value) { return Sprintf(L"%d", value); }

// A frame rate with the decimals it needs: 25, 29.97, 23.976.
std::wstring RateText(double rate) {
  std::wstring text = Sprintf(L"%.3f", rate);
  while (text.back() == L'0') text.pop_back();
  if (text.back() == L'.') text.pop_back();
  return text;
}

std::wstring SizeText(const VideoTrackDesc& video) { return Sprintf(L"%dx%d", video.width, video.height); }

// Both figures are known and differ.
bool Differ(int32_t a, int32_t b) { return a != 0 && b != 0 && a != b; }

CRefusal Difference(TextId text, const std::wstring& file, std::vector<std::wstring> details) {
  return CRefusal{text, FileName(file), std::move(details)};
}

CRefusal CompareVideo(const std::wstring& file, const MediaDesc& part, const MediaDesc& first) {
  const bool hasVideo = part.video.width > 0, firstHasVideo = first.video.width > 0;
  if (hasVideo != firstHasVideo)
    return Difference(hasVideo ? TXT_REFUSE_JOIN_VIDEO_ONLY_HERE : TXT_REFUSE_JOIN_NO_VIDEO, file, {});
  if (!hasVideo) return CRefusal();
  if (Differ(part.video.codec, first.video.codec))
    return Difference(TXT_REFUSE_JOIN_VIDEO_CODEC, file,
                      {CodecName(part.video.codec), CodecName(first.video.codec)});
  if (part.video.width != first.video.width || Differ(part.video.height, first.video.height))
    return Difference(TXT_REFUSE_JOIN_SIZE, file, {SizeText(part.video), SizeText(first.video)});
  const double rate = part.video.frameRate, firstRate = first.video.frameRate;
  if (rate > 0 && firstRate > 0 &&
      std::fabs(rate - firstRate) > kFrameRateTolerance * std::max(rate, firstRate))
    return Difference(TXT_REFUSE_JOIN_FRAME_RATE, file, {RateText(rate), RateText(firstRate)});
  return CRefusal();
}

CRefusal CompareAudio(const std::wstring& file, const MediaDesc& part, const MediaDesc& first) {
  if (part.audioCount != first.audioCount)
    return Difference(TXT_REFUSE_JOIN_AUDIO_TRACKS, file,
                      {Number(part.audioCount), Number(first.audioCount)});
  for (int i = 0; i < std::min(part.audioCount, MAX_AUDIO_TRACKS); ++i) {
    const AudioTrackDesc& track = part.audio[i];
    const AudioTrackDesc& firstTrack = first.audio[i];
    const std::wstring number = Number(i + 1);
    if (Differ(track.codec, firstTrack.codec))
      return Difference(TXT_REFUSE_JOIN_AUDIO_CODEC, file,
                        {number, CodecName(track.codec), CodecName(firstTrack.codec)});
    if (Differ(track.channels, firstTrack.channels))
      return Difference(TXT_REFUSE_JOIN_CHANNELS, file,
                        {number, Number(track.channels), Number(firstTrack.channels)});
    if (Differ(track.sampleRate, firstTrack.sampleRate))
      return Difference(TXT_REFUSE_JOIN_SAMPLE_RATE, file,
                        {number, Number(track.sampleRate), Number(firstTrack.sampleRate)});
  }
  return CRefusal();
}
}  // namespace

CRefusal CompareMergeParts(const std::vector<std::wstring>& files, const std::vector<MediaDesc>& media,
                           const std::vector<char>& probed) {
  const size_t count = std::min({files.size(), media.size(), probed.size()});
  // A part that cannot be probed is skipped, and so is the join: there is nothing to ask.
  if (std::count(probed.begin(), probed.begin() + count, 0) > 0) return CRefusal();
  for (size_t i = 1; i < count; ++i) {
    CRefusal difference = CompareVideo(files[i], media[i], media[0]);
    if (!difference.Refused()) difference = CompareAudio(files[i], media[i], media[0]);
    if (difference.Refused()) return difference;
  }
  return CRefusal();
}
