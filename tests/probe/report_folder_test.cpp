// Where the probe's report goes: the program folder when a file can really be made there,
// else the user's own folder, never a folder someone else prepared. A folder's mode binds no
// root, and tests run as root in CI: there the cases that need an unwritable program folder
// or another user's folder run in a child process that has become the user nobody first, so
// the modes hold for it exactly as for an ordinary user.
#include "probe/report_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/scratch_folder.h"
#include "base/text.h"
#include "base/user_data_folder.h"
#include "exec/exec_test_support.h"
#include "probe/probe_runner.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
// needs <windows.h> first
#include <shlobj.h>
#else
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

bool IsEmptyFolder(const std::wstring& folder) { return fs::is_empty(FsPath(folder)); }

TEST(ReportFolder, AWritableProgramFolderHoldsTheReportAndKeepsNoTestFile) {
  TempDir program;
  EXPECT_TRUE(CanCreateFileIn(program.Path()));
  EXPECT_EQ(ReportFolder(program.Path()), program.Path());
  EXPECT_TRUE(IsEmptyFolder(program.Path()));
}

// The scratch folders of the probes and of the GPU check: each object makes its own, new (a
// folder that is there already is never taken over), and removes it with what it holds.
TEST(ScratchFolder, IsMadeNewAndGoesAway) {
  std::wstring folder;
  {
    CScratchFolder scratch("probes");
    ASSERT_TRUE(scratch.Made());
    folder = scratch.File(L"");
    EXPECT_TRUE(IsDirectory(folder));
    EXPECT_EQ(CreateNewFile(scratch.File(L"media-0.txt")), NEW_FILE_MADE);
  }
  EXPECT_FALSE(FileExists(folder));

  TempDir parent;
  const std::wstring made = parent.File(L"taken") + kPathSeparator;
  EXPECT_EQ(MakePrivateFolder(parent.Path(), L"taken", PRIVATE_FOLDER_NEW_ONLY), made);
  EXPECT_EQ(MakePrivateFolder(parent.Path(), L"taken", PRIVATE_FOLDER_NEW_ONLY), L"")
      << "never one that was there";
  EXPECT_EQ(MakePrivateFolder(parent.Path(), L"taken", PRIVATE_FOLDER_OWN_OR_NEW), made)
      << "the report folder";
  EXPECT_TRUE(IsEmptyFolder(made)) << "the write test left nothing";
}

#ifdef _WIN32

// Under Wine every folder is writable for the tests (they run as root, and Wine maps no ACLs),
// so only a program folder that cannot hold a file at all shows the fallback here.
TEST(ReportFolder, AProgramFolderThatCannotHoldAFileFallsBackToLocalAppData) {
  TempDir temp;
  std::wstring missing = temp.File(L"no such folder\\");
  EXPECT_FALSE(CanCreateFileIn(missing));
  wchar_t local[MAX_PATH] = {0};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local)));
  std::wstring expected = std::wstring(local) + L"\\Kestrune\\";
  EXPECT_EQ(ReportFolder(missing), expected);
  EXPECT_TRUE(IsDirectory(expected));
  EXPECT_TRUE(CanCreateFileIn(expected));
}

#else

constexpr uid_t kNobody = 65534;

bool RunsAsRoot() { return geteuid() == 0; }
// The user the checks run as: this one, or nobody when the tests run as root.
uid_t CheckUser() { return RunsAsRoot() ? kNobody : geteuid(); }

// The answer of check, computed as that user: in this process, or as root in a child that has
// become nobody (its answer comes back through a pipe). "child failed" when it could not.
std::string AsUser(const std::function<std::string()>& check) {
  if (!RunsAsRoot()) return check();
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return "child failed";
  pid_t child = fork();
  if (child < 0) return "child failed";
  if (child == 0) {
    close(pipeEnds[0]);
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(2);
    std::string answer = check();
    ssize_t written = write(pipeEnds[1], answer.data(), answer.size());
    _exit(written == static_cast<ssize_t>(answer.size()) ? 0 : 3);
  }
  close(pipeEnds[1]);
  std::string answer;
  char buffer[512];
  for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) answer.append(buffer, got);
  close(pipeEnds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? answer : "child failed";
}

