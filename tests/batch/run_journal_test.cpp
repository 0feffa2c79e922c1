// The journal a run keeps of its unchecked outputs, and what the next run does with the journals
// of runs that died: each row a journal as such a run leaves it, in its documented format.
#include "batch/run_journal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/file_identity.h"
#include "base/file_util.h"
#include "base/process_stamp.h"
#include "base/text.h"
#include "base/user_data_folder.h"
#include "exec/exec_test_support.h"
#include "support/temp_dir.h"

namespace {

// No process has this id: Linux gives at most 2^22, Windows far fewer.
constexpr uint32_t kGonePid = 0x7FFFFFF0;

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A path as the journal writes it: "%", CR and LF escaped.
std::string Escaped(const std::wstring& path) {
  std::string out;
  for (char c : WideToUtf8(path))
    out += c == '%' ? "%25" : c == '\r' ? "%0D" : c == '\n' ? "%0A" : std::string(1, c);
  return out;
}

// The journals of this test live in a state folder of its own (natively; under Wine the test
// prefix's application data is the test's already).
class RunJournalTest : public ::testing::Test {
 protected:
  RunJournalTest() : state_("XDG_STATE_HOME", stateDir_.Path()) {}
  void SetUp() override {
    folder_ = UserDataFolder(L"journal");
    ASSERT_FALSE(folder_.empty());
  }
  std::wstring Journal(const std::wstring& name, uint32_t pid, const std::wstring& stamp,
                       const std::vector<std::pair<std::string, std::wstring>>& outputs) {
    std::string text = "kestrune journal 1\nprocess " + std::to_string(pid) + " " + WideToUtf8(stamp) + "\n";
    for (const auto& output : outputs) text += "output " + output.first + " " + Escaped(output.second) + "\n";
    return WriteFile(folder_ + name, text);
  }
  // The outputs marked that lie in this test's folder (other runs may have left journals too).
  std::vector<CUnfinishedOutput> MarkOwn() {
    std::vector<CUnfinishedOutput> own;
    for (const CUnfinishedOutput& output : MarkUnfinishedOutputs())
      if (output.output.compare(0, dir_.Path().size(), dir_.Path()) == 0) own.push_back(output);
    return own;
  }

