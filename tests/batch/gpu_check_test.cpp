// The GPU check: which settings take the NVIDIA path, the answer of the real ffmpeg here (no
// NVIDIA GPU on the machines that run the tests), and the cache per ffmpeg as it is on disk.
#include "batch/gpu_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "batch/start_check.h"
#include "exec/exec_test_support.h"
#include "support/temp_dir.h"

namespace {

TEST(GpuCheck, OnlyAnEncodingConversionOnTheGpuTakesTheNvidiaPath) {
  struct Case {
    const char* name;
    void (*change)(JobSettings&);
    bool expected;
  };
  const Case cases[] = {
      {"the defaults: convert to H.265 on the GPU", [](JobSettings&) {}, true},
      {"H.264", [](JobSettings& s) { s.outputCodec = OUT_H264; }, true},
      {"GPU off", [](JobSettings& s) { s.useGpu = false; }, false},
      {"GIF", [](JobSettings& s) { s.outputCodec = OUT_GIF; }, false},
      {"WAV", [](JobSettings& s) { s.outputCodec = OUT_WAV; }, false},
      {"video copy", [](JobSettings& s) { s.copyVideo = true; }, false},
      {"range copy", [](JobSettings& s) { s.rangeCopy = true; }, false},
      {"video extract", [](JobSettings& s) { s.jobKind = JOB_VIDEO_EXTRACT; }, false},
      {"merge of files", [](JobSettings& s) { s.jobKind = JOB_MERGE_FILES; }, false},
  };
  for (const Case& c : cases) {
    JobSettings settings;
    c.change(settings);
    EXPECT_EQ(UsesNvidiaPath(settings), c.expected) << c.name;
  }
}

// The machines that run these tests have no NVIDIA GPU: the real ffmpeg says no.
TEST(GpuCheck, TheRealFfmpegHereSaysNo) {
  SetProgramDir(GetProgramDir());
  if (FindMissingTool() != MISSING_NONE) GTEST_SKIP() << "ffmpeg is missing";
  EXPECT_FALSE(IsNvidiaPathAvailable(OUT_H265, false));
  EXPECT_FALSE(IsNvidiaPathAvailable(OUT_H264, true));
}

// The answer is kept per ffmpeg as it is on disk: asked again, the same ffmpeg is not run
// again; a changed ffmpeg (another modification time) is asked anew.
TEST(GpuCheck, TheAnswerIsKeptPerFfmpegFile) {
  TempDir programDir, records;
  const std::wstring saved = ProgramDir();
  const std::wstring record = records.File(L"calls.txt");
#ifdef _WIN32
  const std::wstring ffmpeg = CopyWitness(programDir.Path(), L"ffmpeg.exe");
#else
  const std::wstring ffmpeg = CopyWitness(programDir.Path(), L"ffmpeg");
#endif
  ASSERT_FALSE(ffmpeg.empty());
  CScopedEnv witness("KESTRUNE_WITNESS", record);
  CScopedEnv executableDir("KESTRUNE_PROGRAM_DIR", programDir.Path());
  SetProgramDir(programDir.Path());
  // The witness exits with 0 whatever it is given: a source, then the test encode.
  EXPECT_TRUE(IsNvidiaPathAvailable(OUT_H264, false));
  ASSERT_EQ(ReadWitness(record).size(), 2u);
  const std::vector<std::wstring> encode = ReadWitness(record)[1].args;
  EXPECT_NE(std::find(encode.begin(), encode.end(), L"h264_cuvid"), encode.end());
  EXPECT_NE(std::find(encode.begin(), encode.end(), L"h264_nvenc"), encode.end());
  EXPECT_TRUE(IsNvidiaPathAvailable(OUT_H264, false));
  EXPECT_EQ(ReadWitness(record).size(), 2u);

  // Another codec is another path through the same ffmpeg.
  EXPECT_TRUE(IsNvidiaPathAvailable(OUT_H265, true));
  ASSERT_EQ(ReadWitness(record).size(), 4u);
  const std::vector<std::wstring> compat = ReadWitness(record)[3].args;
  EXPECT_EQ(std::find(compat.begin(), compat.end(), L"h264_cuvid"), compat.end());
  EXPECT_NE(std::find(compat.begin(), compat.end(), L"hevc_nvenc"), compat.end());

  std::filesystem::last_write_time(FsPath(ffmpeg),
                                   std::filesystem::last_write_time(FsPath(ffmpeg)) + std::chrono::hours(1));
  EXPECT_TRUE(IsNvidiaPathAvailable(OUT_H264, false));
  EXPECT_EQ(ReadWitness(record).size(), 6u);
  SetProgramDir(saved);
}

TEST(GpuCheck, AnInjectedAnswerStandsInForTheCheck) {
  GpuCheckFunction previous = SetGpuCheck([](int32_t codec, bool) { return codec == OUT_H264; });
  EXPECT_TRUE(IsNvidiaPathAvailable(OUT_H264, false));
  EXPECT_FALSE(IsNvidiaPathAvailable(OUT_H265, false));
  SetGpuCheck(previous);
}

}  // namespace
