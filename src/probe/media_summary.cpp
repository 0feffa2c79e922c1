#include "probe/media_summary.h"

#include "base/format.h"

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
