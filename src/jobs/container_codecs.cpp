#include "jobs/container_codecs.h"

#include <iterator>

#include "base/text.h"

namespace {

// MP3 below 16 kHz (MPEG 2.5) is refused by ffmpeg's MP4 writer as "not standard".
constexpr int32_t kMp4Mp3MinRate = 16000;
// Matroska has no codec ID for signed 8-bit or big-endian floating-point PCM.
constexpr int32_t kMatroskaRefusedPcm = PCM_SIGNED_8_BIT | PCM_BIG_ENDIAN_FLOAT;
// WAV's PCM is little-endian, and unsigned at 8 bits.
constexpr int32_t kWavRefusedPcm = PCM_BIG_ENDIAN | PCM_SIGNED_8_BIT;

// AAC, FLAC, Vorbis and Opus are written into a WAV by ffmpeg, but what it writes has no
// length or does not decode: they are not held. VP8, Windows Media, MS-MPEG4 and the codecs
// the probe does not name are refused by ffmpeg's MP4 writer, FLAC and PCM too; WMA and
// Vorbis fail there for some files (Vorbis at 8 kHz: "Application provided duration ... is
// invalid"), which makes neither a copy to rely on.
constexpr ContainerCodecRow kRows[] = {
    {CONTAINER_MP4, VCODEC_H264, 0, 0},
    {CONTAINER_MP4, VCODEC_H265, 0, 0},
    {CONTAINER_MP4, VCODEC_VP9, 0, 0},
    {CONTAINER_MP4, VCODEC_XVID, 0, 0},
    {CONTAINER_MP4, VCODEC_DX50, 0, 0},
    {CONTAINER_MP4, VCODEC_MPEG4, 0, 0},
    {CONTAINER_MP4, VCODEC_MPEG1, 0, 0},
    {CONTAINER_MP4, VCODEC_MPEG2, 0, 0},
    {CONTAINER_MP4, VCODEC_AV1, 0, 0},
    {CONTAINER_MP4, VCODEC_MJPEG, 0, 0},
    {CONTAINER_MP4, ACODEC_AAC, 0, 0},
    {CONTAINER_MP4, ACODEC_AC3, 0, 0},
    {CONTAINER_MP4, ACODEC_DTS, 0, 0},
    {CONTAINER_MP4, ACODEC_MP3, kMp4Mp3MinRate, 0},
    {CONTAINER_MP4, ACODEC_MP2, 0, 0},
    {CONTAINER_MP4, ACODEC_OPUS, 0, 0},
    {CONTAINER_MATROSKA, CODEC_ANY, 0, kMatroskaRefusedPcm},
    {CONTAINER_WAV, ACODEC_PCM, 0, kWavRefusedPcm},
    {CONTAINER_WAV, ACODEC_MP3, 0, 0},
    {CONTAINER_WAV, ACODEC_MP2, 0, 0},
    {CONTAINER_WAV, ACODEC_AC3, 0, 0},
    {CONTAINER_WAV, ACODEC_DTS, 0, 0},
    {CONTAINER_WAV, ACODEC_WMA, 0, 0},
    {CONTAINER_MP3, ACODEC_MP3, 0, 0},
    {CONTAINER_MP2, ACODEC_MP2, 0, 0},
    {CONTAINER_ADTS, ACODEC_AAC, 0, 0},
    {CONTAINER_AC3, ACODEC_AC3, 0, 0},
    {CONTAINER_DTS, ACODEC_DTS, 0, 0},
    {CONTAINER_OGG, ACODEC_OGG, 0, 0},
    {CONTAINER_OPUS, ACODEC_OPUS, 0, 0},
    {CONTAINER_FLAC, ACODEC_FLAC, 0, 0},
    {CONTAINER_ASF, ACODEC_WMA, 0, 0},
};

struct ExtensionContainer {
  const wchar_t* extension;  // lower case
  int32_t container;
};

constexpr ExtensionContainer kExtensions[] = {
    {L"mp4", CONTAINER_MP4},  {L"mkv", CONTAINER_MATROSKA}, {L"mka", CONTAINER_MATROSKA},
    {L"wav", CONTAINER_WAV},  {L"mp3", CONTAINER_MP3},      {L"mp2", CONTAINER_MP2},
    {L"aac", CONTAINER_ADTS}, {L"ac3", CONTAINER_AC3},      {L"dts", CONTAINER_DTS},
    {L"ogg", CONTAINER_OGG},  {L"opus", CONTAINER_OPUS},    {L"flac", CONTAINER_FLAC},
    {L"wma", CONTAINER_ASF},
};

// The file of a codec's own, where an extracted track of it goes: named after the codec, as
// extracted audio always was, but for PCM, whose file is a WAV.
struct OwnFile {
  int32_t codec;
  const wchar_t* extension;
};

constexpr OwnFile kOwnFiles[] = {
    {ACODEC_AAC, L"AAC"}, {ACODEC_AC3, L"AC3"}, {ACODEC_DTS, L"DTS"},   {ACODEC_MP3, L"MP3"},
    {ACODEC_MP2, L"MP2"}, {ACODEC_OGG, L"OGG"}, {ACODEC_OPUS, L"OPUS"}, {ACODEC_FLAC, L"FLAC"},
    {ACODEC_PCM, L"WAV"}, {ACODEC_WMA, L"WMA"},
};

int32_t ContainerOfExtension(const std::wstring& extension) {
  const std::wstring lower = ToLowerText(extension);
  for (const ExtensionContainer& entry : kExtensions)
    if (lower == entry.extension) return entry.container;
  return CONTAINER_UNKNOWN;
}

bool RowHolds(const ContainerCodecRow& row, int32_t container, int32_t codec) {
  return row.container == container && (row.codec == CODEC_ANY || row.codec == codec);
}

}  // namespace