struct Status {
  bool exists = false;
  bool folder = false;
  uid_t owner = 0;
  unsigned mode = 0;
};
Status StatusOf(const std::string& path) {
  Status status;
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return status;
  status.exists = true;
  status.folder = S_ISDIR(st.st_mode);
  status.owner = st.st_uid;
  status.mode = st.st_mode & 07777;
  return status;
}

// A stage for one case: a root folder everyone may enter, holding "tmp" (open to all with the
// sticky bit, as /tmp is), "runtime" (the user's own, 0700) and "program" (read-only), and
// TMPDIR and XDG_RUNTIME_DIR pointing at the first two unless a case says otherwise.
class ReportFolderStage : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = WideToUtf8(temp_.Path());
    chmod(root_.c_str(), 0755);
    tmp_ = root_ + "tmp/";
    runtime_ = root_ + "runtime/";
    program_ = root_ + "program/";
    ASSERT_EQ(0, mkdir(tmp_.c_str(), 0700));
    ASSERT_EQ(0, chmod(tmp_.c_str(), 01777));
    ASSERT_EQ(0, mkdir(runtime_.c_str(), 0700));
    ASSERT_EQ(0, chown(runtime_.c_str(), CheckUser(), static_cast<gid_t>(-1)));
    ASSERT_EQ(0, mkdir(program_.c_str(), 0755));
    userTmp_ = tmp_ + "kestrune-" + std::to_string(CheckUser());
  }
  void TearDown() override { chmod(program_.c_str(), 0755); }

  std::wstring Wide(const std::string& path) const { return Utf8ToWide(path); }
  void OwnByUser(const std::string& path) {
    ASSERT_EQ(0, lchown(path.c_str(), CheckUser(), static_cast<gid_t>(-1)));
  }

  TempDir temp_;
  std::string root_, tmp_, runtime_, program_, userTmp_;
};

