#include "cli/progress_text.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgressText, DrawsABarOrTheTimeReached) {
  EXPECT_EQ(FormatProgressLine("[2/10]", "clip.mp4", 2.5, 10, 80),
            "[2/10] [#####---------------]  25%  clip.mp4");
  EXPECT_EQ(FormatProgressLine("[1/1]", "a.mp4", 12, 10, 80), "[1/1] [####################] 100%  a.mp4");
  EXPECT_EQ(FormatProgressLine("[join]", "", 3725, 0, 80), "[join] 01:02:05  ");
  // Cut to the terminal's width without splitting a character.
  EXPECT_EQ(FormatProgressLine("[1/1]", "\xEC\x98\x81\xEC\x83\x81.mp4", 0, 10, 36),
            "[1/1] [--------------------]   0%  \xEC\x98\x81");
}

TEST(ProgressText, TimeLeft) {
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
