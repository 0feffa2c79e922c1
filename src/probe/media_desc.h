#pragma once
// What the probe learned about one media file: a plain record of fixed size (no heap, no
// pointers) that may be copied or zero-filled as a whole. Zero means "not given".
#include <cstdint>
#include <string>

constexpr int MAX_AUDIO_TRACKS = 10;
constexpr int MAX_MEDIA_PATH = 1024;  // wide characters, terminator included

enum VideoCodec : int32_t {
  VCODEC_NONE = 0,
  VCODEC_H264 = 1,
  VCODEC_H265 = 2,
  VCODEC_GIF = 3,
  VCODEC_XVID = 4,
  VCODEC_DX50 = 5,
  VCODEC_VP9 = 6,
  VCODEC_VP8 = 7,
  VCODEC_VP7 = 8,
  // Further formats the probe tells apart, so that a copy goes only where it is held.
  VCODEC_MPEG4 = 9,     // MPEG-4 Visual without a codec ID of its own (XVID and DX50 have theirs)
  VCODEC_MSMPEG4 = 10,  // Microsoft's pre-standard MPEG-4 (MP42, MP43, DIV3)
  VCODEC_MPEG1 = 11,
  VCODEC_MPEG2 = 12,
  VCODEC_WMV = 13,  // Windows Media Video 7 to 9 (WMV1, WMV2, WMV3)
  VCODEC_VC1 = 14,
  VCODEC_AV1 = 15,
  VCODEC_MJPEG = 16,
};

// Audio codes share the number space of the video codes, starting at 51.
enum AudioCodec : int32_t {
  ACODEC_NONE = 0,
  ACODEC_MP3 = 51,
  ACODEC_AAC = 52,
  ACODEC_OGG = 53,
  ACODEC_DTS = 54,
  ACODEC_WAV = 55,
  ACODEC_AC3 = 56,
  ACODEC_OPUS = 57,
  ACODEC_MP2 = 58,  // MPEG audio layer 2 (layer 3 is ACODEC_MP3)
  ACODEC_FLAC = 59,
  ACODEC_PCM = 60,  // uncompressed samples of any layout (see AudioTrackDesc::sampleFormat)
  ACODEC_WMA = 61,
};

// How a track's samples are laid out, where the report says (its "Format settings" and
// "Format profile"): flags, 0 when it says nothing. Only PCM depends on them.
enum AudioSampleFormat : int32_t {
  SAMPLE_BIG_ENDIAN = 1,
  SAMPLE_UNSIGNED = 2,
  SAMPLE_FLOAT = 4,
};

// Windows primary language identifiers.
enum LanguageCode : int32_t {
  LANGUAGE_NONE = 0,
  LANGUAGE_CHINESE = 4,
  LANGUAGE_GERMAN = 7,
  LANGUAGE_GREEK = 8,
  LANGUAGE_ENGLISH = 9,
  LANGUAGE_SPANISH = 10,
  LANGUAGE_FRENCH = 12,
  LANGUAGE_ITALIAN = 16,
  LANGUAGE_JAPANESE = 17,
  LANGUAGE_KOREAN = 18,
  LANGUAGE_HINDI = 57,
};

struct VideoTrackDesc {
  int64_t streamSize;  // bytes
  int32_t durationSec;
  int32_t codec;    // VideoCodec
  int32_t bitRate;  // kb/s
  int32_t width;
  int32_t height;
  double frameRate;
  int32_t bitDepth;
};

struct AudioTrackDesc {
  int64_t streamSize;  // bytes
  int32_t durationSec;
  int32_t codec;    // AudioCodec
  int32_t bitRate;  // kb/s
  int32_t channels;
  int32_t language;  // LanguageCode
  // What decides which files hold a copy of the track.
  int32_t sampleRate;    // Hz
  int32_t bitDepth;      // bits per sample
  int32_t sampleFormat;  // AudioSampleFormat flags
};

// Lengths to the millisecond, where MediaInfo was asked for them (probe/media_lengths.h): the
// report's durations above are whole seconds, and from an hour on whole minutes. 0: not known.
struct ExactLengths {
  int64_t fileMs;
  int64_t videoMs;
  int64_t audioMs[MAX_AUDIO_TRACKS];  // track n at index n - 1
};

struct MediaDesc {
  wchar_t filePath[MAX_MEDIA_PATH];
  int64_t fileSize;  // bytes
  int32_t durationSec;
  VideoTrackDesc video;
  AudioTrackDesc audio[MAX_AUDIO_TRACKS];  // track n at index n - 1
  int32_t audioCount;
  int32_t subtitleCount;
  ExactLengths exact;
};

void ResetMediaDesc(MediaDesc& media);

// Stores path in filePath, cut to MAX_MEDIA_PATH - 1 characters.
void SetMediaPath(MediaDesc& media, const std::wstring& path);

// Display names; any code without one gives the empty string. Pure.
std::wstring CodecName(int32_t code);
std::wstring LanguageName(int32_t code);

// The Korean summary lines of a probed file, for the trace and the command line's probe: appends
// the whole-file line, the video line and one line per audio track to text.
void FormatMediaSummary(const MediaDesc& media, std::wstring& text);
