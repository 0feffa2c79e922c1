// File names are hostile input. Every name in the table below carries a canary command; each
// name goes through the whole product: the probe alone, and every job kind built by the command
// builder, run by the batch worker through the command interpreter (under Wine: in a console of
// kestrune-cli.exe as the window runs it, with cmd.exe's pause, exec.bat or a direct start of
// MediaInfo, and the Wine bridge), with the real ffmpeg and MediaInfo. Afterwards no canary
// exists anywhere, the inputs are unchanged byte for byte, and either exactly the expected
// outputs appeared and ffmpeg reads them, or the run was refused with a message and nothing ran.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "batch/batch_worker.h"
#include "batch/file_command.h"
#include "batch/start_check.h"
#include "exec/command_interpreter.h"
#include "exec/console_host.h"
#include "exec_test_support.h"
#include "jobs/command_builder.h"
#include "probe/probe_runner.h"
#include "support/media_fixtures.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"

namespace fs = std::filesystem;

namespace {

// If any part of a name ever ran as a command, the canary would leave its trace: the witness
// program (found in the program folder, the current folder of a run) writes its record, and the
// platform's own command makes CANARY in the current folder.
#ifdef _WIN32
const wchar_t kCanary[] = L"& exec_witness canary & mkdir CANARY &";
#else
const wchar_t kCanary[] = L"& exec_witness canary & touch CANARY &";
#endif

struct HostileName {
  const char* what;
  std::wstring stem;                 // "{c}" stands for the canary command
  std::wstring extension = L".mp4";  // the video file's; the audio file gets ".mp3" in its place
};

std::wstring WithCanary(std::wstring text) {
  const std::wstring mark = L"{c}";
  for (size_t at = text.find(mark); at != std::wstring::npos; at = text.find(mark))
    text.replace(at, mark.size(), kCanary);
  return text;
}

std::vector<HostileName> HostileNames() {
  std::vector<HostileName> names = {
      {"ampersand", L"amp {c} end"},
      {"double ampersand", L"dbl &{c}& end"},
      {"semicolon", L"semi ; touch CANARY ; {c}"},
      {"command substitution", L"dollar $(touch CANARY) {c}"},
      {"backticks", L"tick `touch CANARY` {c}"},
      {"a variable", L"%PATH% {c}"},
      {"the command line variable", L"%CMDCMDLINE% {c}"},
      {"a lone percent", L"100% done {c}"},
      {"a variable inside a word", L"50%OS% {c}"},
      {"caret", L"caret ^{c}^"},
      {"exclamation marks", L"bang !PATH! {c}"},
      {"apostrophe", L"it's {c}"},
      {"parentheses", L"(paren) {c} (2019)"},
      {"leading dash", L"-dash {c}"},
      {"leading blank", L" lead {c}"},
      {"Korean", L"한국어 {c} 영상"},
      {"emoji", L"\U0001F3AC {c} \U0001F39E"},
  };
#ifndef _WIN32
  const std::vector<HostileName> posixOnly = {
      {"bar", L"bar | touch CANARY | {c}"},
      {"double quote", L"dq \" {c} \" x"},
      {"trailing backslash", L"tb {c} b", L".mp4\\"},
      {"doubled backslashes", L"a \\\\ {c} b", L".mp4\\\\"},
      {"escaped quote", L"bq \\\" {c} \\\" b"},
      {"tab", L"tab\t{c}\tend"},
      {"newline", L"nl\n{c}\nend"},
      {"redirections and wildcards", L"lt < gt > star * q ? {c}"},
      {"trailing blank", L"trail {c}", L".mp4 "},
  };
  names.insert(names.end(), posixOnly.begin(), posixOnly.end());
#endif
  for (HostileName& name : names) name.stem = WithCanary(name.stem);
  return names;
}

enum class Operation { PROBE, CONVERT, VIDEO, AUDIO, MERGE, MERGE_AV };

const char* NameOf(Operation operation) {
  switch (operation) {
    case Operation::PROBE:
      return "probe";
    case Operation::CONVERT:
      return "convert";
    case Operation::VIDEO:
      return "video";
    case Operation::AUDIO:
      return "audio";
    case Operation::MERGE:
      return "merge";
    case Operation::MERGE_AV:
      return "merge-av";
  }
  return "?";
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::wstring> FilesIn(const std::wstring& folder) {
  std::set<std::wstring> names;
  std::error_code code;
  for (const fs::directory_entry& entry : fs::directory_iterator(FsPath(folder), code)) {
#ifdef _WIN32
    names.insert(entry.path().filename().wstring());
#else
    names.insert(Utf8ToWide(entry.path().filename().string()));
#endif
  }
  return names;
}

bool HasCanary(const std::wstring& folder) { return FileExists(folder + L"CANARY"); }

// Runs each command the way the program does: in a console of its own under Windows (the
// window's way), through the interpreter in this process elsewhere (the command line's way).
class CRealRunHost : public CBatchHost {
 public:
  explicit CRealRunHost(CPreviewedCommand preview) : preview_(std::move(preview)) {}
  void ShowStatus(const std::wstring&) override {}
  int RunCommand(const CBatchCommand& command, CCommandStop* stop) override {
    ++commands;
#ifdef _WIN32
    return RunInOwnConsole(command.text, stop);
#else
    return RunCommandLine(command.text, stop);
#endif
  }
  CPreviewedCommand PreviewedCommand() override { return preview_; }
  void ReportEnd(const CBatchReport& endReport) override { report = endReport; }

  int commands = 0;
  CBatchReport report;

 private:
  CPreviewedCommand preview_;
};

class HostileNameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SetProgramDir(GetProgramDir());
    if (FindMissingTool() != MISSING_NONE) return;
    clip_ = new std::string;
    sound_ = new std::string;
    TempDir dir;
    if (MakeSample(::Sample::H264_AAC_MP4, dir.File(L"clip.mp4"), 1))
      *clip_ = ReadBytes(dir.File(L"clip.mp4"));
    if (MakeSample(::Sample::MP3_ONLY, dir.File(L"sound.mp3"), 1))
      *sound_ = ReadBytes(dir.File(L"sound.mp3"));
  }
  static void TearDownTestSuite() {
    delete clip_;
    delete sound_;
    clip_ = sound_ = nullptr;
  }
  void SetUp() override {
    if (clip_ == nullptr || clip_->empty() || sound_->empty())
      GTEST_SKIP() << "ffmpeg or MediaInfo is missing";
    startDir_ = GetCurrentDir();
    if (!startDir_.empty() && startDir_.back() != kPathSeparator) startDir_ += kPathSeparator;
    witnessRecord_ = witnessDir_.File(L"canary.txt");
    witness_.reset(new CScopedEnv("KESTRUNE_WITNESS", witnessRecord_));
  }
  void TearDown() override { SetCurrentDir(startDir_); }