const std::vector<ContainerCodecRow>& ContainerCodecRows() {
  static const std::vector<ContainerCodecRow> rows(std::begin(kRows), std::end(kRows));
  return rows;
}

int32_t ContainerOfPath(const std::wstring& path) {
  const size_t dot = path.rfind(L'.');
  return dot == std::wstring::npos ? CONTAINER_UNKNOWN : ContainerOfExtension(path.substr(dot + 1));
}

int32_t PcmLayoutOf(const AudioTrackDesc& track) {
  if (track.codec != ACODEC_PCM) return 0;
  int32_t layout = 0;
  const bool bigEndian = (track.sampleFormat & SAMPLE_BIG_ENDIAN) != 0;
  if (bigEndian) layout |= PCM_BIG_ENDIAN;
  if (bigEndian && (track.sampleFormat & SAMPLE_FLOAT) != 0) layout |= PCM_BIG_ENDIAN_FLOAT;
  if (track.bitDepth == 8 && (track.sampleFormat & SAMPLE_UNSIGNED) == 0) layout |= PCM_SIGNED_8_BIT;
  return layout;
}

bool ContainerHoldsVideo(int32_t container, int32_t videoCodec) {
  if (container == CONTAINER_UNKNOWN) return true;
  for (const ContainerCodecRow& row : kRows)
    if (RowHolds(row, container, videoCodec)) return true;
  return false;
}

bool ContainerHoldsAudio(int32_t container, const AudioTrackDesc& track) {
  if (container == CONTAINER_UNKNOWN) return true;
  const int32_t layout = PcmLayoutOf(track);
  for (const ContainerCodecRow& row : kRows) {
    if (!RowHolds(row, container, track.codec)) continue;
    // A rate the report does not give cannot be shown to be high enough.
    if (row.minSampleRate > 0 && track.sampleRate < row.minSampleRate) continue;
    if ((layout & row.refusedPcm) != 0) continue;
    return true;
  }
  return false;
}

std::wstring AudioExtractExtension(const AudioTrackDesc& track) {
  for (const OwnFile& own : kOwnFiles) {
    if (own.codec == track.codec &&
        ContainerHoldsAudio(ContainerOfPath(std::wstring(L".") + own.extension), track))
      return own.extension;
  }
  return MATROSKA_AUDIO_EXTENSION;
}
