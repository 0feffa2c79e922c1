#pragma once
// Every choice the command builder and the output naming depend on, as one record. Its
// defaults are the dialog's initial control states, so the window and the command line start
// from the same settings.
#include <cstdint>
#include <string>
#include <vector>

enum JobKind : int32_t {
  JOB_VIDEO_EXTRACT = 1,
  JOB_AUDIO_EXTRACT = 2,
  JOB_CONVERT = 3,
  JOB_MERGE_FILES = 4,
  JOB_MERGE_VIDEO_AUDIO = 5,
};

// 1-based row of the output-codec list; -1 when no row is checked.
enum OutputCodec : int32_t {
  OUT_NONE = -1,
  OUT_H264 = 1,
  OUT_H265 = 2,
  OUT_GIF = 3,
  OUT_WAV = 4,
  OUT_MP3 = 5,
};

enum OutputKind : int32_t {
  OUTPUT_VIDEO = 1,
  OUTPUT_AUDIO = 2,
};

struct RangeTime {
  uint16_t hours = 0;
  uint16_t minutes = 0;
  uint16_t seconds = 0;
};

constexpr const wchar_t* DEFAULT_INPUT_NAME = L"입력.mp4";

struct JobSettings {
  std::wstring currentFile;  // empty until the first gather or file click
  std::vector<std::wstring> files;
  int32_t outputCodec = OUT_H265;
  bool useGpu = true;
  bool gpuCompatMode = false;
  bool useVideoBitRate = true;
  int32_t videoBitRate = 3000;
  bool useQuantizer = false;
  int32_t quantizer = 28;
  bool copyVideo = false;
  bool containerMp4 = false;
  bool containerMkv = false;
  bool scale1080 = false;
  bool pixelFormatCompat = false;
  std::vector<uint32_t> selectedAudioTracks;
  bool allAudioTracks = true;
  bool copyAudio = false;
  int32_t audioBitRate = 128;
  bool downmixStereo = false;
  bool forceAudioEncode = false;
  bool audioAac = true;
  bool audioMp3 = false;
  bool applyRange = false;
  bool rangeCopy = false;
  bool rangeAccurate = false;
  RangeTime rangeStart;
  RangeTime rangeEnd;
  int32_t jobKind = JOB_CONVERT;
  // The kind of output the last output codec gave (OutputKindOf); kept while no codec is chosen.
  int32_t outputKind = OUTPUT_VIDEO;
  // The command being built is for the first file of a run, the only one the audio-track
  // selection applies to; a run sets it in its own copy. A preview before any run honours the
  // selection, like a run's first file.
  bool firstFileOfBatch = true;
  // The folder every output, intermediate and joined file goes to; empty: beside each input,
  // as the window always writes them.
  std::wstring outputFolder;
  // Each output takes its input's modification time (on Windows its creation time too) once it
  // is whole; the file a join or a merge of video and audio makes takes its first file's.
  bool keepSourceDates = false;
  // A merge of files joins its parts even where their streams differ (CompareMergeParts): the
  // user was told and said so. Never kept between runs.
  bool joinAnyway = false;
};

// The output kind that settings.outputCodec gives: video for H.264, H.265 and GIF, audio for WAV
// and MP3; settings.outputKind when no output codec is chosen.
int32_t OutputKindOf(const JobSettings& settings);

// The absolute difference of the two second counts (hours * 3600 + minutes * 60 + seconds);
// 0 when either is absent.
uint32_t GetRangeSeconds(const RangeTime* start, const RangeTime* end);
