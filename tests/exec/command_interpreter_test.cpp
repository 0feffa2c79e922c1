// The command interpreter, the same on every platform (under Wine through CreateProcessW and
// cmd.exe's own pause): "&" sequencing, statuses, the status of a line that ends in a pause,
// quoting, file names no shell may interpret, "copy /b", the stop of a running line; on Windows
// also the console of its own that the window runs each line in; on POSIX the tool names.
#include "exec/command_interpreter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "exec/app_create.h"
#include "exec/command_error_pipe.h"
#include "exec/command_line_split.h"
#include "exec/command_stop.h"
#include "exec/console_host.h"
#include "exec/hidden_program.h"
#include "exec_test_support.h"
#include "support/temp_dir.h"
#include "support/windows_processes.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

using Words = std::vector<std::wstring>;

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Commands name the witness by its bare name, found in the current folder: the test's own.
class CommandInterpreterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDir_ = GetCurrentDir();
    savedProgramDir_ = ProgramDir();
    record_ = temp_.File(L"witness.txt");
    env_.reset(new CScopedEnv("KESTRUNE_WITNESS", record_));
    ASSERT_TRUE(SetCurrentDir(GetProgramDir()));
  }
  void TearDown() override {
    env_.reset();
    SetCurrentDir(savedDir_);
    SetProgramDir(savedProgramDir_);
  }

  std::vector<Words> Arguments() const {
    std::vector<Words> all;
    for (const WitnessRecord& record : ReadWitness(record_)) all.push_back(record.args);
    return all;
  }

  TempDir temp_;
  std::wstring record_;
  std::wstring savedDir_;
  std::wstring savedProgramDir_;
  std::unique_ptr<CScopedEnv> env_;
};

TEST_F(CommandInterpreterTest, AmpersandRunsCommandsInOrderAndReturnsTheLastStatus) {
  EXPECT_EQ(RunCommandLine(L"exec_witness first & exec_witness --exit=4 second"), 4);
  EXPECT_EQ(Arguments(), (std::vector<Words>{{L"first"}, {L"--exit=4", L"second"}}));
}

TEST_F(CommandInterpreterTest, QuotedArgumentsArriveWhole) {
  EXPECT_EQ(RunCommandLine(L"exec_witness \"a b\" e \"\" \"x&y\" \"C:\\v\\한글 (1).mp4\""), 0);
  EXPECT_EQ(Arguments(), (std::vector<Words>{{L"a b", L"e", L"", L"x&y", L"C:\\v\\한글 (1).mp4"}}));
}

TEST_F(CommandInterpreterTest, CopyJoinsFilesByteForByte) {
  std::string first;
  for (int i = 0; i < 256; ++i) first += static_cast<char>(i);  // CR, LF and Ctrl-Z included
  std::string second = "\x1a\r\nsecond part\x00!";
  temp_.Write(L"part.001", first);
  temp_.Write(L"part.002", second);
  ASSERT_TRUE(SetCurrentDir(temp_.Path()));
  EXPECT_EQ(RunCommandLine(L"copy /b part.001 + part.002  joined.zip"), 0);
  EXPECT_EQ(ReadBytes(temp_.File(L"joined.zip")), first + second);
}

TEST_F(CommandInterpreterTest, UnknownProgramGivesTheInterpreterStatus) {
  EXPECT_EQ(RunCommandLine(L"kestrune_no_such_program_here"), 9009);
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + EscapeForQuotes(text) + L"\""; }

// Names that a shell would expand, split, redirect or run: each must reach the program as
// exactly one argument, and nothing else may run.
const wchar_t* const kHostileNames[] = {
    L"a b.mp4",
    L"a&b.mp4",
    L"a && b",
    L"100%.mp4",
    L"%PATH%",
    L"a^b.mp4",
    L"wow!.mp4",
    L"it's.mp4",
    L"say \"hi\".mp4",
    L"$HOME.mp4",
    L"$(touch pwned)",
    L"`touch pwned`",
    L"a;touch pwned",
    L"a|touch pwned",
    L"a<b>c.mp4",
    L"(1).mp4",
    L"> pwned",
    L"한글 파일.mp4",
    L"\U0001F3AC 영화.mkv",
    L"-rf",
    L"--exit=7",
    L"trail\\",
    L"x\" & touch pwned & \"y",
    L"*",
};

// "&&" runs the next command only after a success.
TEST_F(CommandInterpreterTest, DoubleAmpersandStopsAfterAFailure) {
  EXPECT_EQ(RunCommandLine(L"exec_witness --exit=3 && exec_witness never"), 3);
  EXPECT_EQ(RunCommandLine(L"exec_witness --exit=0 && exec_witness after"), 0);
  EXPECT_EQ(Arguments(), (std::vector<Words>{{L"--exit=3"}, {L"--exit=0"}, {L"after"}}));
}

