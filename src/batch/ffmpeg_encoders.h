#pragma once
// Which encoders an ffmpeg build has, as "ffmpeg -encoders" lists them: builds differ (one
// has NVENC but no libx264, another the reverse), and a command naming an encoder the build
// lacks fails for every file. The list is read once per ffmpeg (gpu_check.cpp keeps it).
#include <map>
#include <string>
#include <vector>

struct CEncoderList {
  // False when the list could not be read (ffmpeg did not start, ran out of time, or printed
  // nothing that reads as a list): nothing is then known to be missing.
  bool known = false;
  // Each encoder's name and the codec it makes ("libx264" -> "h264"), in the listed order.
  std::vector<std::pair<std::wstring, std::wstring>> encoders;

  // Whether the build has the encoder; true while the list is unknown.
  bool Has(const std::wstring& name) const;
  // The listed encoders of codec ("h264"), in the listed order.
  std::vector<std::wstring> EncodersOf(const std::wstring& codec) const;
};

// Reads the output of "ffmpeg -encoders": after the legend's "------" line, one encoder a
// line, "<flags> <name> <description>", the description ending in "(codec <codec>)" where the
// codec's name differs from the encoder's. True when at least one encoder was read (list.known).
bool ParseEncoderList(const std::string& output, CEncoderList& list);

// How a run of ffmpeg for the check went.
enum FfmpegRun {
  FFMPEG_RUN_OK = 0,     // it ran and exited with 0
  FFMPEG_RUN_FAILED,     // it ran and failed: an answer of its own
  FFMPEG_RUN_NO_ANSWER,  // it did not start, ran out of time, or had nowhere to write: ask again later
};

// The status of a hidden run (RunHiddenProgramWithin) as such an outcome.
FfmpegRun FfmpegRunOf(int status);

// Runs "ffmpeg -hide_banner -encoders" within timeLimitMs, its output into listFile, and
// reads it into list.
FfmpegRun ReadFfmpegEncoders(const std::wstring& ffmpeg, int timeLimitMs, const std::wstring& listFile,
                             CEncoderList& list);
