// The GPU check: which settings take the NVIDIA path, the answer of the real ffmpeg here (no
// NVIDIA GPU on the machines that run the tests, and the CPU's encoders present), the encoder
// list, the cache per ffmpeg as it is on disk, and through a stand-in ffmpeg the builds and
// machines the tests cannot have: NVENC without libx264, a GPU that fails with no CPU encoder
// to fall back on, a driver that hangs past the time limit, an ffmpeg that cannot start.
#include "batch/gpu_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <thread>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "batch/ffmpeg_encoders.h"
#include "batch/start_check.h"
#include "exec/exec_test_support.h"
#include "exec/hidden_program.h"
#include "jobs/command_builder.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
const wchar_t kFfmpegName[] = L"ffmpeg.exe";
const wchar_t kFakeName[] = L"fake_ffmpeg.exe";
#else
const wchar_t kFfmpegName[] = L"ffmpeg";
const wchar_t kFakeName[] = L"fake_ffmpeg";
#endif

bool Contains(const std::vector<std::wstring>& words, const std::wstring& word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

// The words of one call, or none.
std::vector<std::wstring> ArgsOf(const std::vector<WitnessRecord>& records, size_t call) {
  return call < records.size() ? records[call].args : std::vector<std::wstring>();
}

std::string FileBytes(const std::wstring& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A program folder of its own whose ffmpeg is the stand-in, its calls recorded; the process's
// program folder comes back at the end.
class CFakeFfmpegFolder {
 public:
  explicit CFakeFfmpegFolder(const std::wstring& rules)
      : fake_(GetProgramDir() + kFakeName),
        saved_(ProgramDir()),
        witness_("KESTRUNE_WITNESS", records_.File(L"calls.txt")),
        executableDir_("KESTRUNE_PROGRAM_DIR", programDir_.Path()),
        rules_(std::make_unique<CScopedEnv>("KESTRUNE_FAKE_FFMPEG", rules)) {
    std::error_code code;
    fs::path target = FsPath(programDir_.File(kFfmpegName));
    fs::copy_file(FsPath(fake_), target, fs::copy_options::overwrite_existing, code);
    if (!code) fs::permissions(target, fs::perms::owner_all, fs::perm_options::add, code);
    if (!code) ffmpeg_ = programDir_.File(kFfmpegName);
    SetProgramDir(programDir_.Path());
  }
  ~CFakeFfmpegFolder() { SetProgramDir(saved_); }
  CFakeFfmpegFolder(const CFakeFfmpegFolder&) = delete;
  CFakeFfmpegFolder& operator=(const CFakeFfmpegFolder&) = delete;

  // Empty when the stand-in could not be put in place.
  const std::wstring& Ffmpeg() const { return ffmpeg_; }
  std::vector<WitnessRecord> Calls() const { return ReadWitness(records_.File(L"calls.txt")); }
  // New rules for the calls to come; the program on disk stays the same.
  void SetRules(const std::wstring& rules) {
    rules_.reset();
    rules_ = std::make_unique<CScopedEnv>("KESTRUNE_FAKE_FFMPEG", rules);
  }

 private:
  // Read before KESTRUNE_PROGRAM_DIR names the new folder.
  const std::wstring fake_;
  TempDir programDir_, records_;
  std::wstring saved_;
  CScopedEnv witness_;
  CScopedEnv executableDir_;
  std::unique_ptr<CScopedEnv> rules_;
  std::wstring ffmpeg_;
};

// The time limit of the check for the life of the object.
class CScopedTimeLimit {
 public:
  explicit CScopedTimeLimit(int milliseconds) : previous_(SetGpuCheckTimeLimit(milliseconds)) {}
  ~CScopedTimeLimit() { SetGpuCheckTimeLimit(previous_); }
  CScopedTimeLimit(const CScopedTimeLimit&) = delete;
  CScopedTimeLimit& operator=(const CScopedTimeLimit&) = delete;

 private:
  int previous_;
};

JobSettings Conversion(int32_t outputCodec, bool compatMode = false) {
  JobSettings settings;
  settings.outputCodec = outputCodec;
  settings.gpuCompatMode = compatMode;
  return settings;
}

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
    if (!c.expected) {
      EXPECT_EQ(DecideGpu(settings), GPU_NOT_ASKED) << c.name;
    }
  }
}

