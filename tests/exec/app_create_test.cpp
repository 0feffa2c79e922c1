// Real starts through AppCreate: the witness program records where and how it ran and what it
// was given; the traces are compared line for line.
#include "exec/app_create.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "exec_test_support.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"

namespace fs = std::filesystem;

namespace {

class AppCreateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDir_ = GetCurrentDir();
    savedProgramDir_ = ProgramDir();
    // A folder whose name needs its quotes: blanks, "&" and Korean.
    folder_ = temp_.Path() + L"폴더 a&b" + kPathSeparator;
    fs::create_directories(FsPath(folder_));
    program_ = CopyWitness(folder_, L"witness.exe");
    ASSERT_FALSE(program_.empty());
    record_ = temp_.File(L"witness.txt");
    env_.reset(new CScopedEnv("KESTRUNE_WITNESS", record_));
  }
  void TearDown() override {
    env_.reset();
    SetCurrentDir(savedDir_);
    SetProgramDir(savedProgramDir_);
  }

  static std::wstring Line(const wchar_t* text) { return std::wstring(text) + L"\n"; }

  // The traces of a launch that got as far as the start.
  static std::vector<std::wstring> LaunchTraces(const std::wstring& line, const std::wstring& program,
                                                const std::wstring& arguments, const std::wstring& toRun,
                                                const std::wstring& folder, int ret, uint32_t id) {
    return {L"AppCreate-0-" + line + L"\n", L"AppCreate-2-" + program + L"\n" + arguments + L"\n",
            L"AppCreate-3-\n" + toRun + L"\n" + program + L"\n",
            L"AppCreate-5-" + toRun + L" \n" + folder + L" \n \n\n",
            L"AppCreate-6-CreateProcess, ret=" + std::to_wstring(ret) + L", id=" + std::to_wstring(id) +
                L"  <" + toRun + L">\n"};
  }

  TempDir temp_;
  std::wstring folder_;
  std::wstring program_;
  std::wstring record_;
  std::wstring savedDir_;
  std::wstring savedProgramDir_;
  std::unique_ptr<CScopedEnv> env_;
};

#ifdef _WIN32
const wchar_t* const kHidden = L"flags=1 window=0";
const wchar_t* const kShown = L"flags=1 window=5";
#else
const wchar_t* const kHidden = L"null";
const wchar_t* const kShown = L"stream";
#endif

TEST_F(AppCreateTest, QuotedFullPathRunsInItsFolderAndWaits) {
  for (bool show : {false, true}) {
    SCOPED_TRACE(show ? "shown" : "hidden");
    RemoveFile(record_);
    std::wstring line = L"\"" + program_ + L"\" one \"two words\" 3";
    TraceCapture trace;
    uint32_t id = AppCreate(line, show);
    ASSERT_NE(id, 0u);
    // The record is complete on return: the launch waited for the program's end.
    std::vector<WitnessRecord> records = ReadWitness(record_);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].pid, id);
    EXPECT_EQ(records[0].cwd, WithoutTrailingSeparator(folder_));
    EXPECT_EQ(records[0].args, (std::vector<std::wstring>{L"one", L"two words", L"3"}));
    EXPECT_EQ(records[0].show, show ? kShown : kHidden);
    EXPECT_EQ(GetCurrentDir(), savedDir_);
    EXPECT_EQ(trace.Lines(), LaunchTraces(line, program_, L"\" one \"two words\" 3", line,
                                          WithoutTrailingSeparator(folder_), 1, id));
  }
}

TEST_F(AppCreateTest, BareNameRunsFromTheProgramFolder) {
  SetProgramDir(folder_);
  SetCurrentDir(folder_);  // a bare name must exist in the current folder
  std::wstring line = L"witness.exe a \"b c\"";
  TraceCapture trace;
  uint32_t id = AppCreate(line, false);
  ASSERT_NE(id, 0u);
  std::wstring toRun = L"\"" + folder_ + L"witness.exe\"  a \"b c\"";
  EXPECT_EQ(trace.Lines(), LaunchTraces(line, L"witness.exe", L" a \"b c\"", toRun, L"", 1, id));
  std::vector<WitnessRecord> records = ReadWitness(record_);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].args, (std::vector<std::wstring>{L"a", L"b c"}));
  EXPECT_EQ(records[0].cwd, WithoutTrailingSeparator(folder_));
}

