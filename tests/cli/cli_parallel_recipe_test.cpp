// The README's recipe for running a plan with GNU parallel, run as written on generated clips
// with hostile names: on this machine's cores (-j2), and with --sshlogin over ssh through a
// private sshd on 127.0.0.1. Either way it makes the same files, by name and by probe, as
// kestrune run, and no part of a name ever runs as a command.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <set>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "batch/start_check.h"
#include "cli/exit_codes.h"
#include "cli/media_json.h"
#include "cli_test_support.h"
#include "exec/program_lookup.h"
#include "local_ssh_server.h"
#include "probe/probe_runner.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

// The recipe of the README, word for word after the plan; the file steps go out by one of the
// README's two parallel lines below. $1 is the folder of the kestrune under test, the rest are
// plan's arguments.
const char kRecipeStart[] = R"(set -e
PATH="$1:$PATH"; shift
kestrune plan --json "$@" > plan.jsonl
jq -j 'select(.step == "file") | .output, "\u0000", .command, "\u0000"' plan.jsonl |
)";
const char kFileStepsHere[] = "  parallel -0 -N2 -j2 kestrune exec --output {1} {2}\n";
const char kFileStepsOverSsh[] =
    "  parallel -0 -N2 --sshlogin 2/alpha,2/beta kestrune exec --output {1} {2}\n";
const char kRecipeEnd[] =
    R"(jq -j 'select(.step == "join") | .output, "\u0000", .command, "\u0000"' plan.jsonl |
  parallel -0 -N2 -j1 kestrune exec --output {1} {2}
)";

// Were any part of a name ever run by a shell, here or at the far end of an ssh login, its
// canary would make the file KESTRUNE_CANARY names: an absolute path, set in both places, so the
// trace shows whatever the shell's current folder was.
const std::vector<std::wstring> kNames = {
    L"a.mp4",
    L"b b.mp4",
    L"c'$(touch x).mp4",
    L"d \"q\" & touch \"$KESTRUNE_CANARY\" & e.mp4",
    L"f `touch \"$KESTRUNE_CANARY\"` $HOME.mp4",
    L"한글 영상 '$(touch \"$KESTRUNE_CANARY\")'.mp4",
    L"nl\n$(touch \"$KESTRUNE_CANARY\")\tend %PATH% !x! ^ ; <>.mp4",
};

// The name of an environment entry "NAME=value".
std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('=')); }

// Runs the recipe in folder with the environment of this process plus the settings
// ("NAME=value") given; the shell's exit code.
int RunShell(const std::string& folder, const std::string& recipe, const std::vector<std::string>& args,
             const std::vector<std::string>& settings) {
  std::string script = "cd \"$0\" && " + recipe;
  std::vector<std::string> words = {"/bin/sh", "-c", script, folder, WideToUtf8(GetProgramDir())};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  std::vector<std::string> environment = settings;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string text = *entry;
    bool replaced = false;
    for (const std::string& setting : settings) replaced = replaced || NameOf(setting) == NameOf(text);
    if (!replaced) environment.push_back(text);
  }
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(&entry[0]);
  envp.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::set<std::wstring> FolderNames(const std::wstring& folder) {
  std::set<std::wstring> names;
  for (const auto& entry : std::filesystem::directory_iterator(FsPath(folder)))
    names.insert(Utf8ToWide(entry.path().filename().string()));
  return names;
}

// A file's probe without its path.
std::wstring ProbeJson(const std::wstring& path) {
  MediaDesc media;
  ResetMediaDesc(media);
  if (!ProbeMediaFile(path, media)) return L"cannot probe";
  media.filePath[0] = L'\0';
  return FormatMediaJson(media);
}

class CliParallelRecipe : public ::testing::Test {
 protected:
  static constexpr size_t kJobCount = 4;

  void SetUp() override {
    EnterProgramDir();
    if (FindMissingTool() != MISSING_NONE) GTEST_SKIP() << "ffmpeg or MediaInfo is not beside the tests";
    const char* path = std::getenv("PATH");
    for (const wchar_t* tool : {L"parallel", L"jq"}) {
      if (path == nullptr || SearchFolderList(path, tool).empty())
        GTEST_SKIP() << WideToUtf8(tool) << " is not installed (tools/setup.sh installs it)";
    }
    for (const std::wstring& name : kNames)
      ASSERT_TRUE(MakeSample(Sample::H264_AAC_MP4, source_.File(name), 1));
  }

  std::string Canary() const { return WideToUtf8(canaryDir_.File(L"CANARY")); }

