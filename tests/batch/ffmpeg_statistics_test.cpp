// ffmpeg's standard error read as it comes: the statistics lines, the input's length, the lines
// kept for a failure and the line that says why, however a pipe cuts it into pieces. (The real
// ffmpeg's, through the command line's pipe and the console host's relay, in tests/cli and
// tests/ui.)
#include "batch/ffmpeg_statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(FfmpegStatistics, ReadsStatisticsAndDuration) {
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

TEST(FfmpegStatistics, ReadsTheSpeed) {
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
}

// What ffmpeg writes for a conversion: banner lines, the input's length, statistics lines ended
// by a carriage return, a summary; and for failures, the error and its closing words.
const char kConversion[] =
    "ffmpeg version 5.1\n"
    "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'clip.mp4':\n"
    "  Duration: 00:00:20.00, start: 0.000000, bitrate: 291 kb/s\n"
    "frame=   50 fps=0.0 q=28.0 size=       0kB time=00:00:01.92 bitrate=   0.2kbits/s speed=3.81x    \r"
    "frame=  120 fps=119 q=28.0 size=     256kB time=00:00:04.72 bitrate= 443.2kbits/s speed=4.66x    \r"
    "frame=  500 fps=121 q=-1.0 Lsize=    1024kB time=00:00:20.00 bitrate= 419.0kbits/s speed=4.84x    \n"
    "video:640kB audio:320kB subtitle:0kB other streams:0kB global headers:0kB muxing overhead: 1.2%\n";

TEST(FfmpegStatistics, ReadsAStreamCutAnywhere) {
  const struct {
    const char* name;
    std::string text;
    double total;  // the run's own length, 0 for none
    double seconds, expectedTotal, speed;
    int statisticsLines;
    std::string lastErrorLine;
    long keptLines;
  } cases[] = {
      {"a conversion, its length from the input", kConversion, 0, 20, 20, 4.84, 3,
       "video:640kB audio:320kB subtitle:0kB other streams:0kB global headers:0kB muxing overhead: 1.2%", 4},
      {"a range: the run's length stands", kConversion, 7.5, 20, 7.5, 4.84, 3,
       "video:640kB audio:320kB subtitle:0kB other streams:0kB global headers:0kB muxing overhead: 1.2%", 4},
      {"only the last lines are kept",
       [] {
         std::string text;
         for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + "\n";
         return text;
       }(),
       0, 0, 0, 0, 0, "line 29", static_cast<long>(CFfmpegErrorStream::kKeptLines)},
      {"an encoder that cannot open, then the closing words",
       std::string(kConversion).substr(0, std::string(kConversion).find("frame=")) +
           "[hevc_nvenc @ 0x55] Cannot load libcuda.so.1\n"
           "Error initializing output stream 0:0 -- Error while opening encoder\nConversion failed!\n",
       0, 0, 20, 0, 0, "Error initializing output stream 0:0 -- Error while opening encoder", 6},
      {"only the closing words, without an ending", "Conversion failed!", 0, 0, 0, 0, 0, "Conversion failed!",
       1},
      {"a missing input, blank lines after it", "nothere.mp4: No such file or directory\n  \n\n", 0, 0, 0, 0,
       0, "nothere.mp4: No such file or directory", 2},
      {"nothing at all", "", 0, 0, 0, 0, 0, "", 0},
  };
  for (const auto& c : cases) {
    // Every place a pipe could cut the stream in two, and one byte at a time.
    std::vector<std::vector<std::string>> cuts;
    for (size_t at = 0; at <= c.text.size(); ++at) cuts.push_back({c.text.substr(0, at), c.text.substr(at)});
    std::vector<std::string> bytes;
    for (char b : c.text) bytes.push_back(std::string(1, b));
    if (!bytes.empty()) cuts.push_back(bytes);
    for (const std::vector<std::string>& pieces : cuts) {
      SCOPED_TRACE(std::string(c.name) + ", first piece " + std::to_string(pieces[0].size()));
      CFfmpegErrorStream stream(c.total);
      int statistics = 0, progressCalls = 0;
      std::string rebuilt;
      stream.onLine = [&](const std::string& line, bool isStatistics, char ending) {
        statistics += isStatistics ? 1 : 0;
        rebuilt += ending != 0 ? line + ending : line;
      };
      stream.onProgress = [&](const CFfmpegProgress&) { ++progressCalls; };
      for (const std::string& piece : pieces) stream.Take(piece);
      stream.Finish();
      EXPECT_EQ(rebuilt, c.text);  // every byte passed on, each line with its own ending
      EXPECT_EQ(statistics, c.statisticsLines);
      EXPECT_DOUBLE_EQ(stream.Progress().seconds, c.seconds);
      EXPECT_DOUBLE_EQ(stream.Progress().total, c.expectedTotal);
      EXPECT_DOUBLE_EQ(stream.Progress().speed, c.speed);
      EXPECT_EQ(stream.LastErrorLine(), c.lastErrorLine);
      EXPECT_EQ(progressCalls, c.statisticsLines + (c.total == 0 && c.expectedTotal > 0 ? 1 : 0));
      EXPECT_EQ(stream.LastLines().find("frame="), std::string::npos);
      const std::string kept = stream.LastLines();
      EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), c.keptLines);
    }
  }
}

}  // namespace
