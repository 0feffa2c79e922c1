#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "base/file_util.h"
#include "base/format.h"
#include "base/text.h"
#include "cli/exit_codes.h"
#include "cli_test_support.h"
#include "jobs/option_words.h"
#include "support/job_settings_compare.h"
#include "support/temp_dir.h"

namespace {

TEST(CliOptions, EachOptionSetsItsField) {
  struct Case {
    std::vector<std::wstring> options;
    std::function<void(JobSettings&)> expect;  // applied to the defaults
  };
  const Case cases[] = {
      {{}, [](JobSettings&) {}},
      {{L"--job", L"convert"}, [](JobSettings& s) { s.jobKind = JOB_CONVERT; }},
      {{L"--job", L"video"}, [](JobSettings& s) { s.jobKind = JOB_VIDEO_EXTRACT; }},
      {{L"--job", L"audio"}, [](JobSettings& s) { s.jobKind = JOB_AUDIO_EXTRACT; }},
      {{L"--job", L"merge"}, [](JobSettings& s) { s.jobKind = JOB_MERGE_FILES; }},
      {{L"--job=merge-av"}, [](JobSettings& s) { s.jobKind = JOB_MERGE_VIDEO_AUDIO; }},
      {{L"--codec", L"h264"}, [](JobSettings& s) { s.outputCodec = OUT_H264; }},
      {{L"--codec", L"h265"}, [](JobSettings& s) { s.outputCodec = OUT_H265; }},
      {{L"--codec", L"gif"}, [](JobSettings& s) { s.outputCodec = OUT_GIF; }},
      {{L"--codec", L"wav"}, [](JobSettings& s) { s.outputCodec = OUT_WAV; }},
      {{L"--codec=mp3"}, [](JobSettings& s) { s.outputCodec = OUT_MP3; }},
      {{L"--no-gpu"}, [](JobSettings& s) { s.useGpu = false; }},
      {{L"--no-gpu", L"--gpu"}, [](JobSettings& s) { s.useGpu = true; }},
      {{L"--gpu-compat"}, [](JobSettings& s) { s.gpuCompatMode = true; }},
      {{L"--bitrate", L"2500"}, [](JobSettings& s) { s.videoBitRate = 2500; }},
      {{L"--no-bitrate"}, [](JobSettings& s) { s.useVideoBitRate = false; }},
      {{L"--qp", L"30"}, [](JobSettings& s) { s.useQuantizer = true, s.quantizer = 30; }},
      {{L"--copy-video"}, [](JobSettings& s) { s.copyVideo = true; }},
      {{L"--mp4"}, [](JobSettings& s) { s.containerMp4 = true; }},
      {{L"--mkv"}, [](JobSettings& s) { s.containerMkv = true; }},
      {{L"--scale1080"}, [](JobSettings& s) { s.scale1080 = true; }},
      {{L"--pix-compat"}, [](JobSettings& s) { s.pixelFormatCompat = true; }},
      {{L"--tracks", L"2,0,2"},
       [](JobSettings& s) {
         s.allAudioTracks = false, s.selectedAudioTracks = {0, 2};
       }},
      {{L"--tracks", L"1", L"--all-tracks"}, [](JobSettings& s) { s.selectedAudioTracks = {1}; }},
      // Every track unticked, as the window allows: no audio in the first file's command.
      {{L"--tracks", L"none"}, [](JobSettings& s) { s.allAudioTracks = false; }},
      {{L"--tracks", L"0,2", L"--tracks=none"}, [](JobSettings& s) { s.allAudioTracks = false; }},
      {{L"--output-dir", L"out"}, [](JobSettings& s) { s.outputFolder = L"out"; }},
      {{L"--join-anyway"}, [](JobSettings& s) { s.joinAnyway = true; }},
      {{L"--output-dir=/a b/c d"}, [](JobSettings& s) { s.outputFolder = L"/a b/c d"; }},
      {{L"--keep-dates"}, [](JobSettings& s) { s.keepSourceDates = true; }},
      {{L"--copy-audio"}, [](JobSettings& s) { s.copyAudio = true; }},
      {{L"--abitrate", L"192"}, [](JobSettings& s) { s.audioBitRate = 192; }},
      {{L"--downmix"}, [](JobSettings& s) { s.downmixStereo = true; }},
      {{L"--force-audio"}, [](JobSettings& s) { s.forceAudioEncode = true; }},
      {{L"--no-aac"}, [](JobSettings& s) { s.audioAac = false; }},
      {{L"--no-aac", L"--aac"}, [](JobSettings&) {}},
      {{L"--mp3-audio"}, [](JobSettings& s) { s.audioMp3 = true; }},
      {{L"--range", L"0:1:0-0:2:30"},
       [](JobSettings& s) {
         s.applyRange = true, s.rangeCopy = true;  // the dialog's copy box starts checked
         s.rangeStart = {0, 1, 0}, s.rangeEnd = {0, 2, 30};
       }},
      {{L"--range", L"1:70:5-0:0:0", L"--no-range-copy"},
       [](JobSettings& s) {
         s.applyRange = true, s.rangeStart = {1, 70, 5};
       }},
      {{L"--range", L"0:0:1-0:0:9", L"--accurate"},
       [](JobSettings& s) {
         s.applyRange = true, s.rangeCopy = true, s.rangeAccurate = true;
         s.rangeStart = {0, 0, 1}, s.rangeEnd = {0, 0, 9};
       }},
  };
  for (const Case& c : cases) {
    std::wstring joined;
    for (const std::wstring& o : c.options) joined += o + L" ";
    SCOPED_TRACE(WideToUtf8(joined));
    std::vector<std::wstring> args = {L"plan"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(L"clip.mp4");
    CCliRequest request;
    std::wstring error;
    ASSERT_TRUE(ParseCliArguments(args, request, error)) << WideToUtf8(error);
    EXPECT_EQ(request.command, CLI_COMMAND_PLAN);
    JobSettings expected;
    expected.files = {L"clip.mp4"};
    c.expect(expected);
    ExpectSameSettings(request.settings, expected);
    EXPECT_EQ(request.settings.currentFile, L"clip.mp4");
  }
}

// A run's settings written as option words (a report keeps them so) read back as the same
// settings by the command line's own parser; what the words leave out comes back as the
// defaults have it.
TEST(CliOptions, SettingsWordsReadBackAsTheSameSettings) {
  struct Case {
    const char* name;
    std::function<void(JobSettings&)> settings;  // applied to the defaults
    std::function<void(JobSettings&)> lost;      // what the parser gives instead of what the words leave out
  };
  const Case cases[] = {
      {"the defaults", [](JobSettings&) {}, [](JobSettings&) {}},
      {"everything changed a window can change",
       [](JobSettings& s) {
         s.jobKind = JOB_VIDEO_EXTRACT, s.outputCodec = OUT_H264, s.useGpu = false;
         s.useVideoBitRate = false, s.useQuantizer = true, s.quantizer = 30;
         s.copyVideo = s.containerMp4 = s.containerMkv = s.scale1080 = s.pixelFormatCompat = true;
         s.allAudioTracks = false, s.selectedAudioTracks = {0, 2};
         s.copyAudio = s.downmixStereo = s.forceAudioEncode = s.audioMp3 = true, s.audioAac = false;
         s.audioBitRate = 96;
         s.applyRange = true, s.rangeCopy = true, s.rangeAccurate = true;
         s.rangeStart = {0, 1, 0}, s.rangeEnd = {1, 2, 30};
         s.outputFolder = L"/a b/c \"d\"";
       },
       [](JobSettings&) {}},
      {"a merge of video and audio on the GPU's compatible path, no track, a range encoded",
       [](JobSettings& s) {
         s.jobKind = JOB_MERGE_VIDEO_AUDIO, s.outputCodec = OUT_MP3, s.gpuCompatMode = true;
         s.allAudioTracks = false;
         s.applyRange = true, s.rangeCopy = false, s.rangeEnd = {0, 0, 9};
       },
       [](JobSettings&) {}},
      {"what the command line cannot say: no codec, no bit rates, a quantiser and modes not in use",
       [](JobSettings& s) {
         s.outputCodec = OUT_NONE, s.videoBitRate = 0, s.audioBitRate = 0, s.quantizer = 40;
         s.useGpu = false, s.gpuCompatMode = true, s.rangeCopy = true, s.rangeAccurate = true;
         s.selectedAudioTracks = {1};
       },
       [](JobSettings& s) {
         s.outputCodec = OUT_H265, s.videoBitRate = 3000, s.audioBitRate = 128, s.quantizer = 28;
         s.gpuCompatMode = false, s.rangeCopy = false, s.rangeAccurate = false;
         s.selectedAudioTracks.clear();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JobSettings settings;
    c.settings(settings);
    std::vector<std::wstring> args = {L"run"};
    for (const std::wstring& word : SettingsOptionWords(settings)) args.push_back(word);
    args.push_back(L"clip.mp4");
    CCliRequest request;
    std::wstring error;
    ASSERT_TRUE(ParseCliArguments(args, request, error)) << WideToUtf8(error);
    JobSettings expected = settings;
    c.lost(expected);
    expected.files = {L"clip.mp4"};
    ExpectSameSettings(request.settings, expected);
    EXPECT_EQ(request.gpu, settings.useGpu ? CLI_GPU_ON : CLI_GPU_OFF);
  }
}

// The GPU options: the check decides unless --gpu or --no-gpu says otherwise; the last one given
// holds; "--gpu auto" takes "auto" as its value, never as a file.
TEST(CliOptions, GpuModes) {
  struct Case {
    std::vector<std::wstring> options;
    CliGpuMode mode;
    bool useGpu;
  };
  const Case cases[] = {
      {{}, CLI_GPU_AUTO, true},
      {{L"--gpu"}, CLI_GPU_ON, true},
      {{L"--no-gpu"}, CLI_GPU_OFF, false},
      {{L"--no-gpu", L"--gpu", L"auto"}, CLI_GPU_AUTO, true},
      {{L"--gpu=auto", L"--no-gpu"}, CLI_GPU_OFF, false},
      {{L"--no-gpu", L"--gpu=auto"}, CLI_GPU_AUTO, true},
  };
  for (const Case& c : cases) {
    std::vector<std::wstring> args = {L"run"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(L"clip.mp4");
    CCliRequest request;
    std::wstring error;
    ASSERT_TRUE(ParseCliArguments(args, request, error)) << WideToUtf8(error);
    EXPECT_EQ(request.gpu, c.mode);
    EXPECT_EQ(request.settings.useGpu, c.useGpu);
    EXPECT_EQ(request.settings.files, std::vector<std::wstring>{L"clip.mp4"});
  }
}

TEST(CliOptions, CommandsAndTheirOwnFlags) {
  CCliRequest request;
  std::wstring error;
  ASSERT_TRUE(ParseCliArguments({L"probe", L"--json", L"a.mp4", L"b.mkv"}, request, error));
  EXPECT_EQ(request.command, CLI_COMMAND_PROBE);
  EXPECT_TRUE(request.json);
  EXPECT_EQ(request.settings.files, (std::vector<std::wstring>{L"a.mp4", L"b.mkv"}));

  ASSERT_TRUE(ParseCliArguments({L"run", L"--pause", L"--", L"--odd name.mp4"}, request, error));
  EXPECT_EQ(request.command, CLI_COMMAND_RUN);
  EXPECT_TRUE(request.pause);
  EXPECT_EQ(request.settings.files, std::vector<std::wstring>{L"--odd name.mp4"});

  ASSERT_TRUE(ParseCliArguments({L"run", L"x.mp4", L"--version"}, request, error));
  EXPECT_EQ(request.command, CLI_COMMAND_VERSION);
  ASSERT_TRUE(ParseCliArguments({L"plan", L"-h"}, request, error));
  EXPECT_EQ(request.command, CLI_COMMAND_HELP);
}

// --jobs and --verbose belong to run (plan takes them too, so a run's options show its plan);
// --json to probe and plan; exec takes one command text, whole.
TEST(CliOptions, JobsVerboseJsonAndExec) {
  struct Case {
    std::vector<std::wstring> args;
    CliCommand command;
    int jobs;
    bool verbose, json;
    std::wstring commandText, execOutput;
    int gpuSessions = kDefaultGpuSessions;
  };
  const unsigned cores = std::thread::hardware_concurrency();
  const int autoJobs = cores > 0 ? static_cast<int>(cores) : 1;
  const Case cases[] = {
      {{L"run", L"a.mp4"}, CLI_COMMAND_RUN, 1, false, false, L"", L""},
      {{L"run", L"--jobs", L"3", L"a.mp4"}, CLI_COMMAND_RUN, 3, false, false, L"", L""},
      {{L"run", L"--jobs=auto", L"--verbose", L"a.mp4"}, CLI_COMMAND_RUN, autoJobs, true, false, L"", L""},
      {{L"plan", L"--json", L"--jobs", L"2", L"a.mp4"}, CLI_COMMAND_PLAN, 2, false, true, L"", L""},
      {{L"run", L"--jobs", L"4", L"--gpu-sessions", L"2", L"a.mp4"},
       CLI_COMMAND_RUN,
       4,
       false,
       false,
       L"",
       L"",
       2},
      {{L"plan", L"--gpu-sessions=1", L"a.mp4"}, CLI_COMMAND_PLAN, 1, false, false, L"", L"", 1},
      {{L"exec", L"FFMpeg.exe -i \"a b.mp4\" & pause"},
       CLI_COMMAND_EXEC,
       1,
       false,
       false,
       L"FFMpeg.exe -i \"a b.mp4\" & pause",
       L""},
      {{L"exec", L"--output", L"/m/o.mp4", L"--", L"ffmpeg -y"},
       CLI_COMMAND_EXEC,
       1,
       false,
       false,
       L"ffmpeg -y",
       L"/m/o.mp4"},
      {{L"exec", L"--output=o.ts", L"ffmpeg"}, CLI_COMMAND_EXEC, 1, false, false, L"ffmpeg", L"o.ts"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.args[1]));
    CCliRequest request;
    std::wstring error;
    ASSERT_TRUE(ParseCliArguments(c.args, request, error)) << WideToUtf8(error);
    EXPECT_EQ(request.command, c.command);
    EXPECT_EQ(request.jobs, c.jobs);
    EXPECT_EQ(request.verbose, c.verbose);
    EXPECT_EQ(request.json, c.json);
    EXPECT_EQ(request.commandText, c.commandText);
    EXPECT_EQ(request.execOutput, c.execOutput);
    EXPECT_EQ(request.gpuSessions, c.gpuSessions);
  }
}

TEST(CliOptions, BadArgumentsAreNamedAndRunNothing) {
  TempDir dir;
  const std::wstring clip = dir.Write(L"clip.mp4");
  struct Case {
    std::vector<std::wstring> args;
    std::wstring named;  // what the message must name
  };
  const Case cases[] = {
      {{}, L"missing command"},
      {{L"convert", clip}, L"'convert'"},
      {{L"run", L"--frobnicate", clip}, L"'--frobnicate'"},
      {{L"run", L"--job", L"transcode", clip}, L"'transcode'"},
      {{L"run", L"--codec", L"av1", clip}, L"'av1'"},
      {{L"run", L"--bitrate", L"fast", clip}, L"'fast'"},
      {{L"run", L"--bitrate", L"0", clip}, L"'--bitrate'"},
      {{L"run", L"--abitrate", L"-5", clip}, L"'-5'"},
      {{L"run", L"--qp", L"2x", clip}, L"'2x'"},
      {{L"run", L"--tracks", L"0,,1", clip}, L"'0,,1'"},
      {{L"run", L"--tracks", L"", clip}, L"(e.g. 0,2) or none, not ''"},
      {{L"run", L"--tracks", L"None", clip}, L"'None'"},
      {{L"run", L"--output-dir", L"", clip}, L"'--output-dir' needs a folder name"},
      {{L"plan", L"--output-dir=", clip}, L"'--output-dir' needs a folder name"},
      {{L"run", clip, L"--output-dir"}, L"'--output-dir' needs a value"},
      {{L"probe", L"--output-dir", dir.Path(), clip}, L"'--output-dir' does not apply to 'probe'"},
      {{L"run", L"--output-dir", dir.File(L"nowhere"), clip},
       L"option '--output-dir': no such folder: '" + dir.File(L"nowhere") + L"'"},
      {{L"plan", L"--output-dir", clip, clip}, L"no such folder: '" + clip + L"'"},
      {{L"run", L"--range", L"0:1:0", clip}, L"'0:1:0'"},
      {{L"run", L"--range", L"0:1:0-0:70000:0", clip}, L"'0:1:0-0:70000:0'"},
      {{L"run", clip, L"--bitrate"}, L"'--bitrate' needs a value"},
      {{L"run", L"--mp4=yes", clip}, L"'--mp4' takes no value"},
      {{L"run", L"--json", clip}, L"'--json' does not apply to 'run'"},
      {{L"probe", L"--no-gpu", clip}, L"'--no-gpu' does not apply to 'probe'"},
      {{L"run", L"--accurate", clip}, L"'--accurate' needs '--range'"},
      {{L"run", L"--no-gpu", L"--gpu-compat", clip}, L"'--gpu-compat'"},
      {{L"plan"}, L"'plan' needs at least one FILE"},
      {{L"run", L"--jobs", L"0", clip}, L"'--jobs' takes a whole number from 1 to 64, or auto, not '0'"},
      {{L"run", L"--jobs", L"65", clip}, L"'65'"},
      {{L"run", L"--jobs", L"two", clip}, L"'two'"},
      {{L"run", clip, L"--jobs"}, L"'--jobs' needs a value"},
      {{L"run", L"--jobs", L"2", L"--pause", clip}, L"'--pause' needs one file at a time"},
      {{L"probe", L"--jobs", L"2", clip}, L"'--jobs' does not apply to 'probe'"},
      {{L"run", L"--gpu-sessions", L"0", clip}, L"'--gpu-sessions' takes a number from 1 to 64, not '0'"},
      {{L"run", L"--gpu-sessions=65", clip}, L"'65'"},
      {{L"plan", L"--gpu-sessions", L"few", clip}, L"'few'"},
      {{L"probe", L"--join-anyway", clip}, L"'--join-anyway' does not apply to 'probe'"},
      {{L"plan", L"--resume", clip}, L"'--resume' does not apply to 'plan'"},
      {{L"run", L"--join-anyway=yes", clip}, L"'--join-anyway' takes no value"},
      {{L"exec"}, L"'exec' takes one COMMAND"},
      {{L"exec", L"ffmpeg -i a.mp4", L"b.mp4"}, L"'exec' takes one COMMAND"},
      {{L"exec", L"  "}, L"'exec' takes one COMMAND"},
      {{L"exec", L"--output"}, L"'--output' needs a value"},
      {{L"exec", L"--output=", L"ffmpeg"}, L"'--output' needs a file name"},
      {{L"exec", L"--no-gpu", L"ffmpeg"}, L"'--no-gpu' does not apply to 'exec'"},
      {{L"run", L""}, L"empty FILE"},
      {{L"run", dir.File(L"missing.mp4")}, dir.File(L"missing.mp4")},
      {{L"probe", dir.Path()}, dir.Path()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.named));
    CliResult result = RunCli(c.args);
    EXPECT_EQ(result.exitCode, CLI_EXIT_USAGE);
    EXPECT_NE(result.err.find(c.named), std::wstring::npos) << WideToUtf8(result.err);
    EXPECT_EQ(result.err.rfind(L"kestrune: ", 0), 0u);
    EXPECT_TRUE(result.out.empty());
  }
  EXPECT_FALSE(FileExists(dir.File(L"clip_(02).mp4")));
}

TEST(CliOptions, HelpAndVersion) {
  CliResult version = RunCli({L"--version"});
  EXPECT_EQ(version.exitCode, CLI_EXIT_OK);
  EXPECT_EQ(version.out, L"kestrune 1.0.2\n");
  CliResult help = RunCli({L"--help"});
  EXPECT_EQ(help.exitCode, CLI_EXIT_OK);
  EXPECT_EQ(help.out.rfind(L"usage: kestrune probe", 0), 0u);
  EXPECT_NE(help.out.find(L"--no-gpu"), std::wstring::npos);
  EXPECT_TRUE(help.err.empty());
}

}  // namespace