  // What happened to one name under one operation.
  enum class Outcome { WORKED, REFUSED, UNSAFE_OR_BROKEN };

  Outcome Check(const HostileName& name, Operation operation);

  static std::string* clip_;
  static std::string* sound_;
  std::wstring startDir_;
  TempDir witnessDir_;
  std::wstring witnessRecord_;
  std::unique_ptr<CScopedEnv> witness_;
};

std::string* HostileNameTest::clip_ = nullptr;
std::string* HostileNameTest::sound_ = nullptr;

std::wstring AudioName(const HostileName& name) {
  std::wstring extension = name.extension;
  size_t mp4 = extension.find(L"mp4");
  if (mp4 != std::wstring::npos) extension.replace(mp4, 3, L"mp3");
  return name.stem + extension;
}

HostileNameTest::Outcome HostileNameTest::Check(const HostileName& name, Operation operation) {
  TempDir work;
  const std::wstring video = work.Write(name.stem + name.extension, *clip_);
  const std::wstring audio = work.Write(AudioName(name), *sound_);
  const std::wstring plain = work.Write(L"plain.mp4", *clip_);
  const std::set<std::wstring> before = FilesIn(work.Path());
  const std::wstring programDir = ProgramDir();
  EXPECT_FALSE(HasCanary(programDir)) << "a canary was left by an earlier case";

  bool refused = false;
  bool worked = false;
  std::set<std::wstring> expected;  // the new files a run must leave, and nothing else
  MessageCapture messages;
  if (operation == Operation::PROBE) {
    MediaDesc media;
    worked = ProbeMediaFile(video, media) && media.video.width == 320 && media.audioCount == 1 &&
             std::wstring(media.filePath) == video;
  } else {
    JobSettings settings;
    settings.useGpu = false;
    settings.outputCodec = OUT_H264;
    switch (operation) {
      case Operation::CONVERT:
        settings.jobKind = JOB_CONVERT;
        settings.files = {video};
        expected = {name.stem + L"_(02).mp4"};
        break;
      case Operation::VIDEO:
        settings.jobKind = JOB_VIDEO_EXTRACT;
        settings.files = {video};
        expected = {name.stem + L"_(02).mp4"};
        break;
      case Operation::AUDIO:
        settings.jobKind = JOB_AUDIO_EXTRACT;
        settings.files = {video};
        expected = {name.stem + L"_(02).AAC"};
        break;
      case Operation::MERGE:
        settings.jobKind = JOB_MERGE_FILES;
        settings.files = {video, plain};
        expected = {name.stem + L".ts", L"plain.ts", name.stem + L"_ALL" + name.extension};
        break;
      default:
        settings.jobKind = JOB_MERGE_VIDEO_AUDIO;
        settings.files = {video, audio};
        expected = {name.stem + L"_(02).mp4"};
        break;
    }
    settings.currentFile = settings.files[0];
    // The merge of video and audio runs the command its preview built, as the window does.
    CPreviewedCommand preview{std::wstring(), settings.jobKind, settings.files, std::wstring()};
    CRefusal refusal;
    if (settings.jobKind == JOB_MERGE_VIDEO_AUDIO) {
      CBuiltCommand built =
          ProbeAndBuild(settings, settings.currentFile, ProbeMediaFile, COutputReservations(), true);
      preview.command = built.text;
      refusal = built.refusal;
    }
    auto host = std::make_shared<CRealRunHost>(preview);
    CNullInput noKeyboard;
    CBatchWorker worker;
    BatchStart started = BATCH_REFUSED;
    if (settings.jobKind != JOB_MERGE_VIDEO_AUDIO || !preview.command.empty())
      started = worker.Start(settings, host, CBatchOptions(), &refusal);
    worker.Join();
    refused = started == BATCH_REFUSED;
    worked = started == BATCH_STARTED && BatchSucceeded(host->report) && host->report.filesDone >= 1;
    if (refused) {
      EXPECT_EQ(host->commands, 0) << "a refused run ran a command";
      // Refused before anything ran, with the reason the front ends show.
      EXPECT_FALSE(RefusalText(refusal, kUiLanguageEnglish).empty()) << "a refusal without a message";
      expected.clear();
    }
  }

  // No canary anywhere, the inputs as they were, and exactly the expected outputs.
  EXPECT_FALSE(HasCanary(work.Path()));
  EXPECT_FALSE(HasCanary(programDir));
  EXPECT_FALSE(HasCanary(startDir_));
  EXPECT_FALSE(FileExists(witnessRecord_)) << "the witness ran";
  bool safe = !HasCanary(work.Path()) && !HasCanary(programDir) && !HasCanary(startDir_) &&
              !FileExists(witnessRecord_);
  EXPECT_EQ(ReadBytes(video), *clip_);
  EXPECT_EQ(ReadBytes(audio), *sound_);
  EXPECT_EQ(ReadBytes(plain), *clip_);
  std::set<std::wstring> appeared;
  for (const std::wstring& file : FilesIn(work.Path()))
    if (!before.count(file)) appeared.insert(file);
  if (worked || refused) {
    EXPECT_EQ(appeared, expected);
  }
  for (const std::wstring& output : expected) {
    EXPECT_TRUE(RunFfmpeg({L"-i", work.File(output), L"-f", L"null", L"-"}))
        << "ffmpeg cannot read the output";
  }
  // Whatever a broken case left must not fail the cases after it.
  std::error_code ignored;
  fs::remove_all(FsPath(programDir + L"CANARY"), ignored);
  RemoveFile(witnessRecord_);
  if (!safe) return Outcome::UNSAFE_OR_BROKEN;
  if (refused) return Outcome::REFUSED;
  return worked ? Outcome::WORKED : Outcome::UNSAFE_OR_BROKEN;
}

