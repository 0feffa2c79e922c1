#pragma once
// Reading ffmpeg's own progress from its standard error, and drawing it as one terminal line.
// ffmpeg ends each statistics line with a carriage return; its "time=" is the position reached
// in the output, and an input's "Duration:" its length.
#include <string>

// "frame=  75 fps=0.0 ... time=00:00:02.88 bitrate=..." gives 2.88. False for any other line,
// and for "time=N/A".
bool ParseProgressTime(const std::string& line, double& seconds);

// "  Duration: 00:00:05.00, start: 0.000000, bitrate: ..." gives 5.0. False for "N/A" or any
// other line.
bool ParseInputDuration(const std::string& line, double& seconds);

// "[2/10] [########------------]  40%  name": a bar when total is known (> 0), otherwise the
// time reached ("[2/10] 00:01:05  name"); cut to width columns.
std::string FormatProgressLine(const std::string& counter, const std::string& name, double seconds,
                               double total, int width);

// "... time=00:00:02.88 bitrate=... speed=1.93x" gives 1.93, ffmpeg's own measure of how many
// seconds of media it makes per second. False for "speed=N/A" and any line without it.
bool ParseProgressSpeed(const std::string& line, double& speed);

// One running command as a terminal line: FormatProgressLine's bar and percent, then the speed
// (times realtime) and the time left, (total - seconds) / speed, when ffmpeg has given a speed:
// "[2/10] [########------------]  40%  1.9x  00:00:31 left  name".
std::string FormatProgressStatus(const std::string& counter, const std::string& name, double seconds,
                                 double total, double speed, int width);
