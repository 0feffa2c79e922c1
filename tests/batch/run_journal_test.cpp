// What the next run does with the journals that runs left: each row a journal in its documented
// format, as a run leaves it (the real one, written by a run that is killed, is in cli_stop_test).
#include "batch/run_journal.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_identity.h"
#include "base/file_util.h"
#include "base/process_stamp.h"
#include "base/text.h"
#include "base/user_data_folder.h"
#include "exec/exec_test_support.h"
#include "support/temp_dir.h"

namespace {

TEST(RunJournal, OnlyTheOutputsOfRunsThatDiedAreMarkedAndOnlyWhileTheyAreTheirs) {
  TempDir state, dir;
  CScopedEnv stateHome("XDG_STATE_HOME", state.Path());  // natively; Wine's folder is the test's own
  const std::wstring journals = UserDataFolder(L"journal");
  ASSERT_FALSE(journals.empty());
  const uint32_t gone = 0x7FFFFFF0, self = CurrentProcessId();  // no process has the first id
  const struct {
    const char* what;
    uint32_t pid;
    bool alive;            // the journal gives this process's own stamp
    bool replaced;         // another file renamed over the output since
    const char* identity;  // nullptr: the output's own
    const wchar_t* name;
    const wchar_t* marked;  // what it is renamed to; nullptr: it stays
  } rows[] = {
      {"a run that is gone, NAME.partial taken", gone, false, false, nullptr, L"a.mp4", L"a.mp4.2.partial"},
      {"its id given to this process since", self, false, false, nullptr, L"b.ts", L"b.ts.partial"},
      {"a run alive", self, true, false, nullptr, L"c.mp4", nullptr},
      {"another file under the name since", gone, false, true, nullptr, L"d.mp4", nullptr},
      {"no identity known (a claim let go)", gone, false, false, "-", L"e.mp4", nullptr},
#ifndef _WIN32
      {"a name with %, CR and LF", gone, false, false, nullptr, L"100%\r\n.mp4", L"100%\r\n.mp4.partial"},
#endif
  };
  dir.Write(L"a.mp4.partial", "the user's own");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::wstring output = dir.Write(row.name, "half an encode");
    std::string path = WideToUtf8(output), escaped, identity = WideToUtf8(FileIdentity(output));
    for (char c : path)
      escaped += c == '%' ? "%25" : c == '\r' ? "%0D" : c == '\n' ? "%0A" : std::string(1, c);
    if (row.replaced) std::filesystem::rename(FsPath(dir.Write(L"other", "someone's")), FsPath(output));
    const std::wstring journal =
        WriteFile(journals + L"run-test.txt",
                  "kestrune journal 1\nprocess " + std::to_string(row.pid) + " " +
                      (row.alive ? WideToUtf8(ProcessStamp(self)) : "an-earlier-start") + "\noutput " +
                      (row.identity ? row.identity : identity) + " " + escaped + "\n");
    std::vector<std::wstring> marked;
    for (const CUnfinishedOutput& one : MarkUnfinishedOutputs())
      if (one.output == output) marked.push_back(one.renamedTo);
    EXPECT_EQ(marked,
              row.marked ? std::vector<std::wstring>{dir.File(row.marked)} : std::vector<std::wstring>());
    EXPECT_EQ(FileExists(output), row.marked == nullptr);
    EXPECT_EQ(FileExists(journal), row.alive) << "a live run's journal stays; the others go";
    RemoveFile(journal);
  }
  EXPECT_EQ(GetFileLength(dir.File(L"a.mp4.partial")), 14) << "never over a file";
}

}  // namespace
