// The Wine bridge, as the Windows program uses it under Wine: the bare tool names run through
// cmd from the current folder, Windows paths (also inside an ffmpeg "concat:" list) reach the
// Linux programs as Unix paths, exit statuses and pipes pass through, unzip extracts into
// the current folder, and a Ctrl-C ends the bridge as Windows ends a program.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "exec/command_interpreter.h"
#include "exec_test_support.h"
#include "support/media_fixtures.h"
#include "support/mediainfo_json.h"
#include "support/temp_dir.h"
#include "support/windows_processes.h"

namespace fs = std::filesystem;

namespace {

class WineBridgeTest : public ::testing::Test {
 protected:
  void SetUp() override { savedDir_ = GetCurrentDir(); }
  void TearDown() override { SetCurrentDir(savedDir_); }

  // Another copy of the bridge forwards to the Linux program of its new name.
  bool CopyBridge(const std::wstring& name) {
    std::error_code code;
    fs::copy_file(FsPath(GetProgramDir() + L"ffmpeg.exe"), FsPath(temp_.File(name)),
                  fs::copy_options::overwrite_existing, code);
    return !code;
  }

  TempDir temp_;
  std::wstring savedDir_;
};

TEST_F(WineBridgeTest, ExitStatusPassesThrough) {
  ASSERT_TRUE(SetCurrentDir(GetProgramDir()));
  EXPECT_EQ(RunCommandLine(L"ffmpeg -hide_banner -loglevel error -f lavfi -i nullsrc=d=0.1 -f null -"), 0);
  EXPECT_NE(RunCommandLine(L"ffmpeg -hide_banner -loglevel quiet -no-such-option"), 0);
  EXPECT_NE(RunCommandLine(L"mediainfo --no-such-option"), 0);
}

TEST_F(WineBridgeTest, MissingLinuxProgramGivesStatus127) {
  ASSERT_TRUE(CopyBridge(L"kestrune-no-such-tool.exe"));
  ASSERT_TRUE(SetCurrentDir(temp_.Path()));
  EXPECT_EQ(RunCommandLine(L"kestrune-no-such-tool --help"), 127);
}

// A Ctrl-C typed in the console of the window's command reaches ffmpeg.exe, which ends by it with
// STATUS_CONTROL_C_EXIT as a Windows program does (Wine's own ending would say 0, success), and
// the Linux ffmpeg goes with it.
TEST_F(WineBridgeTest, ACtrlCEndsItAsWindowsEndsAProgram) {
  ASSERT_TRUE(SetCurrentDir(GetProgramDir()));
  std::thread typist([] {
    std::vector<unsigned long> bridges;
    while (bridges.empty()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      bridges = ChildProcessIds(GetCurrentProcessId(), L"ffmpeg.exe");
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    for (unsigned long bridge : bridges) DeliverConsoleEvent(bridge, CTRL_C_EVENT);
  });
  const std::wstring output = temp_.File(L"long.mp4");
  int status = RunCommandLine(
      L"ffmpeg -hide_banner -loglevel error -f lavfi -i testsrc=duration=60:size=640x360 -c:v libx264 \"" +
      output + L"\"");
  typist.join();
  EXPECT_EQ(static_cast<unsigned>(status), static_cast<unsigned>(STATUS_CONTROL_C_EXIT));
}

TEST_F(WineBridgeTest, StandardOutputReachesAPipe) {
  std::string version = CaptureProgramOutput(L"mediainfo", {L"--Version"});
  EXPECT_NE(version.find("MediaInfoLib"), std::string::npos) << version;
}

TEST_F(WineBridgeTest, DrivePathsAndConcatListsAreTranslated) {
  std::wstring first = temp_.File(L"부분 a&b.ts");
  std::wstring second = temp_.File(L"part 2.ts");
  std::wstring joined = temp_.File(L"joined_ALL.mp4");
  ASSERT_TRUE(MakeSample(Sample::H264_AAC_MP4, temp_.File(L"clip.mp4"), 2));
  for (const std::wstring& part : {first, second})
    ASSERT_TRUE(RunFfmpeg({L"-i", temp_.File(L"clip.mp4"), L"-c", L"copy", L"-f", L"mpegts", part}));
  ASSERT_TRUE(SetCurrentDir(GetProgramDir()));
  EXPECT_EQ(RunCommandLine(L"ffmpeg -y -hide_banner -loglevel error -i \"concat:" + first + L"|" + second +
                           L"\" -c copy  \"" + joined + L"\""),
            0);
  std::vector<MediaInfoTrack> tracks;
  ASSERT_TRUE(ReadMediaInfoTracks(CaptureProgramOutput(L"mediainfo", {L"--Output=JSON", joined}), tracks));
  ASSERT_FALSE(tracks.empty());
  EXPECT_NEAR(tracks[0].Number("Duration"), 4.0, 0.2);
}

TEST_F(WineBridgeTest, UnzipExtractsIntoTheCurrentFolder) {
  ASSERT_TRUE(CopyBridge(L"zip.exe"));
  ASSERT_TRUE(CopyBridge(L"unzip.exe"));
  WriteFile(temp_.File(L"ffmpeg.exe.txt"), "unpacked\r\n");
  ASSERT_TRUE(SetCurrentDir(temp_.Path()));
  ASSERT_EQ(RunCommandLine(L"zip -q ffmpeg.zip ffmpeg.exe.txt"), 0);
  ASSERT_TRUE(RemoveFile(temp_.File(L"ffmpeg.exe.txt")));
  EXPECT_EQ(RunCommandLine(L"unzip ffmpeg.zip"), 0);
  std::ifstream in(FsPath(temp_.File(L"ffmpeg.exe.txt")), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
            "unpacked\r\n");
}

}  // namespace
