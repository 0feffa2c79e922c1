#include "jobs/merge_commands.h"

#include <gtest/gtest.h>

#include "base/command_quoting.h"
#include "job_test_support.h"
#include "jobs/command_builder.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"

namespace {

const wchar_t kNeedTwoFiles[] = L"합치기위해 최소 두개의 파일이 필요합니다.";
const wchar_t kNeedVideoAndAudio[] = L"영상과 소리 파일이 1개씩 필요합니다.";

struct MergeRun {
  bool built = false;
  std::wstring cmdSet = L"earlier command";
  std::wstring result = L"earlier result";
  std::vector<std::wstring> messages;
  std::vector<std::wstring> probed;
  TraceCapture trace;
};

// Runs a video-and-audio merge of files (names in dir, created when listed in existing).
void RunMerge(const TempDir& dir, const std::vector<std::wstring>& names, bool probeSucceeds, bool pause,
              MergeRun& run) {
  JobSettings settings;
  settings.jobKind = JOB_MERGE_VIDEO_AUDIO;
  for (const std::wstring& name : names) settings.files.push_back(dir.File(name));
  FakeProbe probe;
  probe.media = MediaBuilder().Video(VCODEC_H264, 640).Get();
  probe.succeeds = probeSucceeds;
  CRunBuilds builds(settings, run.cmdSet, probe.Function());
  run.built = builds.BuildCommand(L"ignored.mp4", &run.result, pause);
  // The window shows a refusal in its own words; the builder only says which.
  if (builds.LastRefusal().Refused())
    run.messages.push_back(RefusalText(builds.LastRefusal(), kUiLanguageKorean));
  run.probed = probe.probedPaths;
}

TEST(MergeVideoAudio, BuildsOneCommandForTheFirstTwoFiles) {
  struct Case {
    const char* name;
    std::vector<std::wstring> files;
    std::wstring expected;
  };
  const Case cases[] = {
      {"audio first, MKV keeps its extension",
       {L"song.mp3", L"movie.mkv", L"third.wav"},
       L"ffmpeg -i \"<dir>movie.mkv\" -i \"<dir>song.mp3\" -map 0 -map 1 -c copy  -strict -2 "
       L"\"<dir>movie_(02).mkv\" & pause"},
      {"upper-case extensions",
       {L"MOVIE.MP4", L"SONG.AAC"},
       L"ffmpeg -i \"<dir>MOVIE.MP4\" -i \"<dir>SONG.AAC\" -map 0 -map 1 -c copy  -strict -2 "
       L"\"<dir>MOVIE_(02).mp4\" & pause"},
      {"AVI video becomes MP4",
       {L"clip.avi", L"voice.opus"},
       L"ffmpeg -i \"<dir>clip.avi\" -i \"<dir>voice.opus\" -map 0 -map 1 -c copy  -strict -2 "
       L"\"<dir>clip_(02).mp4\" & pause"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool pause : {true, false}) {  // the command carries its own pause
      TempDir dir;
      for (const std::wstring& name : c.files) dir.Write(name);
      MergeRun run;
      RunMerge(dir, c.files, true, pause, run);
      EXPECT_TRUE(run.built);
      EXPECT_EQ(run.cmdSet, Expand(c.expected, dir.Path()));
      EXPECT_EQ(run.result, run.cmdSet);
      EXPECT_TRUE(run.messages.empty());
      EXPECT_EQ(run.trace.Lines().front(), L"합치기 - 영상 + 소리\n");
      EXPECT_FALSE(run.trace.ContainsText(L"CmdSet="));
      ASSERT_EQ(run.probed.size(), 1u);
      EXPECT_EQ(run.probed[0], run.cmdSet.substr(11, run.probed[0].size()));  // the video file was probed
    }
  }
}

TEST(MergeVideoAudio, RefusalsSayWhyAndKeepTheCommand) {
  struct Case {
    const char* name;
    std::vector<std::wstring> files;
    bool probeSucceeds;
    std::wstring message;
    size_t probes;
  };
  const Case cases[] = {
      {"no file", {}, true, kNeedTwoFiles, 0},
      {"one file", {L"movie.mp4"}, true, kNeedTwoFiles, 0},
      {"two videos", {L"movie.mp4", L"other.mkv"}, true, kNeedVideoAndAudio, 0},
      {"audio third is not looked at",
       {L"movie.mp4", L"other.mkv", L"song.mp3"},
       true,
       kNeedVideoAndAudio,
       0},
      {"two audio files", {L"a.mp3", L"b.wav"}, true, kNeedVideoAndAudio, 0},
      {"unknown extension", {L"movie.mpeg", L"song.mp3"}, true, kNeedVideoAndAudio, 0},
      {"the video cannot be probed", {L"movie.mp4", L"song.mp3"}, false, L"미디어 정보 에러.", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    for (const std::wstring& name : c.files) dir.Write(name);
    MergeRun run;
    RunMerge(dir, c.files, c.probeSucceeds, true, run);
    EXPECT_FALSE(run.built);
    EXPECT_EQ(run.messages, std::vector<std::wstring>{c.message});
    EXPECT_EQ(run.cmdSet, L"earlier command");
    EXPECT_EQ(run.result, L"earlier result");
    EXPECT_EQ(run.probed.size(), c.probes);
  }
}

// A quote in a POSIX name is written escaped by the argument rules, so each name stays one
// argument of ffmpeg.
TEST(MergeVideoAudio, AQuoteInANameIsEscaped) {
  TempDir dir;
  MergeRun run;
  RunMerge(dir, {L"mo\"vie.mp4", L"song.mp3"}, true, true, run);
  EXPECT_TRUE(run.built);
  EXPECT_TRUE(run.messages.empty());
  const std::wstring video = EscapeForQuotes(dir.File(L"mo\"vie.mp4"));
  EXPECT_EQ(run.cmdSet, L"ffmpeg -i \"" + video + L"\" -i \"" + dir.File(L"song.mp3") +
                            L"\" -map 0 -map 1 -c copy  -strict -2 \"" + video + L"\" & pause");
}

TEST(MergeFiles, RemuxEachFileBesideItself) {
  TempDir dir;
  FakeProbe probe;
  probe.media = MediaBuilder().Video(VCODEC_H264, 640).Track(ACODEC_AAC, 2, 192).Subtitles(1).Get();
  JobSettings settings;
  settings.jobKind = JOB_MERGE_FILES;
  settings.containerMkv = true;  // naming options do not reach the transport stream
  settings.applyRange = true;
  settings.rangeEnd = {0, 0, 10};
  std::wstring cmdSet;
  std::wstring result;
  CRunBuilds builder(settings, cmdSet, probe.Function());
  struct Input {
    const wchar_t* name;
    bool pause;
    const wchar_t* intermediate;
  };
  const Input inputs[] = {
      {L"one.mp4", true, L"one_(02).ts"}, {L"two.MKV", false, L"two.ts"}, {L"three.avi", true, L"three.ts"}};
  dir.Write(L"one.ts");  // the user's own stream of that name is never overwritten
  for (const Input& input : inputs) {
    const std::wstring path = dir.Write(input.name);
    TraceCapture trace;
    ASSERT_TRUE(builder.BuildCommand(path, &result, input.pause));
    const std::wstring expected = L"FFMpeg.exe -y -i \"" + path + L"\" -c copy  -f mpegts \"" +
                                  dir.File(input.intermediate) + L"\"" + (input.pause ? L" & pause" : L"");
    EXPECT_EQ(cmdSet, expected);
    EXPECT_EQ(result, expected);
    EXPECT_EQ(builder.LastOutputPath(), dir.File(input.intermediate));
    EXPECT_TRUE(trace.Contains(L"CmdSet=" + expected));
  }
  const std::wstring last = cmdSet;
  // A file that cannot be probed gives no command.
  probe.succeeds = false;
  EXPECT_FALSE(builder.BuildCommand(dir.Write(L"four.mp4"), &result, true));
  EXPECT_EQ(cmdSet, last);
}

TEST(MakeRemuxCommand, Text) {
  EXPECT_EQ(MakeRemuxCommand(L"C:\\v\\a b.mp4", L"C:\\v\\a b.ts"),
            L"FFMpeg.exe -y -i \"C:\\v\\a b.mp4\" -c copy  -f mpegts \"C:\\v\\a b.ts\"");
}

}  // namespace