// Like CreateProcess on the command line to run: the existence check looks in the current
// folder, the start takes the program folder's copy.
TEST_F(AppCreateTest, BareNameFoundInTheCurrentFolderRunsFromTheProgramFolder) {
  std::wstring elsewhere = temp_.Path() + L"elsewhere" + kPathSeparator;
  fs::create_directories(FsPath(elsewhere));
  WriteFile(elsewhere + L"witness.exe", "only its name counts here");
  SetProgramDir(folder_);
  SetCurrentDir(elsewhere);
  EXPECT_NE(AppCreate(L"witness.exe here", false), 0u);
  std::vector<WitnessRecord> records = ReadWitness(record_);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].args, (std::vector<std::wstring>{L"here"}));
  EXPECT_EQ(records[0].cwd, WithoutTrailingSeparator(elsewhere));
}

TEST_F(AppCreateTest, BareNameIsLookedForInTheCurrentFolderOnly) {
  SetProgramDir(folder_);
  SetCurrentDir(temp_.Path());
  TraceCapture trace;
  EXPECT_EQ(AppCreate(L"witness.exe a", false), 0u);
  ASSERT_EQ(trace.Lines().size(), 4u);
  EXPECT_EQ(trace.Lines()[3], Line(L"AppCreate-4-파일이 없습니다."));
  EXPECT_TRUE(ReadWitness(record_).empty());
}

TEST_F(AppCreateTest, BatchFileRunsWithItsArguments) {
#ifdef _WIN32
  WriteFile(folder_ + L"run.bat", "@\"%~dp0witness.exe\" %*\r\n");
#else
  // Only the shell twin exists: it is what runs in place of run.bat.
  std::wstring script = folder_ + L"run.sh";
  WriteFile(script, "#!/bin/sh\nexec \"$(dirname \"$0\")/witness.exe\" \"$@\"\n");
  fs::permissions(FsPath(script), fs::perms::owner_all, fs::perm_options::add);
#endif
  std::wstring line = L"\"" + folder_ + L"run.bat\" x \"y z\" 0";
  EXPECT_NE(AppCreate(line, false), 0u);
  std::vector<WitnessRecord> records = ReadWitness(record_);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].args, (std::vector<std::wstring>{L"x", L"y z", L"0"}));
  EXPECT_EQ(records[0].cwd, WithoutTrailingSeparator(folder_));
}

TEST_F(AppCreateTest, RefusedLinesStartNothingAndKeepTheFolder) {
  fs::create_directories(FsPath(folder_ + L"tools.exe.d"));
  CopyWitness(folder_ + L"tools.exe.d", L"witness.exe");
  struct Refusal {
    std::wstring line;
    size_t traces;  // 1: no program named; 4: program file missing
  };
  const Refusal refusals[] = {
      {L"run.com x", 1},
      {L"\"" + folder_ + L"nothere.exe\" a", 4},
      {L"\"" + folder_ + L"tools.exe.d" + kPathSeparator + L"witness.exe\" a", 4},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(WideToUtf8(refusal.line));
    TraceCapture trace;
    EXPECT_EQ(AppCreate(refusal.line, false), 0u);
    std::vector<std::wstring> lines = trace.Lines();
    ASSERT_EQ(lines.size(), refusal.traces);
    EXPECT_EQ(lines[0], L"AppCreate-0-" + refusal.line + L"\n");
    if (refusal.traces == 4) {
      EXPECT_EQ(lines[3], Line(L"AppCreate-4-파일이 없습니다."));
    }
    EXPECT_EQ(GetCurrentDir(), savedDir_);
  }
  EXPECT_TRUE(ReadWitness(record_).empty());
}

TEST_F(AppCreateTest, FailedCreationIsTracedAndTheFolderRestored) {
  // A file that is no program at all (and on POSIX not even executable).
  std::wstring bad = WriteFile(folder_ + L"bad.exe", "not a program\n");
  std::wstring line = L"\"" + bad + L"\" a";
  TraceCapture trace;
  EXPECT_EQ(AppCreate(line, false), 0u);
  EXPECT_EQ(trace.Lines(), LaunchTraces(line, bad, L"\" a", line, WithoutTrailingSeparator(folder_), 0, 0));
  EXPECT_EQ(GetCurrentDir(), savedDir_);
}

}  // namespace
