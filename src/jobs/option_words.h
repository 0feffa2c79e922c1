#pragma once
// The job settings in the command line's words: the names of the job kinds and output codecs
// that its --job and --codec take, and the whole of a JobSettings as the options that give a
// run those very settings. A run's report keeps its settings this way, so a later run can read
// them back with the command line's own parser.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jobs/job_settings.h"

// A word of --job or --codec and the value it stands for.
struct COptionName {
  const wchar_t* name;
  int32_t value;
};

// --job's words, in the order the usage lists them: convert, video, audio, merge, merge-av.
const std::vector<COptionName>& JobKindNames();
// --codec's words: h264, h265, gif, wav, mp3.
const std::vector<COptionName>& OutputCodecNames();

// The --job word of a job kind ("convert", "merge-av", ...); empty for an unknown kind.
const wchar_t* JobName(int32_t jobKind);

// The options, word by word, that give `kestrune run` these settings whatever its defaults:
// every setting the command line can take is said, both ways where it has two (--gpu and
// --no-gpu, --aac and --no-aac, ...), and --output-dir with its folder when there is one.
// Settings the command line cannot say, or that mean nothing, are left out: no output codec
// chosen, a bit rate of 0, a quantiser or range copy that is not in use, the GPU's compatibility
// mode without the GPU. The files and
// the run's own flags (--jobs, --pause, ...) are not settings of the job.
std::vector<std::wstring> SettingsOptionWords(const JobSettings& settings);
