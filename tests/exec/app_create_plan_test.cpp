// The launcher's reading of its command line: program path, argument text, the command that
// runs, the working folder and its drive, for Windows and POSIX separators alike.
#include "exec/app_create_plan.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace {

struct PlanCase {
  const wchar_t* name;
  const wchar_t* line;
  wchar_t separator;
  const wchar_t* programDir;
  const wchar_t* programPath;
  const wchar_t* argumentText;
  const wchar_t* argumentsOnly;
  const wchar_t* commandToRun;  // nullptr: the line unchanged
  const wchar_t* workingFolder;
  int drive;
};

const PlanCase kPlanCases[] = {
    {L"quoted full path", L"\"C:\\T\\exec.bat\" \"a\" \"b c\" \"d\" 0", L'\\', L"C:\\P\\", L"C:\\T\\exec.bat",
     L"\" \"a\" \"b c\" \"d\" 0", L" \"a\" \"b c\" \"d\" 0", nullptr, L"C:\\T", 3},
    {L"bare name runs from the program folder, two blanks", L"exec.bat \"a\" 0", L'\\', L"C:\\P\\",
     L"exec.bat", L" \"a\" 0", L" \"a\" 0", L"\"C:\\P\\exec.bat\"  \"a\" 0", L"", 0},
    {L".bat before a later .exe", L"C:\\T\\run.bat x C:\\U\\y.exe", L'\\', L"C:\\P\\", L"C:\\T\\run.bat",
     L" x C:\\U\\y.exe", L" x C:\\U\\y.exe", nullptr, L"C:\\T", 3},
    {L".exe before a later .bat", L"d:\\t\\y.exe a.bat", L'\\', L"C:\\P\\", L"d:\\t\\y.exe", L" a.bat",
     L" a.bat", nullptr, L"d:\\t", 4},
    {L"upper-case .EXE", L"C:\\T\\Y.EXE -v", L'\\', L"C:\\P\\", L"C:\\T\\Y.EXE", L" -v", L" -v", nullptr,
     L"C:\\T", 3},
    {L".exe inside a folder name ends the program there", L"C:\\tools.exe.d\\x.exe a", L'\\', L"C:\\P\\",
     L"C:\\tools.exe", L".d\\x.exe a", L".d\\x.exe a", nullptr, L"C:", 3},
    {L"program in the root of a drive", L"C:\\x.exe a", L'\\', L"C:\\P\\", L"C:\\x.exe", L" a", L" a",
     nullptr, L"C:", 3},
    {L"path beginning with the separator has no working folder", L"\\x.exe a", L'\\', L"C:\\P\\", L"\\x.exe",
     L" a", L" a", nullptr, L"", 0},
    {L"relative folder changes no drive", L"tools\\x.exe", L'\\', L"C:\\P\\", L"tools\\x.exe", L"", L"",
     nullptr, L"tools", 0},
    {L"network path changes no drive", L"\\\\server\\share\\x.exe a", L'\\', L"C:\\P\\",
     L"\\\\server\\share\\x.exe", L" a", L" a", nullptr, L"\\\\server\\share", 0},
    {L"unquoted path with a blank", L"D:\\a b\\p.exe q", L'\\', L"C:\\P\\", L"D:\\a b\\p.exe", L" q", L" q",
     nullptr, L"D:\\a b", 4},
    {L"quoted bare name keeps its quotes balanced", L"\"exec.bat\" a", L'\\', L"C:\\P\\", L"exec.bat",
     L"\" a", L" a", L"\"C:\\P\\exec.bat\"  a", L"", 0},
    {L"quoted program without arguments", L"\"C:\\P Q\\x.bat\"", L'\\', L"C:\\", L"C:\\P Q\\x.bat", L"\"",
     L"", nullptr, L"C:\\P Q", 3},
    {L"Korean folder", L"\"C:\\프로그램\\x.exe\" 가", L'\\', L"C:\\P\\", L"C:\\프로그램\\x.exe", L"\" 가",
     L" 가", nullptr, L"C:\\프로그램", 3},
    {L"POSIX probe line", L"\"/opt/k/exec.bat\" \"/usr/bin/mediainfo\" \"/m/a b.mp4\" \"/opt/k/media.txt\" 0",
     L'/', L"/opt/k/", L"/opt/k/exec.bat", L"\" \"/usr/bin/mediainfo\" \"/m/a b.mp4\" \"/opt/k/media.txt\" 0",
     L" \"/usr/bin/mediainfo\" \"/m/a b.mp4\" \"/opt/k/media.txt\" 0", nullptr, L"/opt/k", 0},
    {L"POSIX program in the root", L"/x.exe a", L'/', L"/opt/k/", L"/x.exe", L" a", L" a", nullptr, L"", 0},
    {L"POSIX bare name", L"exec.bat a", L'/', L"/opt/k/", L"exec.bat", L" a", L" a",
     L"\"/opt/k/exec.bat\"  a", L"", 0},
};

class AppCreatePlanTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(AppCreatePlanTest, ReadsTheCommandLine) {
  const PlanCase& c = GetParam();
  AppLaunchPlan plan;
  ASSERT_TRUE(PlanAppLaunch(c.line, c.programDir, c.separator, plan));
  EXPECT_EQ(plan.programPath, c.programPath);
  EXPECT_EQ(plan.argumentText, c.argumentText);
  EXPECT_EQ(plan.argumentsOnly, c.argumentsOnly);
  EXPECT_EQ(plan.commandToRun, c.commandToRun ? std::wstring(c.commandToRun) : std::wstring(c.line));
  // A bare name runs from the program folder, any other path as written.
  bool bare = plan.programPath.find(c.separator) == std::wstring::npos;
  EXPECT_EQ(plan.programToRun,
            bare ? std::wstring(c.programDir) + c.programPath : std::wstring(c.programPath));
  EXPECT_EQ(plan.workingFolder, c.workingFolder);
  EXPECT_EQ(plan.drive, c.drive);
}

INSTANTIATE_TEST_SUITE_P(Lines, AppCreatePlanTest, ::testing::ValuesIn(kPlanCases),
                         [](const ::testing::TestParamInfo<PlanCase>& info) {
                           return "case" + std::to_string(info.index);
                         });

TEST(AppCreatePlan, LineWithoutProgramIsRefusedAndPlanUntouched) {
  AppLaunchPlan plan;
  plan.programPath = L"kept";
  for (const wchar_t* line : {L"", L"run.com a", L"C:\\T\\exec.bas x", L"\"C:\\T\\x\" .ex e"}) {
    EXPECT_FALSE(PlanAppLaunch(line, L"C:\\P\\", L'\\', plan)) << WideToUtf8(line);
    EXPECT_EQ(plan.programPath, L"kept");
  }
}

TEST(AppCreatePlan, BatchFileRunsItsShellTwinOnPosixOnly) {
  EXPECT_EQ(RunnableProgramPath(L"/opt/k/exec.bat", true), L"/opt/k/exec.sh");
  EXPECT_EQ(RunnableProgramPath(L"/opt/k/RUN.BAT", true), L"/opt/k/RUN.sh");
  EXPECT_EQ(RunnableProgramPath(L"/opt/k/x.exe", true), L"/opt/k/x.exe");
  EXPECT_EQ(RunnableProgramPath(L"C:\\K\\exec.bat", false), L"C:\\K\\exec.bat");
}

}  // namespace
