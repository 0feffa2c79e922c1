#pragma once
// The lines a run shows on standard error: messages that stay (a file reached, a failure, the
// summary) and, on a terminal, below them one progress line per command running now, redrawn
// in place as their ffmpeg statistics come in. Any thread may call; all writing happens under
// one lock, so lines from commands running at once never mix.
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class CProgressBoard {
 public:
  // write receives text for standard error as it is to be written (UTF-8, with the terminal's
  // control sequences when draw is set); columns gives the terminal's width. Without draw only
  // messages are written and the progress calls do nothing.
  CProgressBoard(std::function<void(const std::string&)> write, std::function<int()> columns, bool draw);

  // Whether progress lines are drawn (a terminal).
  bool Draws() const { return draw_; }

  // A message above the progress lines; text ends with its own line feed.
  void Print(const std::string& text);

  // A command's progress line: id names it (a file's place in the list, 0 for a join).
  void Add(int id, const std::string& counter, const std::string& name, double total);
  // seconds reached of total (total 0: the line's total stays), speed as times realtime (0: not known).
  void Update(int id, double seconds, double total, double speed);
  void Remove(int id);

 private:
  struct CLine {
    int id;
    std::string counter, name;
    double seconds, total, speed;
  };

  // The board's text: erase what is shown, text, then the progress lines again.
  void Redraw(const std::string& text);

  std::mutex lock_;
  std::function<void(const std::string&)> write_;
  std::function<int()> columns_;
  const bool draw_;
  std::vector<CLine> lines_;
  size_t shown_ = 0;  // progress lines on the screen now, the cursor on the line below them
  std::chrono::steady_clock::time_point drawn_{};
};
