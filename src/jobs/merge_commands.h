#pragma once
// The two joining jobs, which do not follow the nine-slot convert command: one video file with
// one audio file, and the per-file transport-stream remux of a merge-files run.
#include <string>

#include "jobs/command_builder.h"
#include "jobs/job_settings.h"

// The per-file remux command: the input rewrapped as MPEG-TS into outputPath (its
// intermediate, named by GetIntermediatePath).
std::wstring MakeRemuxCommand(const std::wstring& inputPath, const std::wstring& outputPath);

// Builds the video-and-audio merge command from the first two of settings.files into cmdSet
// (and result when given), and sets outputPath to the file it writes. Shows a message and
// leaves all three untouched when the files do not fit or the video cannot be probed. Returns
// true either way, so a caller tells a refusal from a command by whether the text was made.
bool BuildMergeVideoAudioCommand(const JobSettings& settings, std::wstring& cmdSet, std::wstring* result,
                                 const ProbeFunction& probe, std::wstring* outputPath = nullptr);
