#pragma once
// What ffmpeg writes on its standard error while a command runs, read as it comes. ffmpeg ends
// each statistics line with a carriage return ("frame=... time=00:00:02.88 ... speed=1.93x"):
// its "time=" is the position reached in the output, its "speed=" how many seconds of media it
// makes per second. Every other line ends with a line feed; an input's "Duration:" line gives
// its length, and the last of them says why a command failed. The command line and the window
// read each command's standard error through one CFfmpegErrorStream.
#include <deque>
#include <functional>
#include <string>

// "frame=  75 fps=0.0 ... time=00:00:02.88 bitrate=..." gives 2.88. False for any other line,
// and for "time=N/A".
bool ParseProgressTime(const std::string& line, double& seconds);

// "  Duration: 00:00:05.00, start: 0.000000, bitrate: ..." gives 5.0. False for "N/A" or any
// other line.
bool ParseInputDuration(const std::string& line, double& seconds);

// "... time=00:00:02.88 bitrate=... speed=1.93x" gives 1.93. False for "speed=N/A" and any line
// without it.
bool ParseProgressSpeed(const std::string& line, double& speed);

// How far one command has come, as its statistics say.
struct CFfmpegProgress {
  double seconds = 0;  // the time reached in the output
  double total = 0;    // the length expected; 0 while it is not known
  double speed = 0;    // times realtime; 0 while ffmpeg has not said
};

class CFfmpegErrorStream {
 public:
  // total: the length the run expects in seconds; 0 to take the first input's "Duration:".
  explicit CFfmpegErrorStream(double total = 0);

  // Called for each statistics line, and when the length becomes known.
  std::function<void(const CFfmpegProgress& progress)> onProgress;
  // Called for every line, statistics or not, without its ending; ending is the '\r' or '\n'
  // that ended it, or 0 for a last line that Finish ended.
  std::function<void(const std::string& line, bool statistics, char ending)> onLine;

  // Any piece of the stream, as a pipe delivers it: a line may be cut anywhere.
  void Take(const std::string& bytes);
  // The end of the stream: a last line without its ending counts too.
  void Finish();

  const CFfmpegProgress& Progress() const { return progress_; }
  // The last lines that were not statistics, each with its line feed.
  std::string LastLines() const;
  // The line that says why the command failed: the last one that was not statistics, passing
  // over ffmpeg's closing "Conversion failed!", which says only that it did; empty when there
  // was none.
  std::string LastErrorLine() const;

  // How many lines are kept.
  static constexpr size_t kKeptLines = 12;

 private:
  void TakeLine(const std::string& line, char ending);

  CFfmpegProgress progress_;
  std::string pending_;
  std::deque<std::string> kept_;
};
