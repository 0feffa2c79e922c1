// MediaInfo's answer to the lengths template, read into lengths to the millisecond; the real
// MediaInfo's answers are checked against its JSON in real_report_test.cpp.
#include "probe/media_lengths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ParseMediaLengths, ReadsTheTemplatesAnswer) {
  const int64_t no = kLengthNotGiven;
  const struct {
    const char* what;
    std::string answer;
    bool described;
    int videos, audios;
    int64_t fileMs, videoMs;
    std::vector<int64_t> audioMs;  // the first tracks; the rest are not given
  } cases[] = {
      {"a clip", "GMPEG-4|65400|1|1|\nV65400\nA65399\n", true, 1, 1, 65400, 65400, {65399}},
      {"an hour, in floats", "GMatroska|3660000.000|1||\nV3660000.0\n", true, 1, 0, 3660000, 3660000, {}},
      {"an 800 ms sound, CR LF", "GWave|800||1|\r\nA800.4\r\n", true, 0, 1, 800, no, {800}},
      {"a GIF: an image without a length", "GGIF||||1\n", true, 1, 0, no, no, {}},
      {"a raw AAC stream: no length", "GADTS|||1|\nA\n", true, 0, 1, no, no, {no}},
      {"a stream of 0 ms", "GMPEG-4|0|1||\nV0\n", true, 1, 0, 0, 0, {}},
      {"unequal tracks", "GMatroska|5023|1|2|\nV3000\nA5023\nA2023\n", true, 1, 2, 5023, 3000, {5023, 2023}},
      {"a second file's lines are not this one's", "GWave|5||1|\nA5\nGWave|9||1|\n", true, 0, 1, 5, no, {5}},
      {"what MediaInfo cannot read", "G||||\n", false, 0, 0, no, no, {}},
      {"nothing at all (a missing file)", "", false, 0, 0, no, no, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CMediaLengths lengths;
    EXPECT_EQ(ParseMediaLengths(c.answer, lengths), c.described);
    EXPECT_EQ(lengths.described, c.described);
    EXPECT_EQ(lengths.videoCount, c.videos);
    EXPECT_EQ(lengths.audioCount, c.audios);
    EXPECT_EQ(lengths.fileMs, c.fileMs);
    EXPECT_EQ(lengths.videoMs, c.videoMs);
    for (size_t i = 0; i < MAX_AUDIO_TRACKS; ++i)
      EXPECT_EQ(lengths.audioMs[i], i < c.audioMs.size() ? c.audioMs[i] : no) << "track " << i + 1;
  }
}

}  // namespace
