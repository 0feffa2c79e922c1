// A run's progress by the length of its media: what is done of the whole, the running
// command's percent and speed, and the time left, as commands start, report and end.
#include "batch/batch_progress.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// 'S': a command starts at position with its length (a); 'T': its statistics (a reached, b its
// length as ffmpeg says, c the speed); 'E': the run is done with position.
struct CStep {
  char what;
  int position;
  double a = 0, b = 0, c = 0;
};

TEST(BatchProgress, FollowsTheRunByLength) {
  // clang-format off
  const struct {
    const char* name;
    int files;
    bool join;
    double fraction;
    int percent;
    double speed, secondsLeft;
    std::vector<CStep> steps;
  } cases[] = {
    {"halfway through the first of three: the others weigh as long as it", 3, false, 5.0 / 30, 50, 2, 12.5,
     {{'S', 1, 10}, {'T', 1, 5, 10, 2}}},
    {"the second is three times as long and weighs so; the third the average", 3, false, 25.0 / 60, 50, 3, 35.0 / 3,
     {{'S', 1, 10}, {'E', 1}, {'S', 2, 30}, {'T', 2, 15, 30, 3}}},
    {"the length from ffmpeg's Duration", 1, false, 0.25, 25, 4, 1.5, {{'S', 1, 0}, {'T', 1, 2, 8, 4}}},
    {"no length known: by files, no percent, no time left", 2, false, 0.5, -1, 3, -1,
     {{'S', 1, 0}, {'T', 1, 3, 0, 2}, {'E', 1}, {'S', 2, 0}, {'T', 2, 1, 0, 3}}},
    {"a new command's figures wait for its statistics; the time left goes on at the last speed", 2, false,
     10.0 / 30, -1, 0, 4, {{'S', 1, 10}, {'T', 1, 10, 10, 5}, {'E', 1}, {'S', 2, 20}}},
    {"the join weighs its parts together", 2, true, 0.75, 50, 10, 0.5,
     {{'S', 1, 4}, {'E', 1}, {'S', 2, 6}, {'E', 2}, {'S', 0, 10}, {'T', 0, 5, 0, 10}}},
    {"a merge of video and audio is one command for the list", 2, false, 0.25, 25, 1, 15,
     {{'S', 0, 20}, {'T', 0, 5, 30, 1}}},
    {"... whole once its files end", 2, false, 1, 95, 1, 0, {{'S', 0, 20}, {'T', 0, 19, 20, 1}, {'E', 1}, {'E', 2}}},
    {"past its length never beyond the end", 1, false, 1, 100, 2, 0, {{'S', 1, 10}, {'T', 1, 12, 10, 2}}},
    {"positions outside the list change nothing", 1, false, 0, -1, 0, -1, {{'S', 2, 10}, {'E', -1}, {'T', 5, 1, 2, 3}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CBatchProgress progress(c.files, c.join);
    for (const CStep& step : c.steps) {
      CFfmpegProgress reached;
      reached.seconds = step.a, reached.total = step.b, reached.speed = step.c;
      if (step.what == 'S') progress.OnCommandStart(step.position, step.a);
      if (step.what == 'T') progress.OnStatistics(step.position, reached);
      if (step.what == 'E') progress.OnFileEnd(step.position);
    }
    EXPECT_NEAR(progress.Fraction(), c.fraction, 1e-9);
    EXPECT_EQ(progress.CommandPercent(), c.percent);
    EXPECT_DOUBLE_EQ(progress.Speed(), c.speed);
    EXPECT_NEAR(progress.SecondsLeft(), c.secondsLeft, 1e-9);
  }
}

}  // namespace