  // For each of kJobCount jobs: kestrune run over copies of the clips in one folder, the recipe
  // with the file steps' line given over copies in another; the same files must come out. A
  // job with an output folder writes into the folder "out" of each, and nothing beside the clips.
  void ExpectTheFilesOfARun(const char* fileSteps, const std::vector<std::string>& settings) {
    const std::string recipe = std::string(kRecipeStart) + fileSteps + kRecipeEnd;
    const struct {
      std::vector<std::wstring> options;
      bool intoFolder;
    } jobs[] = {
        {{L"--job", L"merge"}, false},
        {{L"--job", L"audio"}, false},
        {{L"--no-gpu", L"--codec", L"h264"}, false},
        {{L"--job", L"merge", L"--no-gpu"}, true},
    };
    ASSERT_EQ(std::size(jobs), kJobCount);
    for (const auto& job : jobs) {
      SCOPED_TRACE(WideToUtf8(job.options.back()) + (job.intoFolder ? " --output-dir" : ""));
      TempDir byRun, byParallel;
      std::vector<std::wstring> runArgs = {L"run"};
      runArgs.insert(runArgs.end(), job.options.begin(), job.options.end());
      std::vector<std::string> planArgs;
      for (const std::wstring& option : job.options) planArgs.push_back(WideToUtf8(option));
      if (job.intoFolder) {
        runArgs.insert(runArgs.end(), {L"--output-dir", byRun.Folder(L"out")});
        planArgs.insert(planArgs.end(), {"--output-dir", WideToUtf8(byParallel.Folder(L"out"))});
      }
      for (const std::wstring& name : kNames) {
        for (const TempDir* dir : {&byRun, &byParallel})
          std::filesystem::copy_file(FsPath(source_.File(name)), FsPath(dir->File(name)));
        runArgs.push_back(byRun.File(name));
        planArgs.push_back(WideToUtf8(byParallel.File(name)));
      }
      CliResult run = RunCli(runArgs);
      ASSERT_EQ(run.exitCode, CLI_EXIT_OK) << WideToUtf8(run.err);
      int recipeCode = RunShell(WideToUtf8(byParallel.Path()), recipe, planArgs, settings);
      EXPECT_FALSE(FileExists(Utf8ToWide(Canary()))) << "a part of a name ran as a command";
      ASSERT_EQ(recipeCode, 0);
      ASSERT_TRUE(RemoveFile(byParallel.File(L"plan.jsonl")));

      std::wstring runFolder = byRun.Path(), parallelFolder = byParallel.Path();
      if (job.intoFolder) {
        std::set<std::wstring> top(kNames.begin(), kNames.end());
        top.insert(L"out");
        EXPECT_EQ(FolderNames(byRun.Path()), top);
        EXPECT_EQ(FolderNames(byParallel.Path()), top);
        runFolder = byRun.File(L"out/");
        parallelFolder = byParallel.File(L"out/");
      }
      std::set<std::wstring> made = FolderNames(runFolder);
      EXPECT_EQ(FolderNames(parallelFolder), made);
      EXPECT_GT(made.size(), kNames.size());
      for (const std::wstring& name : made) {
        SCOPED_TRACE(WideToUtf8(name));
        std::wstring expected = ProbeJson(runFolder + name);
        EXPECT_NE(expected, L"cannot probe");
        EXPECT_EQ(ProbeJson(parallelFolder + name), expected);
      }
    }
  }

  TempDir source_, canaryDir_;
};

TEST_F(CliParallelRecipe, MakesTheFilesOfARun) {
  ExpectTheFilesOfARun(kFileStepsHere, {"KESTRUNE_CANARY=" + Canary()});
}

// The file steps go out by --sshlogin to alpha and beta, both of which lead to the test's own
// sshd through the ssh configuration that parallel is given in PARALLEL_SSH. This machine is not
// in the list, so every file step must come through an ssh login; a login finds the kestrune
// under test (and ffmpeg, MediaInfo) by the PATH the server sets, as the PATH of a login on a
// real machine finds the installed ones.
TEST_F(CliParallelRecipe, MakesTheFilesOfARunOverSsh) {
  TempDir work;
  const std::string programDir = WideToUtf8(GetProgramDir());
  const char* path = std::getenv("PATH");
  const std::string loginPath = "PATH=" + programDir + ":" + (path != nullptr ? path : "/usr/bin:/bin");
  CLocalSshServer server(WideToUtf8(work.Path()));
  if (!server.Start({"alpha", "beta"}, {loginPath, "KESTRUNE_CANARY=" + Canary()})) {
    std::printf("CliParallelRecipe over ssh skipped: %s\n", server.Error().c_str());
    GTEST_SKIP() << "the test's ssh server is not usable: " << server.Error();
  }
  for (const char* host : {"alpha", "beta"}) {
    std::string found, error;
    if (server.RunRemote(host, "command -v kestrune", found, error) != 0 ||
        found != programDir + "kestrune\n") {
      std::printf("CliParallelRecipe over ssh skipped: a login's PATH leads to '%s' %s\n", found.c_str(),
                  error.c_str());
      GTEST_SKIP() << "a login on the test's sshd does not find the kestrune under test first on the PATH "
                      "the server sets (do the login's start files change PATH?): "
                   << found << error;
    }
  }
  const int loginsBefore = server.AcceptedLogins();

  ExpectTheFilesOfARun(kFileStepsOverSsh,
                       {"PARALLEL_SSH=" + server.Ssh() + " -F '" + server.ClientConfig() + "'",
                        "KESTRUNE_CANARY=" + Canary()});
  EXPECT_GE(server.AcceptedLogins() - loginsBefore, static_cast<int>(kJobCount * kNames.size()));

  server.Stop();
  EXPECT_FALSE(server.Listening()) << "the test's sshd still listens after its stop";
}

}  // namespace
#endif
