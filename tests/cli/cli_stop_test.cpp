// The stop of a run from outside, as a user gives it: the real kestrune started as a child,
// converting clips slow enough to still be running, then Ctrl-C (SIGINT to its whole process
// group, as a terminal sends it, so ffmpeg gets it too) or SIGTERM (to kestrune alone). The
// running commands end, their partial outputs go, no further file starts, a file of a later
// name that was there before is untouched, the counts are printed and the exit status is 130.
#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "cli/exit_codes.h"
#include "batch/start_check.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(120);

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Processes whose command line names something in folder (ffmpeg at work on its clips).
int ProcessesNaming(const std::string& folder) {
  int count = 0;
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return 0;
  while (dirent* entry = readdir(proc)) {
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
    std::string cmdline = ReadText(std::string("/proc/") + entry->d_name + "/cmdline");
    if (cmdline.find(folder) != std::string::npos && cmdline.find("ffmpeg") != std::string::npos) ++count;
  }
  closedir(proc);
  return count;
}

// The real program in a process group of its own, its standard output and error in files.
class CRunningKestrune {
 public:
  CRunningKestrune(const std::vector<std::string>& args, const std::string& folder)
      : out_(folder + "out.txt"), err_(folder + "err.txt") {
    std::string program = WideToUtf8(GetProgramDir()) + "kestrune";
    std::vector<std::string> words = args;
    std::vector<char*> argv{&program[0]};
    for (std::string& word : words) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    if (posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  ~CRunningKestrune() {
    if (pid_ > 0 && !reaped_) {
      kill(-pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  pid_t Pid() const { return pid_; }

  // The exit status; 1000 + N for a signal N that ended it (never mistaken for an exit with
  // 130), -1 when it does not end in time.
  int Wait() {
    auto until = Clock::now() + kPatience;
    int status = 0;
    while (Clock::now() < until) {
      pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        reaped_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }

  std::string Out() const { return ReadText(out_); }
  std::string Err() const { return ReadText(err_); }

 private:
  std::string out_, err_;
  pid_t pid_ = -1;
  bool reaped_ = false;
};

bool WaitForFiles(const std::vector<std::wstring>& paths) {
  auto until = Clock::now() + kPatience;
  while (Clock::now() < until) {
    bool all = true;
    for (const std::wstring& path : paths) all = all && FileExists(path);
    if (all) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

class CliStop : public ::testing::Test {
 protected:
  void SetUp() override {
    EnterProgramDir();
    if (FindMissingTool() != MISSING_NONE) GTEST_SKIP() << "ffmpeg or MediaInfo is not beside the tests";
  }
};

TEST_F(CliStop, CtrlCAndSigtermStopTheRun) {
  struct Case {
    const char* name;
    int jobs;
    int signal;
    bool toGroup;  // Ctrl-C at a terminal reaches every process of the group
    bool twice;    // a second Ctrl-C right after the first
    int running;   // files whose outputs are awaited before the stop
  };
  const Case cases[] = {
      {"Ctrl-C, one file at a time", 1, SIGINT, true, false, 1},
      {"SIGTERM, two at once", 2, SIGTERM, false, false, 2},
      {"Ctrl-C, two at once", 2, SIGINT, true, false, 2},
      {"Ctrl-C twice", 2, SIGINT, true, true, 2},
  };
  // A clip that x265 takes well over a minute to convert here; the others are copies.
  TempDir source;
  const std::wstring clip = source.File(L"clip.mp4");
  ASSERT_TRUE(MakeSample(Sample::NOISY_H264_MP4, clip, 20));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const int count = c.running + 1;
    std::vector<std::string> args = {"run", "--no-gpu", "--codec", "h265", "--jobs", std::to_string(c.jobs)};
    std::vector<std::wstring> outputs;
    for (int i = 0; i < count; ++i) {
      std::wstring name(1, static_cast<wchar_t>(L'a' + i));
      std::filesystem::copy_file(FsPath(clip), FsPath(dir.File(name + L".mp4")));
      args.push_back(WideToUtf8(dir.File(name + L".mp4")));
      outputs.push_back(dir.File(name + L"_(02).mp4"));
    }
    // The user's own file under the name the last file would have taken.
    const std::wstring usersOwn = dir.Write(outputs.back().substr(dir.Path().size()), "the user's own");
    const std::wstring lastOutput =
        dir.File(std::wstring(1, static_cast<wchar_t>(L'a' + count - 1)) + L"_(03).mp4");

    CRunningKestrune run(args, WideToUtf8(dir.Path()));
    ASSERT_GT(run.Pid(), 0);
    ASSERT_TRUE(WaitForFiles(std::vector<std::wstring>(outputs.begin(), outputs.begin() + c.running)))
        << run.Err();
    kill(c.toGroup ? -run.Pid() : run.Pid(), c.signal);
    if (c.twice) kill(-run.Pid(), SIGINT);
    EXPECT_EQ(run.Wait(), CLI_EXIT_STOPPED) << run.Err();

    if (!c.twice) {
      EXPECT_EQ(run.Out(), "kestrune: " + std::to_string(count) + " files: 0 done, 0 failed, " +
                               std::to_string(count) + " skipped, stopped\n");
      EXPECT_NE(run.Err().find("kestrune: [1/" + std::to_string(count) + "] stopped: "), std::string::npos)
          << run.Err();
      // The partial outputs are gone.
      for (int i = 0; i < c.running; ++i) EXPECT_FALSE(FileExists(outputs[i])) << WideToUtf8(outputs[i]);
    }
    // No later file was started; the user's file is as it was; nothing is left running.
    EXPECT_FALSE(FileExists(lastOutput));
    EXPECT_EQ(ReadText(WideToUtf8(usersOwn)), "the user's own");
    auto until = Clock::now() + std::chrono::seconds(10);
    while (ProcessesNaming(WideToUtf8(dir.Path())) > 0 && Clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ProcessesNaming(WideToUtf8(dir.Path())), 0);
  }
}

}  // namespace
#endif
