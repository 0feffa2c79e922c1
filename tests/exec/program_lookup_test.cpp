// Finding programs: the platform's lookup (FindExecutableW, or the current folder then PATH
// with and without ".exe"), and where the tools are.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "exec/program_lookup.h"
#include "exec_test_support.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

class ProgramLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDir_ = GetCurrentDir();
    savedProgramDir_ = ProgramDir();
  }
  void TearDown() override {
    SetCurrentDir(savedDir_);
    SetProgramDir(savedProgramDir_);
  }
  TempDir temp_;
  std::wstring savedDir_;
  std::wstring savedProgramDir_;
};

TEST_F(ProgramLookupTest, FindsAProgramInTheCurrentFolder) {
  std::wstring program = CopyWitness(temp_.Path(), L"tool.exe");
  ASSERT_TRUE(SetCurrentDir(temp_.Path()));
  std::wstring found;
  EXPECT_GT(FindExecutablePath(L"tool.exe", found), 32);
  EXPECT_TRUE(fs::equivalent(FsPath(found), FsPath(program)));
  EXPECT_EQ(FindExecutablePath(L"kestrune_nothing_by_this_name.exe", found), 2);
}

TEST_F(ProgramLookupTest, WindowsKeepsTheToolsBesideTheProgramOnly) {
  SetProgramDir(temp_.Path());
#ifdef _WIN32
  EXPECT_EQ(ProgramFolderToolPath(L"mediainfo"), temp_.Path() + L"mediainfo.exe");
  EXPECT_EQ(MediaInfoProgramPath(), L"");
  CopyWitness(temp_.Path(), L"mediainfo.exe");
  EXPECT_EQ(MediaInfoProgramPath(), temp_.Path() + L"mediainfo.exe");
  EXPECT_EQ(FfmpegProgramPath(), L"");
#else
  EXPECT_EQ(ProgramFolderToolPath(L"mediainfo"), temp_.Path() + L"mediainfo");
#endif
}

#ifndef _WIN32

TEST_F(ProgramLookupTest, PosixLookupTriesWithAndWithoutExe) {
  CopyWitness(temp_.Path(), L"plain");
  CopyWitness(temp_.Path(), L"suffixed.exe");
  temp_.Write(L"notes.exe", "not runnable");
  ASSERT_TRUE(SetCurrentDir(temp_.Path()));
  std::wstring found;
  EXPECT_GT(FindExecutablePath(L"plain.exe", found), 32);
  EXPECT_EQ(found, temp_.File(L"plain"));
  EXPECT_GT(FindExecutablePath(L"suffixed", found), 32);
  EXPECT_EQ(found, temp_.File(L"suffixed.exe"));
  EXPECT_GT(FindExecutablePath(L"PLAIN.EXE", found), 32);  // Windows names ignore case
  EXPECT_EQ(FindExecutablePath(L"notes.exe", found), 31);  // there, but nothing can run it
  EXPECT_EQ(FindExecutablePath(L"", found), 2);
  // PATH comes after the current folder: a system program is found as a Windows name.
  EXPECT_GT(FindExecutablePath(L"sh.exe", found), 32);
  EXPECT_EQ(FsPath(found).filename(), "sh");
}

TEST_F(ProgramLookupTest, PosixToolsComeFromTheProgramFolderThenTheToolPath) {
  TempDir programDir, pathDir, emptyDir;
  CScopedEnv executable("KESTRUNE_PROGRAM_DIR", emptyDir.Path());
  CScopedEnv toolPath("KESTRUNE_TOOL_PATH", WithoutTrailingSeparator(pathDir.Path()));
  SetProgramDir(programDir.Path());
  EXPECT_EQ(MediaInfoProgramPath(), L"");
  std::wstring onPath = CopyWitness(pathDir.Path(), L"mediainfo");
  EXPECT_EQ(MediaInfoProgramPath(), onPath);
  std::wstring beside = CopyWitness(programDir.Path(), L"mediainfo");
  EXPECT_EQ(MediaInfoProgramPath(), beside);
  EXPECT_EQ(FfmpegProgramPath(), L"");
  temp_.Write(L"ffmpeg", "not runnable");
  SetProgramDir(temp_.Path());
  EXPECT_EQ(FfmpegProgramPath(), L"");
}

TEST_F(ProgramLookupTest, PosixToolsFallBackToPath) {
  TempDir emptyDir;
  CScopedEnv executable("KESTRUNE_PROGRAM_DIR", emptyDir.Path());
  CScopedEnv toolPath("KESTRUNE_TOOL_PATH", L"", true);
  SetProgramDir(emptyDir.Path());
  std::wstring found;
  ASSERT_GT(FindExecutablePath(L"mediainfo", found), 32) << "mediainfo is installed on PATH";
  EXPECT_EQ(MediaInfoProgramPath(), found);
}

#endif

}  // namespace
