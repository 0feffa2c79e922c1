#pragma once
// Reads what one running command writes on its standard error (see exec/command_error_pipe.h),
// on a thread of its own, through a CFfmpegErrorStream: ffmpeg's statistics lines move the
// command's progress line on the board, its last other lines are kept to be shown if the
// command fails, and with verbose every line is passed on as it comes.
#include <string>
#include <thread>

#include "batch/ffmpeg_statistics.h"
#include "cli/progress_board.h"
#include "exec/command_error_pipe.h"

class CCommandWatch {
 public:
  struct CSettings {
    int id = 0;            // the command's progress line on the board
    std::string counter;   // "[2/10]", "[join]"
    std::string name;      // the file's name on its progress line
    double total = 0;      // the expected length in seconds; 0 to take the first "Duration:"
    bool verbose = false;  // pass every line on
    // Pass every line on exactly as ffmpeg wrote it, each with its own ending: one file at a
    // time without a terminal, where ffmpeg's output always went through as it came.
    bool passThrough = false;
    std::string prefix;  // put before each line passed on
  };

  // Starts reading pipe, which must outlive this watch.
  CCommandWatch(CCommandErrorPipe& pipe, CProgressBoard& board, CSettings settings);
  // Waits until the pipe's end (call pipe.CloseWriteEnd() first) and takes the line off the board.
  ~CCommandWatch();
  CCommandWatch(const CCommandWatch&) = delete;
  CCommandWatch& operator=(const CCommandWatch&) = delete;

  // Waits for the end as the destructor does; then the lines kept for a failure are final.
  void Finish();
  // The last lines that were not statistics, each with its line feed.
  std::string LastLines() const { return stream_.LastLines(); }
  // The line that says why the command failed (CFfmpegErrorStream::LastErrorLine).
  std::string LastErrorLine() const { return stream_.LastErrorLine(); }

  // How many lines are kept for a failure.
  static constexpr size_t kKeptLines = CFfmpegErrorStream::kKeptLines;

 private:
  void Read();
  // One line as the stream cut it.
  void PassOn(const std::string& line, bool statistics, char ending);

  CCommandErrorPipe& pipe_;
  CProgressBoard& board_;
  const CSettings settings_;
  CFfmpegErrorStream stream_;
  std::thread reader_;
};