// Unlike cmd.exe, which counts every quote, an escaped quote never ends the quoted text, so
// the "&" after it stays inside the argument.
TEST_F(CommandInterpreterTest, EscapedQuoteKeepsTheAmpersandQuoted) {
  EXPECT_EQ(RunCommandLine(L"exec_witness \"c\\\"d & e\" f"), 0);
  EXPECT_EQ(Arguments(), (std::vector<Words>{{L"c\"d & e", L"f"}}));
}

TEST_F(CommandInterpreterTest, HostileNamesReachTheProgramAsOneArgument) {
  ASSERT_TRUE(SetCurrentDir(temp_.Path()));
  CopyWitness(temp_.Path(), kWitnessName);
  std::vector<Words> expected;
  for (const wchar_t* name : kHostileNames) {
    EXPECT_EQ(RunCommandLine(L"exec_witness " + Quoted(name) + L" & exec_witness end"), 0)
        << WideToUtf8(name);
    expected.push_back({name});
    expected.push_back({L"end"});
  }
  EXPECT_EQ(Arguments(), expected);
  EXPECT_FALSE(FileExists(temp_.File(L"pwned")));
  EXPECT_FALSE(FileExists(GetProgramDir() + L"pwned"));
}

TEST_F(CommandInterpreterTest, CopyRefusesWhatWouldLoseData) {
  ASSERT_TRUE(SetCurrentDir(temp_.Path()));
  temp_.Write(L"a", "AAA");
  temp_.Write(L"c", "old");
  EXPECT_EQ(RunCommandLine(L"copy /b a + missing  c"), 1);  // a source is missing
  EXPECT_EQ(RunCommandLine(L"copy /b a + c  c"), 1);        // the destination is a source
  EXPECT_EQ(RunCommandLine(L"copy /b a + c"), 1);           // no destination
  EXPECT_EQ(ReadBytes(temp_.File(L"c")), "old");
  EXPECT_EQ(ReadBytes(temp_.File(L"a")), "AAA");
  EXPECT_EQ(RunCommandLine(L"copy /B a c"), 0);
  EXPECT_EQ(ReadBytes(temp_.File(L"c")), "AAA");
}

// A pause without anyone at the keyboard goes on at once, and the line reports the status of
// the command before the pause: a failed program never counts as done because a pause ended
// its line.
TEST_F(CommandInterpreterTest, PauseKeepsTheStatusOfTheCommandBeforeIt) {
  CNullInput noKeyboard;
  EXPECT_EQ(RunCommandLine(L"exec_witness before & pause & exec_witness after"), 0);
  EXPECT_EQ(RunCommandLine(L"exec_witness --exit=3 & pause"), 3);
  EXPECT_EQ(RunCommandLine(L"exec_witness --exit=0 & pause"), 0);
  EXPECT_EQ(Arguments(), (std::vector<Words>{{L"before"}, {L"after"}, {L"--exit=3"}, {L"--exit=0"}}));
}

