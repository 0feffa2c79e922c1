#include "probe/media_desc.h"

#include <cstring>
#include <type_traits>

#include "base/format.h"

static_assert(std::is_trivially_copyable<MediaDesc>::value, "MediaDesc must stay a plain record");

void ResetMediaDesc(MediaDesc& media) { std::memset(&media, 0, sizeof media); }

void SetMediaPath(MediaDesc& media, const std::wstring& path) {
  size_t length = path.size() < MAX_MEDIA_PATH - 1 ? path.size() : MAX_MEDIA_PATH - 1;
  path.copy(media.filePath, length);
  media.filePath[length] = L'\0';
}

std::wstring CodecName(int32_t code) {
  switch (code) {
    case VCODEC_H264: return L"H264(AVC)";
    case VCODEC_H265: return L"H265(HEVC)";
    case VCODEC_GIF: return L"GIF";
    case VCODEC_XVID: return L"XVID";
    case VCODEC_DX50: return L"DX50";
    case VCODEC_VP9: return L"VP9";
    case VCODEC_VP8: return L"VP8";
    case VCODEC_MPEG4: return L"MPEG-4";
    case VCODEC_MSMPEG4: return L"MS-MPEG4";
    case VCODEC_MPEG1: return L"MPEG-1";
    case VCODEC_MPEG2: return L"MPEG-2";
    case VCODEC_WMV: return L"WMV";
    case VCODEC_VC1: return L"VC-1";
    case VCODEC_AV1: return L"AV1";
    case VCODEC_MJPEG: return L"MJPEG";
    case ACODEC_MP3: return L"MP3";
    case ACODEC_AAC: return L"AAC";
    case ACODEC_OGG: return L"OGG";
    case ACODEC_DTS: return L"DTS";
    case ACODEC_WAV: return L"WAV";
    case ACODEC_AC3: return L"AC3";
    case ACODEC_OPUS: return L"OPUS";
    case ACODEC_MP2: return L"MP2";
    case ACODEC_FLAC: return L"FLAC";
    case ACODEC_PCM: return L"PCM";
    case ACODEC_WMA: return L"WMA";
    default: return std::wstring();  // VP7 (8) is recognised but has no name
  }
}

std::wstring LanguageName(int32_t code) {
  switch (code) {
    case LANGUAGE_CHINESE: return L"CHINESE";
    case LANGUAGE_GERMAN: return L"GERMAN";
    case LANGUAGE_GREEK: return L"GREEK";
    case LANGUAGE_ENGLISH: return L"ENGLISH";
    case LANGUAGE_SPANISH: return L"SPANISH";
    case LANGUAGE_FRENCH: return L"FRENCH";
    case LANGUAGE_ITALIAN: return L"ITALIAN";
    case LANGUAGE_JAPANESE: return L"JAPANESE";
    case LANGUAGE_KOREAN: return L"KOREAN";
    case LANGUAGE_HINDI: return L"HINDI";
    default: return std::wstring();
  }
}

namespace {
double Mebibytes(int64_t bytes) { return static_cast<double>(bytes) / 1048576.0; }
}  // namespace

void FormatMediaSummary(const MediaDesc& media, std::wstring& text) {
  text += Sprintf(L"\n전체 파일 용량=%.3lf MB, 길이=%d분 %d초, [자막=%d개]", Mebibytes(media.fileSize),
                  media.durationSec / 60, media.durationSec % 60, media.subtitleCount);
  text += L"\n";
  // Written for a file without video too: zeros and an empty codec name.
  const VideoTrackDesc& video = media.video;
  text += Sprintf(L"비디오 : 파일 용량=%.3lf MB, 길이=%d분 %d초,  코덱=%s, (%d x %d), 비트레이트=%d kbps",
                  Mebibytes(video.streamSize), video.durationSec / 60, video.durationSec % 60,
                  CodecName(video.codec), video.width, video.height, video.bitRate);
  text += L"\n";
  int count =
      media.audioCount < 0 ? 0 : (media.audioCount > MAX_AUDIO_TRACKS ? MAX_AUDIO_TRACKS : media.audioCount);
  for (int n = 1; n <= count; ++n) {
    const AudioTrackDesc& audio = media.audio[n - 1];
    // Audio lines show the video's play time, as the dialog's range fields do.
    text += Sprintf(
        L"오디오 (%d) - 파일 용량=%.3f MB, 길이=%d분 %d초,  코덱=%s, 채널=%d , 비트레이트=%d kbps, 언어=%s",
        n, Mebibytes(audio.streamSize), video.durationSec / 60, video.durationSec % 60,
        CodecName(audio.codec), audio.channels, audio.bitRate, LanguageName(audio.language));
    text += L"\n";
  }
}
