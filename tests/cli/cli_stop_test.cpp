// The stop of a run from outside, as a user gives it: the real kestrune started as a child,
// converting clips slow enough to still be running, then Ctrl-C (SIGINT to its whole process
// group, as a terminal sends it, so ffmpeg gets it too) or SIGTERM (to kestrune alone). The
// running commands end, their partial outputs go, no further file starts, a file of a later
// name that was there before is untouched, the counts are printed and the exit status is 130.
// A kestrune that is killed (SIGKILL) takes its ffmpeg with it.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "base/file_identity.h"
#include "base/file_util.h"
#include "base/process_stamp.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "base/user_data_folder.h"
#include "batch/start_check.h"
#include "cli/exit_codes.h"
#include "cli_test_support.h"
#include "exec/exec_test_support.h"
#include "running_kestrune.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"

namespace {

class CliStop : public ::testing::Test {
 protected:
  void SetUp() override {
    EnterProgramDir();
    if (FindMissingTool() != MISSING_NONE) GTEST_SKIP() << "ffmpeg or MediaInfo is not beside the tests";
  }
};

TEST_F(CliStop, CtrlCSigtermOrAKillEndTheRun) {
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
      // kestrune itself killed: nothing of it can run, and its ffmpegs end with it.
      {"SIGKILL, two at once", 2, SIGKILL, false, false, 2},
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
    const bool killed = c.signal == SIGKILL;
    EXPECT_EQ(run.Wait(), killed ? 1000 + SIGKILL : CLI_EXIT_STOPPED) << run.Err();

    if (!c.twice && !killed) {
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

// A run killed mid-encode leaves its output half written under the final name, and its journal.
// The next run renames that output to NAME.partial and says so; the journal of a run still
// alive (this process's, naming a file of its own) is left as it is, and so is that file. What
// the killed run finished before (b) is in its report already: the next run resumes from it.
TEST_F(CliStop, TheNextRunMarksTheOutputOfAKilledRunAsPartial) {
  TempDir dir, state;
  CScopedEnv stateHome("XDG_STATE_HOME", state.Path());
  const std::wstring clip = dir.File(L"a.mp4"), quick = dir.File(L"b.mp4"), output = dir.File(L"a_(02).mp4");
  ASSERT_TRUE(MakeSample(Sample::NOISY_H264_MP4, clip, 20) && MakeSample(Sample::H264_AAC_MP4, quick, 1));
  CRunningKestrune killed({"run", "--no-gpu", "--codec", "h265", WideToUtf8(quick), WideToUtf8(clip)},
                          WideToUtf8(dir.Path()));
  ASSERT_TRUE(WaitForFiles({output})) << killed.Err();
  kill(killed.Pid(), SIGKILL);
  EXPECT_EQ(killed.Wait(), 1000 + SIGKILL);
  for (auto until = Clock::now() + std::chrono::seconds(10);
       ProcessesNaming(WideToUtf8(dir.Path())) > 0 && Clock::now() < until;)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const std::uintmax_t partial = std::filesystem::file_size(FsPath(output));
  const std::wstring live = dir.Write(L"live.mp4", "being written");
  const std::wstring liveJournal = WriteFile(
      UserDataFolder(L"journal") + L"run-live.txt",
      "kestrune journal 1\nprocess " + std::to_string(getpid()) + " " + WideToUtf8(ProcessStamp(getpid())) +
          "\noutput " + WideToUtf8(FileIdentity(live)) + " " + WideToUtf8(live) + "\n");

  CliResult next = RunCli({L"run", L"--resume", L"--no-gpu", L"--codec", L"h265", quick});
  EXPECT_EQ(next.exitCode, CLI_EXIT_OK) << WideToUtf8(next.err);
  EXPECT_EQ(next.out, L"kestrune: 1 file: 0 done, 0 failed, 0 skipped, 1 done before\n");
  EXPECT_NE(next.err.find(L"kestrune: '" + output +
                          L"' was left unfinished by a run that ended before checking it; "
                          L"renamed to '" +
                          output + L".partial'\n"),
            std::wstring::npos)
      << WideToUtf8(next.err);
  EXPECT_FALSE(FileExists(output) || FileExists(dir.File(L"b_(03).mp4")));
  EXPECT_EQ(std::filesystem::file_size(FsPath(output + L".partial")), partial);
  EXPECT_TRUE(FileExists(live) && FileExists(liveJournal));
  RemoveFile(liveJournal);
}

}  // namespace
#else
// On Windows, Ctrl-C and the closing of the console reach kestrune-cli.exe as console control
// events, delivered as the system delivers them (windows_processes.h). Either one stops the
// run: the partial outputs go and the exit status is 130, for a closing console before Windows
// ends the process (5 s). A kestrune-cli.exe that is killed (TerminateProcess) takes its ffmpeg
// with it.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "base/command_quoting.h"
#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "batch/start_check.h"
#include "cli/exit_codes.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"
#include "support/windows_processes.h"

namespace {

constexpr DWORD kPatienceMillis = 120000;

// kestrune-cli.exe in a console of its own, as a user starts it; its input is NUL, its output
// and error go into files of folder.
class CRunningCli {
 public:
  CRunningCli(const std::vector<std::wstring>& args, const std::wstring& folder) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE input = CreateFileW(L"NUL", GENERIC_READ, share, &inherit, OPEN_EXISTING, 0, nullptr);
    HANDLE output =
        CreateFileW((folder + L"out.txt").c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::wstring program = GetProgramDir() + L"kestrune-cli.exe";
    std::wstring line = QuoteArgument(program);
    for (const std::wstring& arg : args) line += L" " + QuoteArgument(arg);
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof info);
    if (CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr,
                       nullptr, &startup, &info)) {
      CloseHandle(info.hThread);
      process_ = info.hProcess;
      pid_ = info.dwProcessId;
    }
    CloseHandle(input);
    CloseHandle(output);
  }
  ~CRunningCli() {
    if (process_ == nullptr) return;
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kPatienceMillis);
    CloseHandle(process_);
  }
  CRunningCli(const CRunningCli&) = delete;
  CRunningCli& operator=(const CRunningCli&) = delete;

