#pragma once
// The joining jobs, which do not follow the nine-slot convert command: one video file with one
// audio file, and the merge of files end to end, whose files are each rewrapped as an MPEG
// transport stream beside themselves (or in the output folder) and then joined by one more
// command.
#include <string>
#include <vector>

#include "base/texts.h"
#include "jobs/command_builder.h"
#include "jobs/job_settings.h"
#include "probe/media_desc.h"

// The per-file remux command: the input rewrapped as MPEG-TS into outputPath (its
// intermediate, named by GetIntermediatePath).
std::wstring MakeRemuxCommand(const std::wstring& inputPath, const std::wstring& outputPath);

// The video and the audio file of a merge of video and audio: of the first two files, the
// first of each kind (later files are never looked at). TXT_NONE when both were found, else
// why not (TXT_REFUSE_NEED_TWO_FILES, TXT_REFUSE_NEED_VIDEO_AND_AUDIO).
TextId PickMergeVideoAudio(const std::vector<std::wstring>& files, std::wstring& video, std::wstring& audio);

// The video-and-audio merge command of the first two of settings.files, which ends in its own
// " & pause", and the file it writes. videoMedia describes the video file; null when it could
// not be probed, which refuses (TXT_REFUSE_MEDIA_INFO_ERROR), as files that do not fit do.
CBuiltCommand BuildMergeVideoAudioCommand(const JobSettings& settings, const MediaDesc* videoMedia);

// Refuses a list that a merge-files run cannot carry out; no refusal when all is well. Each
// entry must have a file name with an extension (the intermediate of "dir/name" would be
// "dir/.ts"), no name may hold "|", which separates the parts of the join's "concat:" list,
// and the first entry's extension, which the joined file takes and by which ffmpeg picks its
// format, must be letters and digits. The intermediates lie in outputFolder when one is given,
// so its name must not hold "|" either.
CRefusal CheckMergeEntries(const std::vector<std::wstring>& files,
                           const std::wstring& outputFolder = std::wstring());

// The concat join of the intermediates into output, ending in " & pause".
std::wstring MakeJoinCommand(const std::vector<std::wstring>& intermediates, const std::wstring& output);
