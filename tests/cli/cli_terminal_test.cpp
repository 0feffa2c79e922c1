// What kestrune leaves of its caller's input and terminal: the real kestrune and the real ffmpeg,
// run as a user runs them. ffmpeg reads its standard input for keys and, on a terminal, puts it
// into raw mode; the programs a run starts read the null device instead, so a list piped into a
// loop of runs stays the loop's, a key typed at the terminal never reaches ffmpeg, and the
// terminal's settings are the same after a run, two at once, or a stop as before it.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "batch/start_check.h"
#include "cli/exit_codes.h"
#include "running_kestrune.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

class CliTerminal : public ::testing::Test {
 protected:
  void SetUp() override {
    EnterProgramDir();
    if (FindMissingTool() != MISSING_NONE) GTEST_SKIP() << "ffmpeg or MediaInfo is not beside the tests";
  }
};

// Runs the shell command script with the words after it as $0, $1...; its exit status.
int RunShell(const std::string& script, std::vector<std::string> words) {
  std::vector<std::string> all = {"sh", "-c", script};
  all.insert(all.end(), words.begin(), words.end());
  std::vector<char*> argv;
  for (std::string& word : all) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool SameSettings(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

// The length of a media file in seconds by ffprobe; -1 when it cannot be read.
double Duration(const std::wstring& path) {
  std::string text = CaptureProgramOutput(
      L"ffprobe", {L"-v", L"error", L"-show_entries", L"format=duration", L"-of", L"csv=p=0", path});
  return text.empty() ? -1 : std::atof(text.c_str());
}

// while read f; do kestrune run ... "$f"; done < list: every line of the list is a run.
TEST_F(CliTerminal, ALoopOverAListRunsEveryFile) {
  TempDir dir;
  std::string list;
  std::vector<std::wstring> outputs;
  for (const wchar_t* name : {L"a", L"b", L"c"}) {
    ASSERT_TRUE(MakeSample(Sample::H264_AAC_MP4, dir.File(std::wstring(name) + L".mp4"), 3));
    list += WideToUtf8(dir.File(std::wstring(name) + L".mp4")) + "\n";
    outputs.push_back(dir.File(std::wstring(name) + L"_(02).AAC"));
  }
  const std::wstring listFile = dir.Write(L"list.txt", list);
  const std::string loop =
      "while IFS= read -r f; do \"$0\" run --no-gpu --job audio \"$f\" >/dev/null 2>&1; done < \"$1\"";
  EXPECT_EQ(RunShell(loop, {WideToUtf8(GetProgramDir()) + "kestrune", WideToUtf8(listFile)}), 0);
  for (const std::wstring& output : outputs) EXPECT_TRUE(FileExists(output)) << WideToUtf8(output);
}

TEST_F(CliTerminal, TheTerminalIsAsItWasAndItsKeysNeverReachFfmpeg) {
  enum Action { ACTION_NONE, ACTION_TYPE_Q, ACTION_TYPE_CTRL_C, ACTION_SIGTERM };
  struct Case {
    const char* name;
    int files;
    const char* codec;  // h264 finishes in seconds here; h265 is still at work when stopped
    Action action;      // once every output has been begun
    int exit;
  };
  const Case cases[] = {
      {"one file", 1, "h264", ACTION_NONE, CLI_EXIT_OK},
      {"two at once", 2, "h264", ACTION_NONE, CLI_EXIT_OK},
      {"q typed while ffmpeg works", 1, "h264", ACTION_TYPE_Q, CLI_EXIT_OK},
      {"Ctrl-C typed, two at once", 2, "h265", ACTION_TYPE_CTRL_C, CLI_EXIT_STOPPED},
      {"SIGTERM, two at once", 2, "h265", ACTION_SIGTERM, CLI_EXIT_STOPPED},
  };
  constexpr int kSeconds = 8;
  TempDir source;
  const std::wstring clip = source.File(L"clip.mp4");
  ASSERT_TRUE(MakeSample(Sample::NOISY_H264_MP4, clip, kSeconds));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::vector<std::string> args = {"run", "--no-gpu", "--codec", c.codec, "--jobs", "2"};
    std::vector<std::wstring> outputs;
    for (int i = 0; i < c.files; ++i) {
      std::wstring name(1, static_cast<wchar_t>(L'a' + i));
      std::filesystem::copy_file(FsPath(clip), FsPath(dir.File(name + L".mp4")));
      args.push_back(WideToUtf8(dir.File(name + L".mp4")));
      outputs.push_back(dir.File(name + L"_(02).mp4"));
    }
    CTerminal terminal;
    ASSERT_TRUE(terminal.IsOpen());
    termios before{}, after{};
    ASSERT_TRUE(terminal.Settings(before));
    CRunningKestrune run(args, WideToUtf8(dir.Path()), &terminal);
    ASSERT_GT(run.Pid(), 0);
    if (c.action != ACTION_NONE) {
      ASSERT_TRUE(WaitForFiles(outputs)) << run.Err();
    }
    if (c.action == ACTION_TYPE_Q) terminal.Type("q");
    if (c.action == ACTION_TYPE_CTRL_C) terminal.Type("\x03");
    if (c.action == ACTION_SIGTERM) kill(run.Pid(), SIGTERM);
    EXPECT_EQ(run.Wait(), c.exit) << run.Err();
    ASSERT_TRUE(terminal.Settings(after));
    EXPECT_TRUE(SameSettings(before, after))
        << std::hex << "local modes before " << before.c_lflag << ", after " << after.c_lflag;
    for (const std::wstring& output : outputs) {
      if (c.exit == CLI_EXIT_OK) {
        EXPECT_NEAR(Duration(output), kSeconds, 1.0) << WideToUtf8(output);
      } else {
        EXPECT_FALSE(FileExists(output)) << WideToUtf8(output);
      }
    }
  }
}

}  // namespace
#endif
