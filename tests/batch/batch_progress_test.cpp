// A run's progress by the length of its media: what is done of the whole, the running
// command's percent and speed, and the time left, as commands start, report and end.
#include "batch/batch_progress.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

CFfmpegProgress Reached(double seconds, double total, double speed) {
  CFfmpegProgress progress;
  progress.seconds = seconds;
  progress.total = total;
  progress.speed = speed;
  return progress;
}

TEST(BatchProgress, FollowsTheRunByLength) {
  using Step = std::function<void(CBatchProgress&)>;
  const struct {
    const char* name;
    int files;
    bool join;
    std::vector<Step> steps;
    double fraction;
    int percent;
    double speed, secondsLeft;
  } cases[] = {
      {"halfway through the first of three; the others weigh as long as it",
       3,
       false,
       {[](CBatchProgress& p) { p.OnCommandStart(1, 10); },
        [](CBatchProgress& p) { p.OnStatistics(1, Reached(5, 10, 2)); }},
       5.0 / 30,
       50,
       2,
       25.0 / 2},
      {"the second file is three times as long: it weighs so, the third the average",
       3,
       false,
       {[](CBatchProgress& p) { p.OnCommandStart(1, 10); }, [](CBatchProgress& p) { p.OnFileEnd(1); },
        [](CBatchProgress& p) { p.OnCommandStart(2, 30); },
        [](CBatchProgress& p) { p.OnStatistics(2, Reached(15, 30, 3)); }},
       25.0 / 60,
       50,
       3,
       35.0 / 3},
      {"the length comes from ffmpeg's own Duration",
       1,
       false,
       {[](CBatchProgress& p) { p.OnCommandStart(1, 0); },
        [](CBatchProgress& p) { p.OnStatistics(1, Reached(2, 8, 4)); }},
       0.25,
       25,
       4,
       1.5},
      {"no length known at all: by files, no percent, no time left",
       2,
       false,
       {[](CBatchProgress& p) { p.OnCommandStart(1, 0); },
        [](CBatchProgress& p) { p.OnStatistics(1, Reached(3, 0, 2)); }, [](CBatchProgress& p) { p.OnFileEnd(1); },
        [](CBatchProgress& p) { p.OnCommandStart(2, 0); },
        [](CBatchProgress& p) { p.OnStatistics(2, Reached(1, 0, 3)); }},
       0.5, -1, 3, -1},
      {"a file without a command ends as done; the next one's figures wait for its statistics",
       2,
       false,
       {[](CBatchProgress& p) { p.OnFileEnd(1); }, [](CBatchProgress& p) { p.OnCommandStart(2, 6); }},
       0.5, -1, 0, -1},
      {"between two commands the time left goes on at the last speed",
       2,
       false,
       {[](CBatchProgress& p) { p.OnCommandStart(1, 10); },
        [](CBatchProgress& p) { p.OnStatistics(1, Reached(10, 10, 5)); }, [](CBatchProgress& p) { p.OnFileEnd(1); },
        [](CBatchProgress& p) { p.OnCommandStart(2, 20); }},
       10.0 / 30, -1, 0, 4},
      {"the join of a merge weighs its parts together",
       2,
       true,
       {[](CBatchProgress& p) { p.OnCommandStart(1, 4); }, [](CBatchProgress& p) { p.OnFileEnd(1); },
        [](CBatchProgress& p) { p.OnCommandStart(2, 6); }, [](CBatchProgress& p) { p.OnFileEnd(2); },
        [](CBatchProgress& p) { p.OnCommandStart(0, 10); },
        [](CBatchProgress& p) { p.OnStatistics(0, Reached(5, 0, 10)); }},
       0.75,
       50,
       10,
       0.5},
      {"a merge of video and audio: one command for the whole list",
       2,
       false,
       {[](CBatchProgress& p) { p.OnCommandStart(0, 20); },
        [](CBatchProgress& p) { p.OnStatistics(0, Reached(5, 30, 1)); }},
       0.25,
       25,
       1,
       15},
      {"... and at its end",
       2,
       false,
       {[](CBatchProgress& p) { p.OnCommandStart(0, 20); }, [](CBatchProgress& p) { p.OnFileEnd(0); },
        [](CBatchProgress& p) { p.OnFileEnd(1); }, [](CBatchProgress& p) { p.OnFileEnd(2); }},
       1,
       -1,
       0,
       -1},
      {"past its length (an estimate short) never goes beyond the end",
       1,
       false,
       {[](CBatchProgress& p) { p.OnCommandStart(1, 10); },
        [](CBatchProgress& p) { p.OnStatistics(1, Reached(12, 10, 2)); }},
       1,
       100,
       2,
       0},
      {"positions outside the list change nothing",
       1,
       false,
       {[](CBatchProgress& p) { p.OnCommandStart(2, 10); }, [](CBatchProgress& p) { p.OnFileEnd(-1); },
        [](CBatchProgress& p) { p.OnStatistics(5, Reached(1, 2, 3)); }},
       0,
       -1,
       0,
       -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CBatchProgress progress(c.files, c.join);
    for (const Step& step : c.steps) step(progress);
    EXPECT_NEAR(progress.Fraction(), c.fraction, 1e-9);
    EXPECT_EQ(progress.CommandPercent(), c.percent);
    EXPECT_DOUBLE_EQ(progress.Speed(), c.speed);
    EXPECT_NEAR(progress.SecondsLeft(), c.secondsLeft, 1e-9);
  }
}

}  // namespace
