#pragma once
// ffmpeg's progress drawn as one terminal line (batch/ffmpeg_statistics.h reads it).
#include <string>

// "[2/10] [########------------]  40%  name": a bar when total is known (> 0), otherwise the
// time reached ("[2/10] 00:01:05  name"); cut to width columns.
std::string FormatProgressLine(const std::string& counter, const std::string& name, double seconds,
                               double total, int width);

// One running command as a terminal line: FormatProgressLine's bar and percent, then the speed
// (times realtime) and the time left, (total - seconds) / speed, when ffmpeg has given a speed:
// "[2/10] [########------------]  40%  1.9x  00:00:31 left  name".
std::string FormatProgressStatus(const std::string& counter, const std::string& name, double seconds,
                                 double total, double speed, int width);
