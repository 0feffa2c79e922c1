// A start that fails for a moment is tried again; one that will fail again is not, and no start
// is tried more than kStartTries times.
#include "exec/process_start.h"

#include <gtest/gtest.h>

#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

namespace {

#ifdef _WIN32
// Seen under load: a console window's desktop heap, the system's resources, an internal failure.
const uint32_t kPassing[] = {ERROR_NOT_ENOUGH_MEMORY, ERROR_NO_SYSTEM_RESOURCES, ERROR_INTERNAL_ERROR,
                             ERROR_SHARING_VIOLATION};
const uint32_t kLasting[] = {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_BAD_EXE_FORMAT,
                             ERROR_ACCESS_DENIED, 740 /* elevation required */};
#else
const uint32_t kPassing[] = {EAGAIN, ENOMEM};
const uint32_t kLasting[] = {ENOENT, EACCES, ENOEXEC, ENOTDIR};
#endif

TEST(ProcessStart, OnlyAFailureThatMayPassIsTriedAgain) {
  for (uint32_t error : kPassing) EXPECT_TRUE(CouldStartLater(error)) << error;
  for (uint32_t error : kLasting) EXPECT_FALSE(CouldStartLater(error)) << error;
  EXPECT_FALSE(CouldStartLater(0));
}

TEST(ProcessStart, TriesUntilStartedOrFailedForGood) {
  const uint32_t passing = kPassing[0];
  const uint32_t lasting = kLasting[0];
  struct Case {
    const char* what;
    std::vector<uint32_t> results;  // what each try returns
    int tries;                      // how many tries are made
    uint32_t result;
  };
  const Case cases[] = {
      {"started at once", {0}, 1, 0},
      {"started on the second try", {passing, 0}, 2, 0},
      {"started on the last try", {passing, passing, 0}, 3, 0},
      {"failing for a moment too long", {passing, passing, passing, 0}, kStartTries, passing},
      {"failing for good", {lasting, 0}, 1, lasting},
      {"failing for good after a moment", {passing, lasting, 0}, 2, lasting},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int tries = 0;
    const uint32_t result = StartPatiently([&] { return c.results[tries++]; }, 0);
    EXPECT_EQ(tries, c.tries);
    EXPECT_EQ(result, c.result);
  }
}

}  // namespace
