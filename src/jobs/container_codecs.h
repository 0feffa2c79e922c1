#pragma once
// Which file format holds which stream for a stream copy ("-c copy"), as one table: a copy is
// written only into a file the table says holds it, the command builder's choice of the file
// an extracted track goes into comes from it, and its tests check every row against the real
// ffmpeg. A row stands only where ffmpeg writes the copy, and the file plays, for every sample
// rate and channel count (or from the sample rate the row names on). What no row names is not
// held, an unknown codec included, except in Matroska, which holds any stream (a few PCM
// layouts aside).
#include <cstdint>
#include <string>
#include <vector>

#include "probe/media_desc.h"

// The files a command may write, by what their extension makes ffmpeg write.
enum ContainerKind : int32_t {
  CONTAINER_UNKNOWN = 0,  // an extension not named here: its copies are not judged
  CONTAINER_MP4,          // .mp4
  CONTAINER_MATROSKA,     // .mkv, .mka
  CONTAINER_WAV,          // .wav
  CONTAINER_MP3,          // .mp3: one MPEG layer 3 stream
  CONTAINER_MP2,          // .mp2: one MPEG layer 2 stream
  CONTAINER_ADTS,         // .aac: one AAC stream
  CONTAINER_AC3,          // .ac3: one AC-3 (or E-AC-3) stream
  CONTAINER_DTS,          // .dts
  CONTAINER_OGG,          // .ogg
  CONTAINER_OPUS,         // .opus
  CONTAINER_FLAC,         // .flac
  CONTAINER_ASF,          // .wma
};

// A codec code of a row that stands for every codec, the unknown ones included.
constexpr int32_t CODEC_ANY = -1;

// PCM layouts a row may refuse (a track's layout: PcmLayoutOf).
enum PcmLayout : int32_t {
  PCM_BIG_ENDIAN = 1,        // most significant byte first (AIFF, QuickTime "twos")
  PCM_SIGNED_8_BIT = 2,      // 8-bit samples with a sign (WAV's are unsigned)
  PCM_BIG_ENDIAN_FLOAT = 4,  // floating point, most significant byte first
};

struct ContainerCodecRow {
  int32_t container;      // ContainerKind
  int32_t codec;          // a VideoCodec or AudioCodec code, or CODEC_ANY
  int32_t minSampleRate;  // Hz; 0: any (audio only)
  int32_t refusedPcm;     // PcmLayout flags of PCM tracks the container does not hold
};

// Every row, for the tests that check them.
const std::vector<ContainerCodecRow>& ContainerCodecRows();

// The container an output name makes ffmpeg write (its extension, any case).
int32_t ContainerOfPath(const std::wstring& path);

// The PCM layout flags of a track: 0 for any other codec.
int32_t PcmLayoutOf(const AudioTrackDesc& track);

// Whether a copy of the stream into the container is held; true for CONTAINER_UNKNOWN, whose
// copies are left as asked.
bool ContainerHoldsVideo(int32_t container, int32_t videoCodec);
bool ContainerHoldsAudio(int32_t container, const AudioTrackDesc& track);

// The extension (upper case, as the extracted audio has always been named) of the file one
// copied track of an audio extract goes into: the file of the codec's own name (AAC, AC3, MP3,
// WAV for PCM, FLAC, ...) where that holds the track, else Matroska audio, MKA.
std::wstring AudioExtractExtension(const AudioTrackDesc& track);

// The extension of Matroska audio, which holds several tracks and any codec.
constexpr const wchar_t* MATROSKA_AUDIO_EXTENSION = L"MKA";
