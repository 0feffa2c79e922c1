#pragma once
// Turns one input file and the current job settings into one ffmpeg command line for the
// command interpreter.
#include <functional>
#include <string>

#include "jobs/job_settings.h"
#include "jobs/output_naming.h"
#include "probe/media_desc.h"
#include "probe/probe_runner.h"

using ProbeFunction = std::function<bool(const std::wstring& path, MediaDesc& media)>;

// The ffmpeg encoder of an H.264 or H.265 output: NVENC on the GPU, x264 or x265 on the CPU;
// empty for any other output codec.
const wchar_t* VideoEncoderName(int32_t outputCodec, bool useGpu);

class CCommandBuilder {
 public:
  // settings: read, and outputKind written; cmdSet: the text of the last command built, which
  // this writes; probe: ProbeMediaFile in the program, injected in tests.
  CCommandBuilder(JobSettings& settings, std::wstring& cmdSet, ProbeFunction probe = ProbeMediaFile);

  // False when the input could not be probed: no command was made, and cmdSet and result keep
  // their text. True when a command was made, and for a merge of video and audio also when its
  // files did not fit (a message said why; cmdSet and result keep their text then too). result,
  // when given, receives a copy of cmdSet; pause appends " & pause".
  bool BuildCommand(const std::wstring& inputPath, std::wstring* result, bool pause);

  // Replaces the probe for the builds that follow.
  void SetProbe(ProbeFunction probe) { probe_ = std::move(probe); }

  // The file the last command made writes (for a merge of files, its intermediate).
  const std::wstring& LastOutputPath() const { return lastOutputPath_; }
  // The names this builder's commands write: one builder serves one run, so its outputs never
  // share a name, whether their commands have run yet or not.
  COutputReservations& Reservations() { return reserved_; }

 private:
  JobSettings& settings_;
  std::wstring& cmdSet_;
  ProbeFunction probe_;
  COutputReservations reserved_;
  std::wstring lastOutputPath_;
};
