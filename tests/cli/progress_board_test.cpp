// The run's lines on standard error: messages stay, progress lines are redrawn below them in
// place; without a terminal only the messages are written.
#include "cli/progress_board.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// Plays the written text on a small screen model that knows the board's few control
// sequences: carriage return, line feed, "ESC [ n A" (up) and "ESC [ J" (clear below).
class Screen {
 public:
  void Write(const std::string& text) {
    raw += text;
    for (size_t i = 0; i < text.size(); ++i) {
      char c = text[i];
      if (c == '\033') {
        size_t end = text.find_first_of("AJ", i);
        ASSERT_NE(end, std::string::npos);
        if (text[end] == 'A') row_ -= std::stoi(text.substr(i + 2, end - i - 2));
        if (text[end] == 'J') lines_.resize(row_);
        ASSERT_GE(row_, 0);
        i = end;
      } else if (c == '\r') {
        continue;
      } else if (c == '\n') {
        ++row_;
        if (static_cast<int>(lines_.size()) <= row_) lines_.resize(row_ + 1);
      } else {
        if (static_cast<int>(lines_.size()) <= row_) lines_.resize(row_ + 1);
        lines_[row_] += c;
      }
    }
  }
  // The screen's lines, the empty one under the cursor left out.
  std::vector<std::string> Lines() const {
    std::vector<std::string> shown = lines_;
    while (!shown.empty() && shown.back().empty()) shown.pop_back();
    return shown;
  }
  std::string raw;

 private:
  std::vector<std::string> lines_;
  int row_ = 0;
};

CProgressBoard MakeBoard(Screen& screen, bool draw) {
  return CProgressBoard([&screen](const std::string& text) { screen.Write(text); }, [] { return 79; }, draw);
}

TEST(ProgressBoard, RunningCommandsStayBelowTheMessages) {
  Screen screen;
  CProgressBoard board = MakeBoard(screen, true);
  board.Print("[1/3] /m/a.mp4\n");
  board.Add(1, "[1/3]", "a.mp4", 10);
  board.Print("[2/3] /m/b.mp4\n");
  board.Add(2, "[2/3]", "b.mp4", 0);
  EXPECT_EQ(screen.Lines(),
            (std::vector<std::string>{"[1/3] /m/a.mp4", "[2/3] /m/b.mp4",
                                      "[1/3] [--------------------]   0%  a.mp4", "[2/3] 00:00:00  b.mp4"}));
  // b learns its length; a message comes while both run; a ends.
  board.Update(2, 1, 4, 2);
  board.Print("kestrune: [3/3] skipped\n");
  board.Remove(1);
  EXPECT_EQ(screen.Lines(),
            (std::vector<std::string>{"[1/3] /m/a.mp4", "[2/3] /m/b.mp4", "kestrune: [3/3] skipped",
                                      "[2/3] [#####---------------]  25%  2.0x  00:00:01 left  b.mp4"}));
  board.Remove(2);
  board.Print("done\n");
  EXPECT_EQ(screen.Lines().back(), "done");
  EXPECT_EQ(screen.Lines().size(), 4u);
}

TEST(ProgressBoard, WithoutATerminalOnlyMessages) {
  Screen screen;
  CProgressBoard board = MakeBoard(screen, false);
  board.Add(1, "[1/1]", "a.mp4", 10);
  board.Update(1, 5, 10, 1);
  board.Print("[1/1] /m/a.mp4\n");
  board.Remove(1);
  EXPECT_EQ(screen.raw, "[1/1] /m/a.mp4\n");
}

// Lines from commands running at once are written whole, never into each other.
TEST(ProgressBoard, ThreadsNeverMixTheirLines) {
  Screen screen;
  CProgressBoard board = MakeBoard(screen, true);
  std::vector<std::thread> threads;
  for (int t = 1; t <= 4; ++t) {
    threads.emplace_back([&board, t] {
      std::string counter = "[" + std::to_string(t) + "/4]";
      board.Add(t, counter, "f", 100);
      for (int i = 0; i < 50; ++i) {
        board.Update(t, i, 0, 1.5);
        board.Print(counter + " line " + std::to_string(i) + "\n");
      }
      board.Remove(t);
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::vector<std::string> lines = screen.Lines();
  ASSERT_EQ(lines.size(), 200u);  // every message, and no progress line left over
  for (const std::string& line : lines) EXPECT_TRUE(line.find(" line ") == 5 && line.back() != ' ') << line;
}

}  // namespace