TEST_F(ReportFolderStage, UserFolderIsTheRuntimeFolderElseAPrivateOneInTmp) {
  const struct {
    const char* what;
    bool setRuntime;
    std::string runtime;  // relative to the stage unless absolute-looking is the point
    std::string expected;
  } cases[] = {
      {"runtime folder set", true, "runtime", "runtime/kestrune/"},
      {"runtime folder unset", false, "", "tmp/kestrune-" + std::to_string(CheckUser()) + "/"},
      {"runtime folder missing", true, "missing", "tmp/kestrune-" + std::to_string(CheckUser()) + "/"},
      {"runtime folder not absolute", true, "relative", "tmp/kestrune-" + std::to_string(CheckUser()) + "/"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    fs::remove_all(userTmp_);
    fs::remove_all(runtime_ + "kestrune");
    std::wstring runtime = row.runtime == "relative" ? L"runtime" : Wide(root_ + row.runtime);
    CScopedEnv tmpdir("TMPDIR", Wide(tmp_));
    CScopedEnv xdg("XDG_RUNTIME_DIR", runtime, !row.setRuntime);
    std::string found = AsUser([] { return WideToUtf8(UserReportFolder()); });
    EXPECT_EQ(found, root_ + row.expected);
    Status made = StatusOf(found);
    EXPECT_TRUE(made.folder);
    EXPECT_EQ(made.owner, CheckUser());
    EXPECT_EQ(made.mode, 0700u);
  }
}

// What another user (or the user by mistake) left at <tmp>/kestrune-<uid> is never used: the
// probe would write its report where someone else can read it, swap it, or point it elsewhere.
TEST_F(ReportFolderStage, APreparedTmpFolderIsUsedOnlyWhenItIsTheUsersPrivateFolder) {
  const struct {
    const char* what;
    std::function<void()> prepare;
    bool accepted;
    bool rootOnly;  // another owner can only be made by root
  } cases[] = {
      {"the user's own, 0700",
       [&] {
         mkdir(userTmp_.c_str(), 0700);
         OwnByUser(userTmp_);
       },
       true, false},
      {"the user's own, open to all",
       [&] {
         mkdir(userTmp_.c_str(), 0700);
         chmod(userTmp_.c_str(), 0777);
         OwnByUser(userTmp_);
       },
       false, false},
      {"the user's own, readable by the group",
       [&] {
         mkdir(userTmp_.c_str(), 0750);
         OwnByUser(userTmp_);
       },
       false, false},
      {"a link to a private folder of the user",
       [&] {
         std::string target = root_ + "elsewhere";
         mkdir(target.c_str(), 0700);
         OwnByUser(target);
         ASSERT_EQ(0, symlink(target.c_str(), userTmp_.c_str()));
         OwnByUser(userTmp_);
       },
       false, false},
      {"a file",
       [&] {
         close(open(userTmp_.c_str(), O_CREAT | O_WRONLY, 0600));
         OwnByUser(userTmp_);
       },
       false, false},
      {"another user's, 0700", [&] { mkdir(userTmp_.c_str(), 0700); }, false, true},
      {"none, but the temporary folder lacks its sticky bit", [&] { chmod(tmp_.c_str(), 0777); }, false,
       false},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    if (row.rootOnly && !RunsAsRoot()) {
      std::printf("not run as a user (needs root to make a folder of another owner): %s\n", row.what);
      continue;
    }
    fs::remove_all(userTmp_);
    fs::remove_all(root_ + "elsewhere");
    chmod(tmp_.c_str(), 01777);
    row.prepare();
    CScopedEnv tmpdir("TMPDIR", Wide(tmp_));
    CScopedEnv xdg("XDG_RUNTIME_DIR", L"", true);
    std::string found = AsUser([] { return WideToUtf8(UserReportFolder()); });
    EXPECT_EQ(found, row.accepted ? userTmp_ + "/" : std::string());
    Status left = StatusOf(userTmp_);
    if (left.folder && !row.accepted) {
      EXPECT_TRUE(fs::is_empty(userTmp_)) << "nothing was written into it";
    }
  }
}

TEST_F(ReportFolderStage, AReadOnlyProgramFolderSendsTheReportToTheUsersFolder) {
  ASSERT_EQ(0, chmod(program_.c_str(), 0555));
  CScopedEnv tmpdir("TMPDIR", Wide(tmp_));
  CScopedEnv xdg("XDG_RUNTIME_DIR", L"", true);
  std::wstring program = Wide(program_);
  std::string found = AsUser([&] {
    return std::string(CanCreateFileIn(program) ? "writable " : "read-only ") +
           WideToUtf8(ReportFolder(program));
  });
  EXPECT_EQ(found, "read-only " + userTmp_ + "/");
  EXPECT_TRUE(fs::is_empty(program_));
}

// The whole probe, as an installed program under /usr/lib runs it: the program folder named
// by KESTRUNE_PROGRAM_DIR holds exec.sh but cannot be written; the report goes to the user's
// folder, under the lock of that folder, and the probe reads it.
TEST_F(ReportFolderStage, AProgramInAReadOnlyFolderStillProbes) {
  std::wstring clip = Wide(root_ + "clip.mp4");
  ASSERT_TRUE(MakeSample(Sample::H264_AAC_MP4, clip));
  chmod(WideToUtf8(clip).c_str(), 0644);
  ASSERT_TRUE(fs::copy_file(FsPath(GetProgramDir() + L"exec.sh"), program_ + "exec.sh"));
  ASSERT_EQ(0, chmod((program_ + "exec.sh").c_str(), 0755));
  ASSERT_EQ(0, chmod(program_.c_str(), 0555));
  CScopedEnv tmpdir("TMPDIR", Wide(tmp_));
  CScopedEnv xdg("XDG_RUNTIME_DIR", L"", true);
  CScopedEnv folder("KESTRUNE_PROGRAM_DIR", Wide(program_));
  std::wstring savedProgramDir = ProgramDir();
  std::string found = AsUser([&] {
    SetProgramDir(GetProgramDir());
    MediaDesc media;
    bool probed = ProbeMediaFile(clip, media);
    return std::string(probed ? "probed " : "failed ") + std::to_string(media.video.width) + "x" +
           std::to_string(media.video.height);
  });
  SetProgramDir(savedProgramDir);
  EXPECT_EQ(found, "probed 320x240");
  EXPECT_FALSE(fs::exists(program_ + "media.txt"));
  EXPECT_GT(GetFileLength(Wide(userTmp_ + "/media.txt")), 100);
}

// A scratch folder is made with mode 0700, owned by the user, in the temporary folder; where
// others may write that folder without its sticky bit (they could swap the scratch folder for
// their own after the check), none is made: the probes then run one by one through the
// report folder, and the GPU check counts as failed.
TEST_F(ReportFolderStage, ScratchFoldersArePrivate) {
  const struct {
    const char* what;
    unsigned tmpMode;
    bool made;
  } cases[] = {
      {"a temporary folder with its sticky bit, as /tmp", 01777, true},
      {"a temporary folder open to all without it", 0777, false},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    ASSERT_EQ(0, chmod(tmp_.c_str(), row.tmpMode));
    CScopedEnv tmpdir("TMPDIR", Wide(tmp_));
    std::string found = AsUser([] {
      CScratchFolder scratch("gpu-check");
      if (!scratch.Made()) return std::string("none");
      std::string folder = WideToUtf8(scratch.File(L""));
      Status status = StatusOf(folder.substr(0, folder.size() - 1));
      char mode[8];
      std::snprintf(mode, sizeof mode, "%04o", status.mode);
      return folder.substr(0, folder.rfind('/', folder.size() - 2) + 1) + " " +
             (status.folder ? "folder " : "") + mode + " " + std::to_string(status.owner);
    });
    EXPECT_EQ(found, row.made ? tmp_ + " folder 0700 " + std::to_string(CheckUser()) : "none");
    EXPECT_TRUE(fs::is_empty(tmp_)) << "nothing was left behind";
  }
}

// The folder of what the program keeps between runs: under XDG_STATE_HOME when that is an
// absolute path, else under ~/.local/state, whose missing parents are made; private either way.
TEST_F(ReportFolderStage, UserDataFolderIsTheStateFolderElseOneUnderHome) {
  const struct {
    const char* what;
    std::string state;  // XDG_STATE_HOME; empty: unset
    std::string expected;
  } cases[] = {
      {"state folder set", "runtime", "runtime/kestrune/runs/"},
      {"state folder unset", "", "runtime/.local/state/kestrune/runs/"},
      {"state folder not absolute", "relative", "runtime/.local/state/kestrune/runs/"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    fs::remove_all(runtime_ + "kestrune");
    fs::remove_all(runtime_ + ".local");
    std::wstring state = row.state == "relative" ? L"relative" : Wide(root_ + row.state);
    CScopedEnv home("HOME", Wide(runtime_));
    CScopedEnv xdg("XDG_STATE_HOME", state, row.state.empty());
    std::string found = AsUser([] { return WideToUtf8(UserDataFolder(L"runs")); });
    EXPECT_EQ(found, root_ + row.expected);
    EXPECT_EQ(StatusOf(found).mode, 0700u);
    EXPECT_EQ(StatusOf(found).owner, CheckUser());
  }
}

#endif

}  // namespace