// A stop ends the program that runs and starts no further command; a line stopped before it
// began starts nothing.
TEST_F(CommandInterpreterTest, StopEndsTheRunningProgramAndStartsNoOther) {
  CCommandStop stop;
  std::thread stopper([&] {
    while (ReadWitness(record_).empty()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop.Stop();
  });
  EXPECT_EQ(RunCommandLine(L"exec_witness --sleep=60 & exec_witness after", &stop), kStoppedStatus);
  stopper.join();
  EXPECT_EQ(Arguments(), (std::vector<Words>{{L"--sleep=60"}}));
  EXPECT_EQ(RunCommandLine(L"exec_witness again", &stop), kStoppedStatus);
  EXPECT_EQ(Arguments().size(), 1u);
}

// A program never reads the caller's input (a list piped into a loop of runs, the keys typed at
// its terminal), whichever way it is started. The console of its own that hosts a line of the
// window is the exception: there the user may press keys for the program, as for the pause.
TEST_F(CommandInterpreterTest, ProgramsReadTheNullDeviceNotTheCallersInput) {
  CInputFrom list(temp_.Write(L"list.txt", "a.mp4\nb.mp4\n"));
  EXPECT_EQ(RunCommandLine(L"exec_witness one"), 0);
  std::vector<std::wstring> expected = {L"null"};
#ifdef _WIN32
  SetProgramDir(GetProgramDir());
  EXPECT_EQ(RunInOwnConsole(L"exec_witness two", nullptr), 0);
  expected.push_back(L"file");
#endif
  std::vector<std::wstring> inputs;
  for (const WitnessRecord& record : ReadWitness(record_)) inputs.push_back(record.input);
  EXPECT_EQ(inputs, expected);
}

#ifdef _WIN32
// The window runs each line in a console of kestrune-cli.exe: the line reaches it whole, its
// status is that of the command before the pause, and a stop ends it.
TEST_F(CommandInterpreterTest, ConsoleOfItsOwnRunsTheLineAndKeepsItsStatus) {
  SetProgramDir(GetProgramDir());
  ASSERT_TRUE(FileExists(ConsoleHostProgram()));
  CNullInput noKeyboard;
  EXPECT_EQ(
      RunInOwnConsole(L"exec_witness \"100% %PATH% a&b ^!x!\" & exec_witness --exit=3 & pause", nullptr), 3);
  EXPECT_EQ(Arguments(), (std::vector<Words>{{L"100% %PATH% a&b ^!x!"}, {L"--exit=3"}}));

  CCommandStop stop;
  std::thread stopper([&] {
    while (Arguments().size() < 3) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop.Stop();
  });
  EXPECT_EQ(RunInOwnConsole(L"exec_witness --sleep=60 & exec_witness after & pause", &stop), kStoppedStatus);
  stopper.join();
  EXPECT_EQ(Arguments().size(), 3u);
}

// A Ctrl-C typed in that console reaches the program running there, which ends by it (the host
// hands it no ignored Ctrl-C); the host itself lives on to the pause and reports the line as
// stopped. A console the user closes ends the line and its program at once, stopped as well.
// Either way the window counts the file as failed and removes what it had written.
TEST_F(CommandInterpreterTest, CtrlCOrClosingItsConsoleStopsTheLine) {
  SetProgramDir(GetProgramDir());
  CNullInput noKeyboard;
  EXPECT_EQ(RunInOwnConsole(L"exec_witness --interrupt-console & pause", nullptr), kStoppedStatus);
  EXPECT_EQ(Arguments(), (std::vector<Words>{{L"--interrupt-console"}}));

  std::thread closer([&] {
    while (Arguments().size() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    for (unsigned long host : ChildProcessIds(GetCurrentProcessId(), L"kestrune-cli.exe"))
      DeliverConsoleEvent(host, CTRL_CLOSE_EVENT);
  });
  EXPECT_EQ(RunInOwnConsole(L"exec_witness --sleep=30 & exec_witness after & pause", nullptr),
            kStoppedStatus);
  closer.join();
  std::vector<WitnessRecord> records = ReadWitness(record_);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(WaitForProcessEnd(records[1].pid, 10000));
}
#endif

#ifndef _WIN32

// The tool names resolve in the program folder (ProgramDir, then GetProgramDir), then in
// KESTRUNE_TOOL_PATH (standing in for PATH), case-insensitively and with or without ".exe".
TEST_F(CommandInterpreterTest, ToolNamesResolveInTheProgramFolderThenOnThePath) {
  TempDir programDir, executableDir, pathDir, emptyDir;
  std::wstring inProgramDir = CopyWitness(programDir.Path(), L"ffmpeg");
  std::wstring inExecutableDir = CopyWitness(executableDir.Path(), L"mediainfo");
  std::wstring onPath = CopyWitness(pathDir.Path(), L"ffmpeg");
  CopyWitness(pathDir.Path(), L"mediainfo");
  CScopedEnv toolPath("KESTRUNE_TOOL_PATH", WithoutTrailingSeparator(pathDir.Path()));
  CScopedEnv executable("KESTRUNE_PROGRAM_DIR", executableDir.Path());

  struct Resolution {
    std::wstring programDir;
    const wchar_t* name;
    std::wstring expected;
  };
  const Resolution cases[] = {
      {programDir.Path(), L"FFMpeg.exe", inProgramDir}, {programDir.Path(), L"ffmpeg", inProgramDir},
      {programDir.Path(), L"ffmpeg.exe", inProgramDir}, {emptyDir.Path(), L"ffmpeg", onPath},
      {emptyDir.Path(), L"mediainfo", inExecutableDir}, {emptyDir.Path(), L"MediaInfo.exe", inExecutableDir},
  };
  for (const Resolution& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.name));
    RemoveFile(record_);
    SetProgramDir(c.programDir);
    EXPECT_EQ(RunCommandLine(std::wstring(c.name) + L" -i \"in put.mp4\""), 0);
    std::vector<WitnessRecord> records = ReadWitness(record_);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].self, c.expected);
    EXPECT_EQ(records[0].args, (Words{L"-i", L"in put.mp4"}));
  }

  CScopedEnv nowhere("KESTRUNE_TOOL_PATH", L"");
  CScopedEnv noExecutableDir("KESTRUNE_PROGRAM_DIR", emptyDir.Path());
  SetProgramDir(emptyDir.Path());
  EXPECT_EQ(RunCommandLine(L"ffmpeg -version"), 9009);
}

