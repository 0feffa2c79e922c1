// A hidden program with a time limit: one that ends in time keeps its status; one that does not
// is ended and reported as such, without waiting for it.
#include "exec/hidden_program.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "base/text.h"
#include "exec/exec_test_support.h"
#include "support/temp_dir.h"

namespace {

TEST(HiddenProgram, ATimeLimitEndsAProgramThatOutlastsIt) {
  TempDir records;
  CScopedEnv witness("KESTRUNE_WITNESS", records.File(L"calls.txt"));
  struct Case {
    const wchar_t* first;
    int limitMs;
    int expected;
  };
  const Case cases[] = {
      {L"--exit=3", 20000, 3},
      {L"--exit=0", -1, 0},
      {L"--sleep=60", 1000, kHiddenProgramTimedOut},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.first));
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(RunHiddenProgramWithin(c.limitMs, WitnessProgram(), {c.first}), c.expected);
    // The sleeping witness was not waited for.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  }
  EXPECT_EQ(ReadWitness(records.File(L"calls.txt")).size(), 3u);
  EXPECT_EQ(RunHiddenProgramWithin(1000, records.File(L"no-such-program"), {}), -1);
}

// Each argument reaches the program as it was given, one argument each: blanks, tabs, line
// breaks (MediaInfo's --Inform template has them), quotes and percent signs included.
TEST(HiddenProgram, ArgumentsArriveWhole) {
  TempDir records;
  CScopedEnv witness("KESTRUNE_WITNESS", records.File(L"calls.txt"));
  const std::vector<std::wstring> arguments = {L"--exit=0",
                                               L"plain",
                                               L"two words",
                                               L"tab\there",
                                               L"General;G%Format%\\n\nVideo;V%Duration%\\n",
                                               L"\"quoted\"",
                                               L"ends in a backslash\\",
                                               L"vertical\vtab"};
  EXPECT_EQ(RunHiddenProgram(WitnessProgram(), arguments), 0);
  std::vector<WitnessRecord> calls = ReadWitness(records.File(L"calls.txt"));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].args, arguments);
}

}  // namespace
