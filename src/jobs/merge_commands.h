#pragma once
// The two joining jobs, which do not follow the nine-slot convert command: one video file with
// one audio file, and the per-file transport-stream remux of a merge-files run.
#include <string>
#include <vector>

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

// Refuses a list that a merge-files run cannot carry out; true when all is well, otherwise
// refusal holds the text to show, and nothing may run. Each entry must have a file name with
// an extension (the intermediate of "dir/name" would be "dir/.ts"), no name may hold "|",
// which separates the parts of the join's "concat:" list, and the first entry's extension,
// which the joined file takes and by which ffmpeg picks its format, must be letters and digits.
bool CheckMergeEntries(const std::vector<std::wstring>& files, std::wstring& refusal);

// The concat join of the intermediates into output, ending in " & pause".
std::wstring MakeJoinCommand(const std::vector<std::wstring>& intermediates, const std::wstring& output);
