#pragma once
// The command of one file as a run and the preview make it: the file is probed first (for a
// merge of video and audio, its video file), then the pure builder makes the command from the
// description.
#include <functional>
#include <string>

#include "jobs/command_builder.h"
#include "jobs/job_settings.h"
#include "jobs/output_naming.h"
#include "probe/media_desc.h"

// Probes one file into media; true when it could be read. ProbeMediaFile in the program; tests
// put their own.
using ProbeFunction = std::function<bool(const std::wstring& path, MediaDesc& media)>;

// Probes what the build of inputPath needs and builds it (jobs/command_builder.h).
CBuiltCommand ProbeAndBuild(const JobSettings& settings, const std::wstring& inputPath,
                            const ProbeFunction& probe, const COutputReservations& reserved, bool pause);
