#pragma once
// How long a file and each of its streams last, to the millisecond, and whether MediaInfo can
// read it at all. The report the probe parses gives whole seconds (from an hour on, whole
// minutes), which cannot tell an 800 ms file from one without any length; so MediaInfo is asked
// for the figures themselves with a template of its own (--Inform), on the file alone.
#include <cstdint>
#include <string>
#include <string_view>

#include "probe/media_desc.h"

constexpr int64_t kLengthNotGiven = -1;

struct CMediaLengths {
  bool described = false;  // MediaInfo recognised the file's format
  int videoCount = 0;      // video and image streams (a GIF has an image)
  int audioCount = 0;
  int64_t fileMs = kLengthNotGiven;   // the file's, as long as its longest stream
  int64_t videoMs = kLengthNotGiven;  // the first video stream's
  int64_t audioMs[MAX_AUDIO_TRACKS] = {kLengthNotGiven, kLengthNotGiven, kLengthNotGiven, kLengthNotGiven,
                                       kLengthNotGiven, kLengthNotGiven, kLengthNotGiven, kLengthNotGiven,
                                       kLengthNotGiven, kLengthNotGiven};
};

// The --Inform template whose answer ParseMediaLengths reads: one line for the file, then one
// per video and per audio stream, each opened by a letter of its own (G, V, A).
const wchar_t* MediaLengthsTemplate();

// Reads MediaInfo's answer to the template into lengths (reset first). True when it described
// the file (a format was recognised).
bool ParseMediaLengths(std::string_view answer, CMediaLengths& lengths);

// Runs MediaInfo on path with the template, hidden (no command interpreter: the name goes to it
// as one argument), its answer written into a scratch folder of its own, so measures may run
// beside each other and beside probes. False when MediaInfo is missing, the file is, or its
// answer does not describe the file.
bool MeasureMediaFile(const std::wstring& path, CMediaLengths& lengths);

// The lengths a measure gave, into media's exact lengths (those not given stay 0).
void ApplyMediaLengths(const CMediaLengths& lengths, MediaDesc& media);