// The machines that run these tests have no NVIDIA GPU: the real ffmpeg says no, and the run
// falls back on libx265 / libx264, which Debian's ffmpeg (natively or through the Wine bridge)
// lists.
TEST(GpuCheck, TheRealFfmpegHereSaysNoAndHasTheCpuEncoders) {
  SetProgramDir(GetProgramDir());
  if (FindMissingTool() != MISSING_NONE) GTEST_SKIP() << "ffmpeg is missing";
  EXPECT_FALSE(IsNvidiaPathAvailable(OUT_H265, false));
  EXPECT_FALSE(IsNvidiaPathAvailable(OUT_H264, true));
  EXPECT_TRUE(FfmpegHasEncoder(L"libx264"));
  EXPECT_TRUE(FfmpegHasEncoder(L"libx265"));
  EXPECT_TRUE(FfmpegHasEncoder(L"aac"));
  // The list was read, not assumed: a name no build has is missing.
  EXPECT_FALSE(FfmpegHasEncoder(L"kestrune_no_such_encoder"));
  EXPECT_EQ(DecideGpu(Conversion(OUT_H265)), GPU_UNAVAILABLE);
  EXPECT_EQ(DecideGpu(Conversion(OUT_H264, true)), GPU_UNAVAILABLE);
}

TEST(EncoderList, ReadsFfmpegsListing) {
  const std::string listing =
      "Encoders:\n"
      " V..... = Video\n"
      " A..... = Audio\n"
      " ------\n"
      " V....D amv                  AMV Video\n"
      " V....D libx264              libx264 H.264 / AVC / MPEG-4 AVC / MPEG-4 part 10 (codec h264)\r\n"
      " V....D h264_nvenc           NVIDIA NVENC H.264 encoder (codec h264)\n"
      " V....D hevc_nvenc           NVIDIA NVENC hevc encoder (codec hevc)\n"
      " A....D aac                  AAC (Advanced Audio Coding)\n";
  CEncoderList list;
  ASSERT_TRUE(ParseEncoderList(listing, list));
  EXPECT_TRUE(list.known);
  const std::vector<std::pair<std::wstring, std::wstring>> expected = {{L"amv", L"amv"},
                                                                       {L"libx264", L"h264"},
                                                                       {L"h264_nvenc", L"h264"},
                                                                       {L"hevc_nvenc", L"hevc"},
                                                                       {L"aac", L"aac"}};
  EXPECT_EQ(list.encoders, expected);
  EXPECT_EQ(list.EncodersOf(L"h264"), (std::vector<std::wstring>{L"libx264", L"h264_nvenc"}));
  EXPECT_TRUE(list.Has(L"hevc_nvenc"));
  EXPECT_FALSE(list.Has(L"libx265"));
  // The legend is no list: "V..... = Video" names no encoder.
  EXPECT_FALSE(list.Has(L"="));

  // What is not a listing leaves the list unknown, and an unknown list lacks nothing.
  for (const std::string& other : {std::string(), std::string("ffmpeg version 5.1\n"),
                                   std::string("Encoders:\n V..... = Video\n ------\n")}) {
    CEncoderList unknown;
    EXPECT_FALSE(ParseEncoderList(other, unknown)) << other;
    EXPECT_FALSE(unknown.known);
    EXPECT_TRUE(unknown.Has(L"libx265"));
  }
}

