#include "cli/progress_text.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgressText, ReadsFfmpegStatisticsAndDuration) {
  double seconds = -1;
  EXPECT_TRUE(ParseProgressTime(
      "frame=   75 fps=0.0 q=-1.0 Lsize=      17kB time=00:00:02.88 bitrate=  49.2kbits/s", seconds));
  EXPECT_DOUBLE_EQ(seconds, 2.88);
  EXPECT_TRUE(ParseProgressTime("size=     512kB time=01:02:03.50 bitrate= 128.0kbits/s speed=40x", seconds));
  EXPECT_DOUBLE_EQ(seconds, 3723.5);
  EXPECT_FALSE(ParseProgressTime("frame=    1 fps=0.0 q=0.0 size=       0kB time=N/A bitrate=N/A", seconds));
  EXPECT_FALSE(ParseProgressTime("  Stream #0:0: Video: h264, time=00:00:01.00", seconds));

  EXPECT_TRUE(ParseInputDuration("  Duration: 00:01:05.04, start: 0.000000, bitrate: 53 kb/s", seconds));
  EXPECT_DOUBLE_EQ(seconds, 65.04);
  EXPECT_FALSE(ParseInputDuration("  Duration: N/A, bitrate: N/A", seconds));
  EXPECT_FALSE(ParseInputDuration("title: Duration: 00:00:01.00", seconds));
}

TEST(ProgressText, DrawsABarOrTheTimeReached) {
  EXPECT_EQ(FormatProgressLine("[2/10]", "clip.mp4", 2.5, 10, 80),
            "[2/10] [#####---------------]  25%  clip.mp4");
  EXPECT_EQ(FormatProgressLine("[1/1]", "a.mp4", 12, 10, 80), "[1/1] [####################] 100%  a.mp4");
  EXPECT_EQ(FormatProgressLine("[join]", "", 3725, 0, 80), "[join] 01:02:05  ");
  // Cut to the terminal's width without splitting a character.
  EXPECT_EQ(FormatProgressLine("[1/1]", "\xEC\x98\x81\xEC\x83\x81.mp4", 0, 10, 36),
            "[1/1] [--------------------]   0%  \xEC\x98\x81");
}

TEST(ProgressText, SpeedAndTimeLeft) {
  struct Case {
    const char* line;
    bool found;
    double speed;
  };
  const Case cases[] = {
      {"frame=  100 fps= 50 q=28.0 size=     256kB time=00:00:04.00 bitrate= 524.3kbits/s speed=1.93x", true,
       1.93},
      {"size=     512kB time=00:01:00.00 bitrate= 69.9kbits/s speed=  40x    ", true, 40},
      {"frame=    1 fps=0.0 q=0.0 size=       0kB time=00:00:00.04 bitrate=N/A speed=N/A", false, 0},
      {"frame=    1 fps=0.0 q=0.0 size=       0kB time=00:00:00.04 bitrate=N/A speed=0x", false, 0},
      {"  Metadata: speed=2x", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    double speed = -1;
    EXPECT_EQ(ParseProgressSpeed(c.line, speed), c.found);
    if (c.found) {
      EXPECT_DOUBLE_EQ(speed, c.speed);
    }
  }
  // Time left: (10 - 2.5) / 1.5 = 5 seconds.
  EXPECT_EQ(FormatProgressStatus("[2/10]", "clip.mp4", 2.5, 10, 1.5, 80),
            "[2/10] [#####---------------]  25%  1.5x  00:00:05 left  clip.mp4");
  // Without a length, the speed alone; without a speed, the bar alone.
  EXPECT_EQ(FormatProgressStatus("[join]", "", 65, 0, 12.25, 80), "[join] 00:01:05  12.2x  ");
  EXPECT_EQ(FormatProgressStatus("[1/1]", "a.mp4", 5, 10, 0, 80),
            FormatProgressLine("[1/1]", "a.mp4", 5, 10, 80));
  // Past the end (a length estimated short) never gives a negative time.
  EXPECT_EQ(FormatProgressStatus("[1/1]", "a.mp4", 12, 10, 2, 80),
            "[1/1] [####################] 100%  2.0x  00:00:00 left  a.mp4");
}

}  // namespace