  TempDir stateDir_;
  CScopedEnv state_;
  TempDir dir_;
  std::wstring folder_;
};

TEST_F(RunJournalTest, OnlyTheOutputsOfRunsThatDiedAreMarkedAndOnlyWhileTheyAreTheirs) {
  enum Run { RUN_GONE, RUN_ALIVE, RUN_ID_GIVEN_AGAIN };
  enum Since { SINCE_NOTHING, SINCE_REPLACED, SINCE_REMOVED, SINCE_IDENTITY_UNKNOWN };
  const struct {
    const char* what;
    Run run;
    Since since;
    const wchar_t* name;
    bool partialTaken;            // NAME.partial is there already
    const wchar_t* expectedName;  // what the output is renamed to; nullptr: it stays
  } rows[] = {
      {"a run that is gone", RUN_GONE, SINCE_NOTHING, L"a_(02).mp4", false, L"a_(02).mp4.partial"},
      {"NAME.partial is taken: the next free name", RUN_GONE, SINCE_NOTHING, L"b_(02).mp4", true,
       L"b_(02).mp4.2.partial"},
      {"the id given to a process since", RUN_ID_GIVEN_AGAIN, SINCE_NOTHING, L"c.ts", false, L"c.ts.partial"},
      {"a run alive", RUN_ALIVE, SINCE_NOTHING, L"d_(02).mp4", false, nullptr},
      {"another file under the name since", RUN_GONE, SINCE_REPLACED, L"e_(02).mp4", false, nullptr},
      {"the output removed since", RUN_GONE, SINCE_REMOVED, L"f_(02).mp4", false, nullptr},
      {"no identity known (a claim let go)", RUN_GONE, SINCE_IDENTITY_UNKNOWN, L"g_(02).mp4", false, nullptr},
      {"a name with % and blanks", RUN_GONE, SINCE_NOTHING, L"100% a b_(02).mp4", false,
       L"100% a b_(02).mp4.partial"},
#ifndef _WIN32
      {"a name with a line break", RUN_GONE, SINCE_NOTHING, L"h\nx\r_(02).mp4", false,
       L"h\nx\r_(02).mp4.partial"},
#endif
  };
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::wstring output = dir_.Write(row.name, "half an encode");
    std::string identity = WideToUtf8(FileIdentity(output));
    ASSERT_FALSE(identity.empty());
    if (row.partialTaken) dir_.Write(std::wstring(row.name) + L".partial", "the user's own");
    if (row.since == SINCE_REPLACED) {
      const std::wstring other = dir_.Write(L"other", "someone else's");
      std::filesystem::rename(FsPath(other), FsPath(output));
    }
    if (row.since == SINCE_REMOVED) RemoveFile(output);
    if (row.since == SINCE_IDENTITY_UNKNOWN) identity = "-";
    const uint32_t pid = row.run == RUN_GONE ? kGonePid : CurrentProcessId();
    const std::wstring stamp = row.run == RUN_ALIVE ? ProcessStamp(pid) : L"an-earlier-start";
    const std::wstring journal =
        Journal(L"run-" + std::to_wstring(pid) + L"-t" + std::to_wstring(n++) + L".txt", pid, stamp,
                {{identity, output}});

    const std::vector<CUnfinishedOutput> marked = MarkOwn();
    if (row.expectedName == nullptr) {
      EXPECT_TRUE(marked.empty());
      EXPECT_EQ(FileExists(output), row.since != SINCE_REMOVED);
    } else {
      ASSERT_EQ(marked.size(), 1u);
      EXPECT_EQ(marked[0].output, output);
      EXPECT_EQ(marked[0].renamedTo, dir_.File(row.expectedName));
      EXPECT_FALSE(FileExists(output));
      EXPECT_EQ(ReadBytes(dir_.File(row.expectedName)), "half an encode");
    }
    if (row.partialTaken) {
      EXPECT_EQ(ReadBytes(output + L".partial"), "the user's own");
    }
    // A live run's journal stays; the others have been read and go.
    EXPECT_EQ(FileExists(journal), row.run == RUN_ALIVE);
    RemoveFile(journal);
  }
}

// The journal of a run as it goes: written as the run starts, with each output from its claim
// until it is checked, in the documented format; a live run's journal is never marked; it goes
// with the run.
TEST_F(RunJournalTest, ARunWritesItsUncheckedOutputsAndTakesTheJournalAlong) {
#ifdef _WIN32
  const std::wstring output = dir_.Write(L"50% done_(02).mp4", "claimed");
#else
  const std::wstring output = dir_.Write(L"50% done\n_(02).mp4", "claimed");
#endif
  const std::wstring identity = FileIdentity(output);
  ASSERT_FALSE(identity.empty());
  const std::string head = "kestrune journal 1\nprocess " + std::to_string(CurrentProcessId()) + " " +
                           WideToUtf8(ProcessStamp(CurrentProcessId())) + "\n";
  auto journals = [this] {
    std::vector<std::wstring> found;
    for (const auto& entry : std::filesystem::directory_iterator(FsPath(folder_)))
      found.push_back(folder_ + Utf8ToWide(entry.path().filename().string()));
    return found;
  };
  const std::vector<std::wstring> before = journals();
  std::wstring file;
  {
    CRunJournal journal;
    std::vector<std::wstring> made;
    for (const std::wstring& one : journals())
      if (std::find(before.begin(), before.end(), one) == before.end()) made.push_back(one);
    ASSERT_EQ(made.size(), 1u);
    file = made[0];
    EXPECT_EQ(ReadBytes(file), head);
    journal.Add(output, identity);
    EXPECT_EQ(ReadBytes(file), head + "output " + WideToUtf8(identity) + " " + Escaped(output) + "\n");
    EXPECT_TRUE(MarkOwn().empty());
    EXPECT_TRUE(FileExists(output));
    journal.Remove(output);
    EXPECT_EQ(ReadBytes(file), head);
  }
  EXPECT_FALSE(FileExists(file));
}

}  // namespace
