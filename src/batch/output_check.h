#pragma once
// The check of a command's output before it counts as done: an exit status of 0 is not enough
// (an input whose header promises more than its data holds converts with 0 into a shorter
// file, and a command can write a file without any stream). The output must be there, not be
// empty, be read by MediaInfo, hold an audio or video stream, not last 0 ms, and last as long as
// expected, within max(500 ms, 1 %). Where no length is expected (none in the input's
// description, a GIF) or MediaInfo gives the output none (a raw AAC stream), its length is not
// judged.
#include <functional>

#include "batch/batch_host.h"
#include "batch/file_command.h"
#include "probe/media_lengths.h"

// Measures one file's lengths; true when MediaInfo described it. MeasureMediaFile in the
// program; tests put their own.
using MeasureFunction = std::function<bool(const std::wstring& path, CMediaLengths& lengths)>;

// A probe that adds the file's lengths to the millisecond, read with measure, to what probe told,
// where its description does not hold them already (one the window measured when the file was
// clicked): what an input's expected length and a range's check against its end are read from.
ProbeFunction MeasuringProbe(ProbeFunction probe, MeasureFunction measure);

// The least slack of the length check. Both lengths are exact to the millisecond; what is left
// is how streams end: an encoded audio track ends on a whole frame of its codec (about 21 to
// 64 ms), a cut on a whole picture, and MediaInfo reads a transport stream a picture or two
// shorter than its source. Half a second takes two pictures at 4 frames a second.
constexpr int64_t kLeastLengthSlackMs = 500;

// Whether an output of actualMs is as long as expectedMs within max(500 ms, 1 %).
bool LastsLongEnough(int64_t actualMs, int64_t expectedMs);

// The verdict on the output of a command that exited with 0; measure reads the output (one
// MediaInfo run).
COutputReport CheckOutput(const CBatchCommand& command, const MeasureFunction& measure);