  bool Started() const { return process_ != nullptr; }

  // A console control event, delivered as the system delivers it; false when it cannot be.
  bool Deliver(DWORD event) { return DeliverConsoleEvent(pid_, event); }

  void Kill() { TerminateProcess(process_, 1); }

  // The exit status; -1 when it does not end in time.
  int Wait() {
    if (WaitForSingleObject(process_, kPatienceMillis) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    return GetExitCodeProcess(process_, &code) ? static_cast<int>(code) : -1;
  }

  // The processes it started that are still there (ffmpeg.exe at work), each opened to be
  // waited for, so that its id is never taken for another process's.
  std::vector<HANDLE> Children() const {
    std::vector<HANDLE> children;
    for (unsigned long id : ChildProcessIds(pid_)) {
      HANDLE child = OpenProcess(SYNCHRONIZE, FALSE, id);
      if (child != nullptr) children.push_back(child);
    }
    return children;
  }

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// Until ffmpeg has written into each file: the run claims an output's name (an empty file)
// before it starts the program that writes it.
bool WaitForFiles(const std::vector<std::wstring>& paths) {
  for (DWORD waited = 0; waited < kPatienceMillis; waited += 20) {
    bool all = true;
    for (const std::wstring& path : paths) {
      std::error_code unknown;
      all = all && std::filesystem::file_size(FsPath(path), unknown) > 0 && !unknown;
    }
    if (all) return true;
    Sleep(20);
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

TEST_F(CliStop, CtrlCClosingTheConsoleOrAKillEndTheRun) {
  enum How { HOW_CTRL_C, HOW_CLOSE, HOW_KILL };
  struct Case {
    const char* name;
    How how;
  };
  const Case cases[] = {
      {"Ctrl-C", HOW_CTRL_C},
      {"the console closed", HOW_CLOSE},
      {"kestrune-cli.exe killed", HOW_KILL},
  };
  // A clip that x265 takes well over a minute to convert here.
  TempDir source;
  const std::wstring clip = source.File(L"clip.mp4");
  ASSERT_TRUE(MakeSample(Sample::NOISY_H264_MP4, clip, 20));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::vector<std::wstring> args = {L"run", L"--no-gpu", L"--codec", L"h265", L"--jobs", L"2"};
    std::vector<std::wstring> outputs;
    for (const wchar_t* name : {L"a", L"b"}) {
      std::filesystem::copy_file(FsPath(clip), FsPath(dir.File(std::wstring(name) + L".mp4")));
      args.push_back(dir.File(std::wstring(name) + L".mp4"));
      outputs.push_back(dir.File(std::wstring(name) + L"_(02).mp4"));
    }
    CRunningCli run(args, dir.Path());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(WaitForFiles(outputs));
    std::vector<HANDLE> children = run.Children();
    EXPECT_EQ(children.size(), 2u);
    if (c.how == HOW_KILL) {
      run.Kill();
      run.Wait();
    } else {
      ASSERT_TRUE(run.Deliver(c.how == HOW_CLOSE ? CTRL_CLOSE_EVENT : CTRL_C_EVENT));
      EXPECT_EQ(run.Wait(), CLI_EXIT_STOPPED);
      // The partial outputs are gone.
      for (const std::wstring& output : outputs) EXPECT_FALSE(FileExists(output)) << WideToUtf8(output);
    }
    // Nothing it started is left running.
    for (HANDLE child : children) {
      EXPECT_EQ(WaitForSingleObject(child, 10000), WAIT_OBJECT_0);
      CloseHandle(child);
    }
  }
}

}  // namespace
#endif