// The answer is kept per ffmpeg as it is on disk: asked again, the same ffmpeg is not run
// again; a changed ffmpeg (another modification time) is asked anew.
TEST(GpuCheck, TheAnswerIsKeptPerFfmpegFile) {
  CFakeFfmpegFolder folder(L"encoders=libx264,libx265,h264_nvenc,hevc_nvenc");
  const std::wstring& ffmpeg = folder.Ffmpeg();
  ASSERT_FALSE(ffmpeg.empty());
  // The stand-in exits with 0 whatever it is given: the list, a source, then the test encode.
  EXPECT_TRUE(IsNvidiaPathAvailable(OUT_H264, false));
  ASSERT_EQ(folder.Calls().size(), 3u);
  EXPECT_TRUE(Contains(ArgsOf(folder.Calls(), 0), L"-encoders"));
  const std::vector<std::wstring> encode = ArgsOf(folder.Calls(), 2);
  EXPECT_NE(std::find(encode.begin(), encode.end(), L"h264_cuvid"), encode.end());
  EXPECT_NE(std::find(encode.begin(), encode.end(), L"h264_nvenc"), encode.end());
  EXPECT_TRUE(IsNvidiaPathAvailable(OUT_H264, false));
  EXPECT_EQ(folder.Calls().size(), 3u);

  // Another codec is another path through the same ffmpeg, whose list is known already.
  EXPECT_TRUE(IsNvidiaPathAvailable(OUT_H265, true));
  ASSERT_EQ(folder.Calls().size(), 5u);
  const std::vector<std::wstring> compat = ArgsOf(folder.Calls(), 4);
  EXPECT_EQ(std::find(compat.begin(), compat.end(), L"h264_cuvid"), compat.end());
  EXPECT_NE(std::find(compat.begin(), compat.end(), L"hevc_nvenc"), compat.end());

  std::filesystem::last_write_time(FsPath(ffmpeg),
                                   std::filesystem::last_write_time(FsPath(ffmpeg)) + std::chrono::hours(1));
  EXPECT_TRUE(IsNvidiaPathAvailable(OUT_H264, false));
  EXPECT_EQ(folder.Calls().size(), 8u);
}

TEST(GpuCheck, AnInjectedAnswerStandsInForTheCheck) {
  GpuCheckFunction previous = SetGpuCheck([](int32_t codec, bool) { return codec == OUT_H264; });
  EXPECT_TRUE(IsNvidiaPathAvailable(OUT_H264, false));
  EXPECT_FALSE(IsNvidiaPathAvailable(OUT_H265, false));
  SetGpuCheck(previous);
}