// Names that a job refuses, and why: nothing else may be refused.
bool RefusalExpected(const HostileName& name, Operation operation) {
  const std::wstring extension = name.extension;
  bool plainExtension = extension == L".mp4";
  if (operation == Operation::MERGE)
    return name.stem.find(L'|') != std::wstring::npos ||
           !plainExtension;                                      // the concat list, the joined format
  if (operation == Operation::MERGE_AV) return !plainExtension;  // no video and audio file by extension
  return false;
}

TEST_F(HostileNameTest, EveryNameIsProcessedExactlyOrRefusedBeforeAnythingRuns) {
  const Operation operations[] = {Operation::PROBE, Operation::CONVERT, Operation::VIDEO,
                                  Operation::AUDIO, Operation::MERGE,   Operation::MERGE_AV};
  int cases = 0, worked = 0, refused = 0, unsafe = 0;
  for (const HostileName& name : HostileNames()) {
    for (Operation operation : operations) {
      SCOPED_TRACE(testing::Message() << name.what << ", " << NameOf(operation) << ": "
                                      << WideToUtf8(name.stem + name.extension));
      TraceCapture trace;
      Outcome outcome = Check(name, operation);
      ++cases;
      switch (outcome) {
        case Outcome::WORKED:
          ++worked;
          EXPECT_FALSE(RefusalExpected(name, operation)) << "worked, but a refusal was expected";
          break;
        case Outcome::REFUSED:
          ++refused;
          EXPECT_TRUE(RefusalExpected(name, operation)) << "refused without need";
          break;
        case Outcome::UNSAFE_OR_BROKEN:
          ++unsafe;
          ADD_FAILURE() << "neither processed exactly nor refused";
          for (const std::wstring& line : trace.Lines()) std::fputs(WideToUtf8(line).c_str(), stderr);
          break;
      }
    }
  }
  std::printf("hostile names: %d cases, %d worked, %d refused, %d unsafe or broken\n", cases, worked, refused,
              unsafe);
  EXPECT_EQ(unsafe, 0);
}

}  // namespace
