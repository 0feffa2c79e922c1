#include <gtest/gtest.h>

#include "jobs/job_settings.h"

namespace {

TEST(GetRangeSeconds, AbsoluteDifference) {
  struct Case {
    RangeTime start;
    RangeTime end;
    uint32_t seconds;
  };
  const Case cases[] = {
      {{0, 1, 0}, {0, 0, 30}, 30},
      {{0, 1, 0}, {0, 2, 30}, 90},
      {{1, 70, 5}, {0, 0, 0}, 7805},  // 3600 + 4200 + 5
      {{0, 0, 0}, {65535, 65535, 65535}, 65535u * 3600u + 65535u * 60u + 65535u},
      {{2, 0, 0}, {2, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetRangeSeconds(&c.start, &c.end), c.seconds);
    EXPECT_EQ(GetRangeSeconds(&c.end, &c.start), c.seconds);
  }
  const RangeTime some{1, 2, 3};
  EXPECT_EQ(GetRangeSeconds(nullptr, &some), 0u);
  EXPECT_EQ(GetRangeSeconds(&some, nullptr), 0u);
}

}  // namespace