// "unzip" is the system's: a file of that name in the current folder is not run.
// A line's own pipe for its errors: the programs of that line write into it, and so do the
// interpreter's messages about it; a line started beside it never holds its write end, so the
// reader sees the end as soon as its own line is over.
TEST_F(CommandInterpreterTest, ALineWritesItsErrorsIntoItsOwnPipe) {
  auto readAll = [](CCommandErrorPipe& pipe) {
    std::string all, chunk;
    while (pipe.Read(chunk)) all += chunk;
    return all;
  };
  struct Case {
    std::wstring line;
    int status;
    std::string said;
  };
  const Case cases[] = {
      {L"ffmpeg -hide_banner -no-such-option", 1, "no-such-option"},
      {L"kestrune_no_such_program_here", kNotFoundStatus,
       "'kestrune_no_such_program_here' is not recognized"},
      {L"copy /b a + missing  c", 1, "cannot find the file a"},
      {L"exec_witness --exit=3 one", 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.line));
    CCommandErrorPipe pipe;
    ASSERT_TRUE(pipe.IsOpen());
    // A long line runs beside this one all the while, started after the pipe was made.
    CCommandStop otherStop;
    std::thread other([&otherStop] { RunCommandLine(L"exec_witness --sleep=30 other", &otherStop); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(RunCommandLine(c.line, nullptr, &pipe), c.status);
    pipe.CloseWriteEnd();
    auto begun = std::chrono::steady_clock::now();
    std::string said = readAll(pipe);
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(5));
    otherStop.Stop();
    other.join();
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
    if (c.said.empty()) {
      EXPECT_TRUE(said.empty()) << said;
    }
  }
}

TEST_F(CommandInterpreterTest, UnzipResolvesOnThePathOnly) {
  ASSERT_TRUE(SetCurrentDir(temp_.Path()));
  CopyWitness(temp_.Path(), L"unzip");
  temp_.Write(L"payload.txt", "inside the archive\n");
  ASSERT_EQ(RunCommandLine(L"zip -q archive.zip payload.txt"), 0);
  ASSERT_TRUE(RemoveFile(temp_.File(L"payload.txt")));
  EXPECT_EQ(RunCommandLine(L"unzip -qq archive.zip"), 0);
  EXPECT_EQ(ReadBytes(temp_.File(L"payload.txt")), "inside the archive\n");
  EXPECT_TRUE(ReadWitness(record_).empty());
}

#endif

// Every program started inherits its standard handles and nothing else of this process: not a
// file this process holds open and inheritable (a library's, or a report file that a probe
// beside this one has open for its own program for a moment). The witness reads what it finds
// behind that handle's value, before it opens anything itself.
TEST_F(CommandInterpreterTest, EveryProgramInheritsOnlyItsStandardHandles) {
  const std::wstring file = temp_.Write(L"report.txt", "another program's report");
#ifdef _WIN32
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE open = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0, nullptr);
  const long long value = reinterpret_cast<intptr_t>(open);
#else
  // Without close-on-exec, and above any descriptor the witness opens itself.
  const int value = 200;
  const int opened = ::open(PathToNative(file).c_str(), O_RDONLY);
  ASSERT_EQ(dup2(opened, value), value);
  close(opened);
#endif
  const std::wstring peek = L"--peek=" + std::to_wstring(value);
  const std::wstring launched = CopyWitness(temp_.Path(), L"witness.exe");
  CNullInput noKeyboard;
  const std::function<void()> starts[] = {
      [&] { RunHiddenProgram(WitnessProgram(), {peek}); },
      [&] { RunCommandLine(L"exec_witness " + peek); },
      [&] { AppCreate(L"\"" + launched + L"\" " + peek, false); },
#ifdef _WIN32
      [&] { RunInOwnConsole(L"exec_witness " + peek, nullptr); },
#endif
  };
  for (const auto& start : starts) {
    RemoveFile(record_);
    start();
    const std::vector<WitnessRecord> records = ReadWitness(record_);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].peek, L"none") << "the hidden program, a command line, the launcher, a console";
  }
#ifdef _WIN32
  CloseHandle(open);
#else
  close(value);
#endif
}

}  // namespace