// Builds that differ from Debian's: what the check runs and what the run then does. Each row
// gets a fresh stand-in (a new file, so nothing is kept from another row).
TEST(GpuCheck, TestsTheGpuWithWhatTheBuildHasAndFallsBackOnlyOnItsEncoders) {
  struct Case {
    const char* name;
    const wchar_t* rules;
    int32_t codec;
    bool compat;
    GpuDecision expected;
    // What the calls after the listing must show.
    std::function<void(const std::vector<WitnessRecord>&)> check;
  };
  auto neverNamed = [](const wchar_t* word) {
    return [word](const std::vector<WitnessRecord>& calls) {
      for (const WitnessRecord& call : calls)
        EXPECT_FALSE(Contains(call.args, word)) << "named " << WideToUtf8(word);
    };
  };
  const Case cases[] = {
      {"NVENC without libx264: the clip is made with h264_nvenc, then decoded on the GPU",
       L"encoders=h264_nvenc,hevc_nvenc,aac", OUT_H265, false, GPU_WORKS,
       [&](const std::vector<WitnessRecord>& calls) {
         ASSERT_EQ(calls.size(), 3u);
         EXPECT_TRUE(Contains(calls[1].args, L"h264_nvenc"));
         EXPECT_TRUE(Contains(calls[2].args, L"h264_cuvid"));
         EXPECT_TRUE(Contains(calls[2].args, L"hevc_nvenc"));
         neverNamed(L"libx264")(calls);
       }},
      {"no H.264 encoder at all: the NVENC encoder alone, on a generated picture", L"encoders=hevc_nvenc",
       OUT_H265, false, GPU_WORKS,
       [&](const std::vector<WitnessRecord>& calls) {
         ASSERT_EQ(calls.size(), 2u);
         EXPECT_TRUE(Contains(calls[1].args, L"lavfi"));
         EXPECT_TRUE(Contains(calls[1].args, L"hevc_nvenc"));
         EXPECT_FALSE(Contains(calls[1].args, L"cuvid"));
         neverNamed(L"libx264")(calls);
       }},
      {"libopenh264 makes the clip where libx264 is missing",
       L"encoders=libopenh264,libx265,hevc_nvenc;fail=hevc_nvenc", OUT_H265, false, GPU_UNAVAILABLE,
       [&](const std::vector<WitnessRecord>& calls) {
         ASSERT_EQ(calls.size(), 3u);
         EXPECT_TRUE(Contains(calls[1].args, L"libopenh264"));
         neverNamed(L"libx264")(calls);
       }},
      {"a source encoder that fails is followed by the next",
       L"encoders=libx264,h264_nvenc,libx265;fail=libx264", OUT_H264, false, GPU_WORKS,
       [&](const std::vector<WitnessRecord>& calls) {
         ASSERT_EQ(calls.size(), 4u);
         EXPECT_TRUE(Contains(calls[1].args, L"libx264"));
         EXPECT_TRUE(Contains(calls[2].args, L"h264_nvenc"));
         EXPECT_TRUE(Contains(calls[3].args, L"h264_cuvid"));
       }},
      {"the GPU fails and the build has no libx265: nothing fits",
       L"encoders=h264_nvenc,hevc_nvenc,aac;fail=h264_nvenc;fail=hevc_nvenc", OUT_H265, false, GPU_NO_ENCODER,
       neverNamed(L"libx265")},
      {"the GPU fails and the build has no libx264: nothing fits",
       L"encoders=h264_nvenc,libx265;fail=h264_cuvid", OUT_H264, false, GPU_NO_ENCODER,
       neverNamed(L"libx264")},
      {"the GPU's decoder fails, the CPU's encoder is there",
       L"encoders=libx264,libx265,hevc_nvenc;fail=h264_cuvid", OUT_H265, false, GPU_UNAVAILABLE,
       [&](const std::vector<WitnessRecord>& calls) {
         ASSERT_EQ(calls.size(), 3u);
         EXPECT_TRUE(Contains(calls[2].args, L"h264_cuvid"));
       }},
      {"a build without NVENC needs no test encode", L"encoders=libx264,libx265", OUT_H265, true,
       GPU_UNAVAILABLE, [&](const std::vector<WitnessRecord>& calls) { EXPECT_EQ(calls.size(), 1u); }},
      {"a build with neither", L"encoders=libx264,aac", OUT_H265, false, GPU_NO_ENCODER,
       [&](const std::vector<WitnessRecord>& calls) { EXPECT_EQ(calls.size(), 1u); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CFakeFfmpegFolder folder(c.rules);
    ASSERT_FALSE(folder.Ffmpeg().empty());
    EXPECT_EQ(DecideGpu(Conversion(c.codec, c.compat)), c.expected);
    std::vector<WitnessRecord> calls = folder.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_TRUE(Contains(calls[0].args, L"-encoders"));
    c.check(calls);
  }
}

// A driver that hangs: the run is ended at the time limit, the answer is "no" for now and is
// not kept; the same ffmpeg, answering again, is asked again.
TEST(GpuCheck, AHungTestEncodeEndsAtTheTimeLimitAndIsNotKept) {
  struct Case {
    const char* name;
    const wchar_t* hung;
    size_t callsWhileHung;
    size_t callsAfter;
  };
  const Case cases[] = {
      {"the test encode hangs", L"encoders=libx264,libx265,h264_nvenc,hevc_nvenc;hang=hevc_nvenc", 3, 5},
      {"every call hangs, the listing too", L"encoders=libx264,libx265,h264_nvenc,hevc_nvenc;hang=*", 1, 4},
  };
  // Long enough for the listing and the test clip of a stand-in started under Wine on a busy
  // machine, far below the minute the stand-in hangs.
  CScopedTimeLimit limit(10000);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CFakeFfmpegFolder folder(c.hung);
    ASSERT_FALSE(folder.Ffmpeg().empty());
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(DecideGpu(Conversion(OUT_H265)), GPU_UNAVAILABLE);
    // The stand-in sleeps a minute: the check did not wait for it.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    EXPECT_EQ(folder.Calls().size(), c.callsWhileHung);

    folder.SetRules(L"encoders=libx264,libx265,h264_nvenc,hevc_nvenc");
    EXPECT_TRUE(IsNvidiaPathAvailable(OUT_H265, false));
    EXPECT_EQ(folder.Calls().size(), c.callsAfter);
  }
}

// Passing failures are not kept either: an ffmpeg that cannot be started (then replaced by one
// that can, of the same size and time on disk) and a check without a scratch folder.
TEST(GpuCheck, AnFfmpegThatCannotStartOrNoScratchFolderIsAskedAgain) {
  {
    SCOPED_TRACE("cannot start");
    CFakeFfmpegFolder folder(L"encoders=libx264,libx265,h264_nvenc,hevc_nvenc");
    const std::wstring& ffmpeg = folder.Ffmpeg();
    ASSERT_FALSE(ffmpeg.empty());
    const std::string program = FileBytes(ffmpeg);
    const auto modified = fs::last_write_time(FsPath(ffmpeg));
    // Not a program at all, yet the same size and time: the same key of the cache.
    WriteFile(ffmpeg, std::string(program.size(), '\x01'));
    fs::last_write_time(FsPath(ffmpeg), modified);
    EXPECT_EQ(RunHiddenProgram(ffmpeg, {L"-version"}), -1);
    EXPECT_FALSE(IsNvidiaPathAvailable(OUT_H264, false));
    EXPECT_EQ(DecideGpu(Conversion(OUT_H264)), GPU_UNAVAILABLE);  // nothing known to be missing
    EXPECT_TRUE(folder.Calls().empty());

    WriteFile(ffmpeg, program);
    fs::last_write_time(FsPath(ffmpeg), modified);
    EXPECT_TRUE(IsNvidiaPathAvailable(OUT_H264, false));
    EXPECT_EQ(folder.Calls().size(), 3u);
  }
  {
    SCOPED_TRACE("no scratch folder");
    CFakeFfmpegFolder folder(L"encoders=libx264,libx265,h264_nvenc,hevc_nvenc");
    ASSERT_FALSE(folder.Ffmpeg().empty());
    TempDir base;
    const std::wstring missing = base.File(L"gone");
    {
#ifdef _WIN32
      CScopedEnv tmp("TMP", missing), temp("TEMP", missing);
#else
      CScopedEnv tmp("TMPDIR", missing);
#endif
      EXPECT_FALSE(IsNvidiaPathAvailable(OUT_H264, false));
    }
    EXPECT_TRUE(folder.Calls().empty());
    EXPECT_TRUE(IsNvidiaPathAvailable(OUT_H264, false));
    EXPECT_EQ(folder.Calls().size(), 3u);
  }
}

// The window runs each line through kestrune-cli.exe beside it: the start check names it when
// it is missing. Elsewhere lines run without it.
TEST(StartCheck, NamesAMissingConsoleHost) {
  TempDir programDir;
  const std::wstring saved = ProgramDir();
  SetProgramDir(programDir.Path());
#ifdef _WIN32
  EXPECT_EQ(FindMissingConsoleHost(), programDir.File(L"kestrune-cli.exe"));
  // A folder of that name is no program.
  ASSERT_FALSE(programDir.Folder(L"kestrune-cli.exe").empty());
  EXPECT_EQ(FindMissingConsoleHost(), programDir.File(L"kestrune-cli.exe"));
  SetProgramDir(GetProgramDir());
  EXPECT_EQ(FindMissingConsoleHost(), L"");  // the build's own, beside the tests
#else
  EXPECT_EQ(FindMissingConsoleHost(), L"");
#endif
  SetProgramDir(saved);
}

}  // namespace
