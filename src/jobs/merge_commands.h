#pragma once
// The two joining jobs, which do not follow the nine-slot convert command: one video file with
// one audio file, and the per-file transport-stream remux of a merge-files run.
#include <string>

#include "jobs/command_builder.h"
#include "jobs/job_settings.h"

// The intermediate transport stream of one input of a merge-files run: the path split at its
// last "." plus ".ts". The per-file remux and the batch worker's concat join both name it
// here, so they always agree. False for an empty path or one ending in ".".
bool GetTransportStreamPath(const std::wstring& inputPath, std::wstring& tsPath);

// The per-file remux command: the input rewrapped as MPEG-TS into outputPath.
std::wstring MakeRemuxCommand(const std::wstring& inputPath, const std::wstring& outputPath);

// Builds the video-and-audio merge command from the first two of settings.files into cmdSet
// (and result when given). Shows a message and leaves both untouched when the files do not
// fit or the video cannot be probed. Always true.
bool BuildMergeVideoAudioCommand(const JobSettings& settings, std::wstring& cmdSet, std::wstring* result,
                                 const ProbeFunction& probe);
