#pragma once
// Reads what one running command writes on its standard error (see exec/command_error_pipe.h),
// on a thread of its own: ffmpeg's statistics lines move the command's progress line on the
// board, its last other lines are kept to be shown if the command fails, and with verbose every
// line is passed on as it comes.
#include <deque>
#include <string>
#include <thread>

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
    std::string prefix;    // put before each line passed on
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
  std::string LastLines() const;

  // How many lines are kept for a failure.
  static constexpr size_t kKeptLines = 12;

 private:
  void Read();
  // One line, without its ending.
  void Take(const std::string& line);

  CCommandErrorPipe& pipe_;
  CProgressBoard& board_;
  const CSettings settings_;
  double total_ = 0;
  double seconds_ = 0;
  double speed_ = 0;
  std::deque<std::string> kept_;
  std::thread reader_;
};
