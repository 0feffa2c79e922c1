#pragma once
// Turns one input file and the current job settings into one ffmpeg command line for the
// command interpreter.
#include <functional>
#include <string>

#include "jobs/job_settings.h"
#include "probe/media_desc.h"
#include "probe/probe_runner.h"

using ProbeFunction = std::function<bool(const std::wstring& path, MediaDesc& media)>;

class CCommandBuilder {
 public:
  // settings: read, and outputKind written; cmdSet: the text of the last command built, which
  // this writes; probe: ProbeMediaFile in the program, injected in tests.
  CCommandBuilder(JobSettings& settings, std::wstring& cmdSet, ProbeFunction probe = ProbeMediaFile);

  // False when the input could not be probed (cmdSet and result then keep their text); true
  // whenever a command was made, and always for a merge of video and audio. result, when
  // given, receives a copy of cmdSet; pause appends " & pause".
  bool BuildCommand(const std::wstring& inputPath, std::wstring* result, bool pause);

 private:
  JobSettings& settings_;
  std::wstring& cmdSet_;
  ProbeFunction probe_;
};
