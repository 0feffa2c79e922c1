#pragma once
// Small media files made at test time by the real ffmpeg from its lavfi sources; no media is
// ever committed. Natively ffmpeg comes from PATH; under Wine through the bridge ffmpeg.exe
// beside the test executable.
#include <string>
#include <vector>

enum class Sample {
  H264_AAC_MP4,              // 320x240 H.264, one stereo AAC track of about 192 kb/s
  H265_AC3_51_MKV,           // H.265, one 5.1 AC-3 track tagged Korean
  THREE_AUDIO_TWO_SUBS_MKV,  // H.264, three stereo AAC tracks (eng, jpn, fra), two subtitles
  VP9_OPUS_WEBM,             // VP9 with one Opus track
  ANIMATED_GIF,              // an animated GIF, no audio
  MP3_ONLY,                  // stereo MP3, audio only
  SEVEN_AUDIO_MKV,           // H.264, seven stereo AAC tracks
  MONO_AAC_M4A_MP4,          // H.264 with one mono AAC track of 96 kb/s
  H264_1080_MP4,             // 1920x1080 H.264 with one stereo AAC track (short)
  TWELVE_AUDIO_MKV,          // H.264, twelve AAC tracks: odd ones mono, even ones stereo, but the
                             // 11th and 12th 5.1, so a later track written over an earlier one shows
  NOISY_H264_MP4,            // 320x240 H.264 of a noisy picture, so an encoder spends the bit rate it is
                             // given; one stereo AAC track of about 192 kb/s
  CUT_SHORT_MKV,             // H.264 and stereo AAC whose header says twice the length asked for, but
                             // whose data ends after about that length, as an interrupted download
                             // leaves a file: the first half of a whole one
  WMV_WMA,                   // Windows Media Video 8 with stereo Windows Media Audio 2, in ASF
  MPEG2_MP2_PS,              // MPEG-2 video with stereo MPEG audio layer 2, in an MPEG program stream
  VP8_VORBIS_WEBM,           // VP8 with one mono Vorbis track of 8 kHz
  FLAC_ONLY,                 // stereo FLAC of 44.1 kHz, audio only
  PCM_WAV,                   // mono 16-bit PCM of 8 kHz in a WAV
};

// Writes the sample to path (its extension should match); seconds is its length (for
// CUT_SHORT_MKV, what its data holds).
// False when ffmpeg is missing or fails.
bool MakeSample(Sample kind, const std::wstring& path, int seconds = 2);

// A clip of ffmpeg's test picture and tracks of its tone, encoded with the options given:
// videoOptions empty for none ({L"-c:v", L"libvpx"}), audioOptions empty for no audio
// ({L"-c:a", L"flac"}); each of the audioTracks tracks (a tone of its own, a language of its own
// in the order eng, jpn, fre, ger) has sampleRate and channels as the encoder takes them (one
// that cannot take the rate gets the one ffmpeg picks for it). More output options (a codec tag,
// a format) follow in extraOptions. False when ffmpeg fails.
struct ClipRecipe {
  std::vector<std::wstring> videoOptions;
  std::vector<std::wstring> audioOptions;
  int sampleRate = 48000;
  int channels = 2;
  int audioTracks = 1;
  int seconds = 2;
  std::vector<std::wstring> extraOptions;
};
bool MakeClip(const ClipRecipe& recipe, const std::wstring& path);

// Runs ffmpeg with the given arguments (no shell); true when it exits with 0.
bool RunFfmpeg(const std::vector<std::wstring>& args);

// Runs a host program with arguments and returns its standard output; empty on failure.
// Natively it is found on PATH; under Wine, name.exe beside the test executable.
std::string CaptureProgramOutput(const std::wstring& program, const std::vector<std::wstring>& args);
