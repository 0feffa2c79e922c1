// The README's recipe for running a plan with GNU parallel, run as written (locally, -j2, no
// ssh) on generated clips: it makes the same files, by name and by probe, as kestrune run.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <set>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "cli/exit_codes.h"
#include "cli/media_json.h"
#include "cli_test_support.h"
#include "exec/program_lookup.h"
#include "batch/start_check.h"
#include "probe/probe_runner.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

// The recipe of the README, word for word after the plan; $1 is the folder of the kestrune
// under test, the rest are plan's arguments.
const char kRecipe[] = R"(set -e
PATH="$1:$PATH"; shift
kestrune plan --json "$@" > plan.jsonl
jq -j 'select(.step == "file") | .output, "\u0000", .command, "\u0000"' plan.jsonl |
  parallel -0 -N2 -j2 kestrune exec --output {1} {2}
jq -j 'select(.step == "join") | .output, "\u0000", .command, "\u0000"' plan.jsonl |
  parallel -0 -N2 -j1 kestrune exec --output {1} {2}
)";

int RunShell(const std::string& folder, const std::vector<std::string>& args) {
  std::string script = "cd \"$0\" && " + std::string(kRecipe);
  std::vector<std::string> words = {"/bin/sh", "-c", script, folder, WideToUtf8(GetProgramDir())};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
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

TEST(CliParallelRecipe, MakesTheFilesOfARun) {
  EnterProgramDir();
  if (FindMissingTool() != MISSING_NONE) GTEST_SKIP() << "ffmpeg or MediaInfo is not beside the tests";
  const char* path = std::getenv("PATH");
  for (const wchar_t* tool : {L"parallel", L"jq"}) {
    if (path == nullptr || SearchFolderList(path, tool).empty())
      GTEST_SKIP() << WideToUtf8(tool) << " is not installed (tools/setup.sh installs it)";
  }
  TempDir source;
  const std::vector<std::wstring> names = {L"a.mp4", L"b b.mp4", L"c'$(touch x).mp4"};
  for (const std::wstring& name : names) ASSERT_TRUE(MakeSample(Sample::H264_AAC_MP4, source.File(name), 1));

  const std::vector<std::vector<std::wstring>> jobs = {
      {L"--job", L"merge"}, {L"--job", L"audio"}, {L"--no-gpu", L"--codec", L"h264"}};
  for (const std::vector<std::wstring>& options : jobs) {
    SCOPED_TRACE(WideToUtf8(options.back()));
    TempDir byRun, byParallel;
    std::vector<std::wstring> runArgs = {L"run"};
    runArgs.insert(runArgs.end(), options.begin(), options.end());
    std::vector<std::string> planArgs;
    for (const std::wstring& option : options) planArgs.push_back(WideToUtf8(option));
    for (const std::wstring& name : names) {
      for (const TempDir* dir : {&byRun, &byParallel})
        std::filesystem::copy_file(FsPath(source.File(name)), FsPath(dir->File(name)));
      runArgs.push_back(byRun.File(name));
      planArgs.push_back(WideToUtf8(byParallel.File(name)));
    }
    CliResult run = RunCli(runArgs);
    ASSERT_EQ(run.exitCode, CLI_EXIT_OK) << WideToUtf8(run.err);
    ASSERT_EQ(RunShell(WideToUtf8(byParallel.Path()), planArgs), 0);
    ASSERT_TRUE(RemoveFile(byParallel.File(L"plan.jsonl")));

    std::set<std::wstring> made = FolderNames(byRun.Path());
    EXPECT_EQ(FolderNames(byParallel.Path()), made);
    EXPECT_GT(made.size(), names.size());
    for (const std::wstring& name : made) {
      SCOPED_TRACE(WideToUtf8(name));
      std::wstring expected = ProbeJson(byRun.File(name));
      EXPECT_NE(expected, L"cannot probe");
      EXPECT_EQ(ProbeJson(byParallel.File(name)), expected);
    }
  }
}

}  // namespace
#endif
