// The probe runner end to end on media made at test time: exec.bat (exec.sh natively) and the
// real MediaInfo (under Wine the bridge's mediainfo.exe through cmd) write media.txt in a
// program folder of the test's own, the runner waits and parses it. Also its failure paths,
// concurrent probes, and the exact summary lines.
#include "probe/probe_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "exec/exec_test_support.h"
#include "exec/program_lookup.h"
#include "probe/media_desc.h"
#include "probe/probe_runner_lock.h"
#include "support/media_fixtures.h"
#include "support/mediainfo_json.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// ---------------------------------------------------------------------------------------
// The summary lines.

TEST(FormatMediaSummary, ResetRecordGivesTwoLinesOfZeros) {
  MediaDesc media;
  ResetMediaDesc(media);
  std::wstring text;
  FormatMediaSummary(media, text);
  EXPECT_EQ(text,
            L"\n전체 파일 용량=0.000 MB, 길이=0분 0초, [자막=0개]\n"
            L"비디오 : 파일 용량=0.000 MB, 길이=0분 0초,  코덱=, (0 x 0), 비트레이트=0 kbps\n");
}

TEST(FormatMediaSummary, FillsEveryFieldAndAppends) {
  MediaDesc media;
  ResetMediaDesc(media);
  media.fileSize = 1572864;  // 1.500 MB
  media.durationSec = 3725;
  media.subtitleCount = 2;
  media.video.streamSize = 1048576;  // 1.000 MB
  media.video.durationSec = 3724;
  media.video.codec = VCODEC_H265;
  media.video.width = 1920;
  media.video.height = 1080;
  media.video.bitRate = 2980;
  media.audioCount = 2;
  media.audio[0] = {524288, 11, ACODEC_AAC, 192, 2, LANGUAGE_ENGLISH, 0, 0, 0};
  media.audio[1] = {1153434, 12, ACODEC_AC3, 448, 6, LANGUAGE_KOREAN, 0, 0, 0};
  std::wstring text = L"before";
  FormatMediaSummary(media, text);
  EXPECT_EQ(SplitLines(text), (std::vector<std::wstring>{
                                  L"before",
                                  L"전체 파일 용량=1.500 MB, 길이=62분 5초, [자막=2개]",
                                  L"비디오 : 파일 용량=1.000 MB, 길이=62분 4초,  코덱=H265(HEVC), (1920 x "
                                  L"1080), 비트레이트=2980 kbps",
                                  L"오디오 (1) - 파일 용량=0.500 MB, 길이=62분 4초,  코덱=AAC, 채널=2 , "
                                  L"비트레이트=192 kbps, 언어=ENGLISH",
                                  L"오디오 (2) - 파일 용량=1.100 MB, 길이=62분 4초,  코덱=AC3, 채널=6 , "
                                  L"비트레이트=448 kbps, 언어=KOREAN",
                              }));
}

TEST(FormatMediaSummary, AudioLinesShowTheVideoPlayTime) {
  MediaDesc media;
  ResetMediaDesc(media);
  media.durationSec = 205;
  media.audioCount = 1;
  media.audio[0] = {4920000, 205, ACODEC_MP3, 192, 2, LANGUAGE_NONE, 0, 0, 0};
  std::wstring text;
  FormatMediaSummary(media, text);
  std::vector<std::wstring> lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1], L"전체 파일 용량=0.000 MB, 길이=3분 25초, [자막=0개]");
  EXPECT_EQ(lines[3],
            L"오디오 (1) - 파일 용량=4.692 MB, 길이=0분 0초,  코덱=MP3, 채널=2 , 비트레이트=192 kbps, 언어=");
}

// ---------------------------------------------------------------------------------------
// Probes.

// A program folder of the test's own (so no other test's media.txt is touched), named so
// that every path in the command line needs its quotes, holding exec.bat and exec.sh and,
// for the Windows build, the bridge's mediainfo.exe.
class ProbeRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedProgramDir_ = ProgramDir();
    savedDir_ = GetCurrentDir();
    programDir_ = MakeProgramFolder(L"프로그램 폴더 &");
    ASSERT_TRUE(CopyBeside(L"exec.bat") && CopyBeside(L"exec.sh"));
#ifdef _WIN32
    ASSERT_TRUE(CopyBeside(L"mediainfo.exe")) << "the Wine bridge is built beside the tests";
#endif
    SetProgramDir(programDir_);
    mediaInfo_ = MediaInfoProgramPath();
    ASSERT_FALSE(mediaInfo_.empty());
    report_ = programDir_ + L"media.txt";
  }
  void TearDown() override {
    SetProgramDir(savedProgramDir_);
    SetCurrentDir(savedDir_);
  }

  std::wstring MakeProgramFolder(const std::wstring& name) {
    std::wstring folder = temp_.Path() + name + kPathSeparator;
    fs::create_directories(FsPath(folder));
    return folder;
  }
  bool CopyBeside(const std::wstring& name) {
    std::error_code code;
    fs::copy_file(FsPath(GetProgramDir() + name), FsPath(programDir_ + name),
                  fs::copy_options::overwrite_existing, code);
    return !code;
  }
  std::wstring Sample(Sample kind, const std::wstring& name) {
    std::wstring path = temp_.File(name);
    return MakeSample(kind, path) ? path : std::wstring();
  }
  std::wstring ProbeCommand(const std::wstring& input) const {
    return L"\"" + programDir_ + L"exec.bat\" \"" + mediaInfo_ + L"\" \"" + input + L"\" \"" + report_ +
           L"\" 0";
  }
  std::vector<MediaInfoTrack> JsonTracks(const std::wstring& path) {
    std::vector<MediaInfoTrack> tracks;
    ReadMediaInfoTracks(CaptureProgramOutput(L"mediainfo", {L"--Output=JSON", path}), tracks);
    return tracks;
  }

  TempDir temp_;
  std::wstring programDir_;
  std::wstring mediaInfo_;
  std::wstring report_;
  std::wstring savedProgramDir_;
  std::wstring savedDir_;
};

const MediaInfoTrack* FindTrack(const std::vector<MediaInfoTrack>& tracks, const std::string& type,
                                int index = 0) {
  for (const MediaInfoTrack& track : tracks)
    if (track.type == type && index-- == 0) return &track;
  return nullptr;
}

int Seconds(const MediaInfoTrack& track) {
  return static_cast<int>(std::floor(track.Number("Duration") + 0.0005));
}

TEST_F(ProbeRunnerTest, ProbesAFileEndToEndWithExactTraces) {
  std::wstring input = Sample(Sample::H264_AAC_MP4, L"한글 a&b (1).mp4");
  ASSERT_FALSE(input.empty());
  std::vector<MediaInfoTrack> tracks = JsonTracks(input);
  ASSERT_NE(FindTrack(tracks, "Video"), nullptr);
  RemoveFile(report_);

  MediaDesc media;
  TraceCapture trace;
  ASSERT_TRUE(ProbeMediaFile(input, media));

  // The probe's own traces and the launcher's, in order; the report was there at once.
  std::wstring command = ProbeCommand(input);
  std::wstring batch = programDir_ + L"exec.bat";
  std::vector<std::wstring> lines = trace.Lines();
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[0], command + L"\n");
  EXPECT_EQ(lines[1], L"AppCreate-0-" + command + L"\n");
  EXPECT_EQ(lines[2], L"AppCreate-2-" + batch + L"\n" + command.substr(batch.size() + 1) + L"\n");
  EXPECT_EQ(lines[3], L"AppCreate-3-\n" + command + L"\n" + batch + L"\n");
  EXPECT_EQ(lines[4],
            L"AppCreate-5-" + command + L" \n" + WithoutTrailingSeparator(programDir_) + L" \n \n\n");
  EXPECT_TRUE(
      std::regex_match(lines[5], std::wregex(L"AppCreate-6-CreateProcess, ret=1, id=[1-9][0-9]*  <.*>\n")))
      << WideToUtf8(lines[5]);
  EXPECT_EQ(lines[5].substr(lines[5].find(L"  <")), L"  <" + command + L">\n");
  EXPECT_EQ(lines[6], L"기다림 0 ms (0)\n");
  EXPECT_EQ(GetCurrentDir(), savedDir_);

  // What MediaInfo's JSON says of the same file.
  const MediaInfoTrack& general = *FindTrack(tracks, "General");
  const MediaInfoTrack& video = *FindTrack(tracks, "Video");
  const MediaInfoTrack& audio = *FindTrack(tracks, "Audio");
  EXPECT_EQ(std::wstring(media.filePath), input);
  EXPECT_NEAR(static_cast<double>(media.fileSize), general.Number("FileSize"),
              general.Number("FileSize") * 0.006);
  EXPECT_EQ(media.durationSec, Seconds(general));
  EXPECT_EQ(media.video.codec, VCODEC_H264);
  EXPECT_EQ(media.video.width, 320);
  EXPECT_EQ(media.video.height, 240);
  EXPECT_EQ(media.video.durationSec, Seconds(video));
  EXPECT_NEAR(media.video.frameRate, 25.0, 0.001);
  EXPECT_NEAR(media.video.bitRate, video.Number("BitRate") / 1000, 1.0);
  ASSERT_EQ(media.audioCount, 1);
  EXPECT_EQ(media.audio[0].codec, ACODEC_AAC);
  EXPECT_EQ(media.audio[0].channels, 2);
  EXPECT_NEAR(media.audio[0].bitRate, audio.Number("BitRate") / 1000, 2.0);
  EXPECT_EQ(media.subtitleCount, 0);

  std::wstring summary;
  FormatMediaSummary(media, summary);
  std::vector<std::wstring> summaryLines = SplitLines(summary);
  ASSERT_EQ(summaryLines.size(), 4u);
  EXPECT_EQ(summaryLines[0], L"");
  const std::wstring size = L"[0-9]+\\.[0-9]{3} MB";
  EXPECT_TRUE(std::regex_match(summaryLines[1],
                               std::wregex(L"전체 파일 용량=" + size + L", 길이=0분 2초, \\[자막=0개\\]")))
      << WideToUtf8(summaryLines[1]);
  EXPECT_TRUE(std::regex_match(summaryLines[2], std::wregex(L"비디오 : 파일 용량=" + size +
                                                            L", 길이=0분 2초,  코덱=H264\\(AVC\\), "
                                                            L"\\(320 x 240\\), 비트레이트=" +
                                                            std::to_wstring(media.video.bitRate) + L" kbps")))
      << WideToUtf8(summaryLines[2]);
  EXPECT_TRUE(std::regex_match(summaryLines[3],
                               std::wregex(L"오디오 \\(1\\) - 파일 용량=" + size +
                                           L", 길이=0분 2초,  코덱=AAC, 채널=2 , "
                                           L"비트레이트=" +
                                           std::to_wstring(media.audio[0].bitRate) + L" kbps, 언어=")))
      << WideToUtf8(summaryLines[3]);
}

TEST_F(ProbeRunnerTest, ProbesSeveralTracksAndAudioOnlyFiles) {
  std::wstring tracks3 = Sample(Sample::THREE_AUDIO_TWO_SUBS_MKV, L"three.mkv");
#ifdef _WIN32
  std::wstring mp3 = Sample(Sample::MP3_ONLY, L"-dash first.mp3");
#else
  // A POSIX name may hold what no Windows name can: a quote, and a backslash before it.
  std::wstring mp3 = Sample(Sample::MP3_ONLY, L"-dash \"quoted\\\" $(x).mp3");
#endif
  ASSERT_FALSE(tracks3.empty());
  ASSERT_FALSE(mp3.empty());

  MediaDesc media;
  ASSERT_TRUE(ProbeMediaFile(tracks3, media));
  EXPECT_EQ(media.video.codec, VCODEC_H264);
  ASSERT_EQ(media.audioCount, 3);
  EXPECT_EQ(media.subtitleCount, 2);
  const int languages[] = {LANGUAGE_ENGLISH, LANGUAGE_JAPANESE, LANGUAGE_FRENCH};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(media.audio[i].codec, ACODEC_AAC) << i;
    EXPECT_EQ(media.audio[i].channels, 2) << i;
    EXPECT_EQ(media.audio[i].language, languages[i]) << i;
  }

  ASSERT_TRUE(ProbeMediaFile(mp3, media));
  EXPECT_EQ(media.video.width, 0);
  EXPECT_EQ(media.video.codec, VCODEC_NONE);
  ASSERT_EQ(media.audioCount, 1);
  EXPECT_EQ(media.audio[0].codec, ACODEC_MP3);
  EXPECT_EQ(media.audio[0].channels, 2);
  EXPECT_NEAR(media.audio[0].bitRate, 192, 2);
  EXPECT_EQ(media.durationSec, 2);
}

TEST_F(ProbeRunnerTest, MissingMediaInfoOnlyTraces) {
  std::wstring input = temp_.Write(L"input.mp4", "not probed");
  std::wstring empty = MakeProgramFolder(L"empty");
  SetProgramDir(empty);
  // Natively the search would go on to the folder of the executable and PATH: neither has it.
  CScopedEnv executableDir("KESTRUNE_PROGRAM_DIR", empty);
  CScopedEnv toolPath("KESTRUNE_TOOL_PATH", L"");
  MediaDesc media;
  media.audioCount = 5;
  TraceCapture trace;
  EXPECT_FALSE(ProbeMediaFile(input, media));
  EXPECT_EQ(trace.Lines(),
            std::vector<std::wstring>{ProgramFolderToolPath(L"mediainfo") + L" 가 없습니다. \n"});
#ifdef _WIN32
  EXPECT_EQ(ProgramFolderToolPath(L"mediainfo"), empty + L"mediainfo.exe");
#endif
  EXPECT_EQ(media.audioCount, 0);
  EXPECT_EQ(media.filePath[0], L'\0');
  EXPECT_FALSE(FileExists(empty + L"media.txt"));
}

TEST_F(ProbeRunnerTest, MissingInputLeavesTheReportAlone) {
  WriteFile(report_, "an earlier report\n");
  std::wstring input = temp_.File(L"nowhere.mp4");
  MediaDesc media;
  TraceCapture trace;
  EXPECT_FALSE(ProbeMediaFile(input, media));
  EXPECT_EQ(trace.Lines(), std::vector<std::wstring>{input + L" 가 없습니다. \n"});
  EXPECT_EQ(ReadBytes(report_), "an earlier report\n");
}

TEST_F(ProbeRunnerTest, ReportThatNeverComesEndsAfterTheWait) {
  std::wstring input = Sample(Sample::H264_AAC_MP4, L"clip.mp4");
  ASSERT_FALSE(input.empty());
  MediaDesc earlier;
  ASSERT_TRUE(ProbeMediaFile(input, earlier));  // leaves a valid media.txt behind
  ASSERT_GT(GetFileLength(report_), 100);
  // Now the batch file writes nothing (exec.sh a single byte, which counts as nothing), and
  // the earlier report must not be taken for this probe's.
  WriteFile(programDir_ + L"exec.bat", "@echo off\r\n");
  WriteFile(programDir_ + L"exec.sh", "#!/bin/sh\nprintf x > \"$3\"\n");
  fs::permissions(FsPath(programDir_ + L"exec.sh"), fs::perms::owner_all, fs::perm_options::add);

  MediaDesc media;
  TraceCapture trace;
  EXPECT_FALSE(ProbeMediaFile(input, media));
  EXPECT_EQ(trace.Count(L"기다림 3000 ms (30)"), 1u);
  EXPECT_LE(GetFileLength(report_), 1);
  EXPECT_EQ(std::wstring(media.filePath), input);
  EXPECT_EQ(media.audioCount, 0);
}

// An earlier report that cannot be removed (a read-only file on Windows; here, where the
// tests may run as root, something in its place that no unlink removes) is never read as the
// next file's: the probe fails and says why.
TEST_F(ProbeRunnerTest, AReportThatCannotBeRemovedFailsTheProbe) {
  std::wstring first = Sample(Sample::H264_AAC_MP4, L"first.mp4");
  std::wstring second = Sample(Sample::MP3_ONLY, L"second.mp3");
  ASSERT_FALSE(first.empty() || second.empty());
  MediaDesc earlier;
  ASSERT_TRUE(ProbeMediaFile(first, earlier));
  ASSERT_EQ(earlier.video.width, 320);
#ifdef _WIN32
  ASSERT_TRUE(SetFileAttributesW(report_.c_str(), FILE_ATTRIBUTE_READONLY));
#else
  ASSERT_TRUE(RemoveFile(report_));
  fs::create_directory(FsPath(report_));
  WriteFile(report_ + L"/inside", "x");
#endif
  MediaDesc media;
  TraceCapture trace;
  EXPECT_FALSE(ProbeMediaFile(second, media));
  EXPECT_TRUE(trace.Contains(report_ + L" 를 지울 수 없습니다. "));
  EXPECT_EQ(media.video.width, 0);
  EXPECT_EQ(media.audioCount, 0);
#ifdef _WIN32
  SetFileAttributesW(report_.c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
}

// A probe beside others reads the same record as the usual one, two at once each their own,
// with a report of its own and nothing in the program folder.
TEST_F(ProbeRunnerTest, ProbesBesideEachOtherReadTheSameRecords) {
  std::wstring video = Sample(Sample::THREE_AUDIO_TWO_SUBS_MKV, L"-video & more.mkv");
  std::wstring audio = Sample(Sample::MP3_ONLY, L"audio.mp3");
  ASSERT_FALSE(video.empty() || audio.empty());
  MediaDesc usualVideo, usualAudio;
  ASSERT_TRUE(ProbeMediaFile(video, usualVideo));
  ASSERT_TRUE(ProbeMediaFile(audio, usualAudio));
  RemoveFile(report_);

  MediaDesc alone[2];
  bool parsed[2] = {false, false};
  std::thread other([&] { parsed[1] = ProbeMediaFileAlone(audio, alone[1], temp_.File(L"report-2.txt")); });
  parsed[0] = ProbeMediaFileAlone(video, alone[0], temp_.File(L"report-1.txt"));
  other.join();
  ASSERT_TRUE(parsed[0] && parsed[1]);
  for (int i = 0; i < 2; ++i) {
    const MediaDesc& usual = i == 0 ? usualVideo : usualAudio;
    EXPECT_EQ(std::wstring(alone[i].filePath), std::wstring(usual.filePath));
    EXPECT_EQ(alone[i].video.width, usual.video.width);
    EXPECT_EQ(alone[i].video.codec, usual.video.codec);
    EXPECT_EQ(alone[i].audioCount, usual.audioCount);
    EXPECT_EQ(alone[i].subtitleCount, usual.subtitleCount);
    EXPECT_EQ(alone[i].durationSec, usual.durationSec);
  }
  EXPECT_EQ(alone[0].audioCount, 3);
  EXPECT_FALSE(FileExists(report_));
  MediaDesc none;
  EXPECT_FALSE(ProbeMediaFileAlone(temp_.File(L"nowhere.mp4"), none, temp_.File(L"report-3.txt")));
}

void ExpectSameMedia(const MediaDesc& a, const MediaDesc& b) {
  EXPECT_EQ(std::wstring(a.filePath), std::wstring(b.filePath));
  EXPECT_EQ(a.fileSize, b.fileSize);
  EXPECT_EQ(a.durationSec, b.durationSec);
  EXPECT_EQ(a.video.streamSize, b.video.streamSize);
  EXPECT_EQ(a.video.durationSec, b.video.durationSec);
  EXPECT_EQ(a.video.codec, b.video.codec);
  EXPECT_EQ(a.video.bitRate, b.video.bitRate);
  EXPECT_EQ(a.video.width, b.video.width);
  EXPECT_EQ(a.video.height, b.video.height);
  EXPECT_EQ(a.video.frameRate, b.video.frameRate);
  EXPECT_EQ(a.video.bitDepth, b.video.bitDepth);
  EXPECT_EQ(a.audioCount, b.audioCount);
  for (int i = 0; i < MAX_AUDIO_TRACKS; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(a.audio[i].streamSize, b.audio[i].streamSize);
    EXPECT_EQ(a.audio[i].durationSec, b.audio[i].durationSec);
    EXPECT_EQ(a.audio[i].codec, b.audio[i].codec);
    EXPECT_EQ(a.audio[i].bitRate, b.audio[i].bitRate);
    EXPECT_EQ(a.audio[i].channels, b.audio[i].channels);
    EXPECT_EQ(a.audio[i].language, b.audio[i].language);
  }
  EXPECT_EQ(a.subtitleCount, b.subtitleCount);
}

// A POSIX name may hold a quote, which no Windows name can.
#ifdef _WIN32
const wchar_t kQuotedSong[] = L"song 'q' $(x).mp3";
#else
const wchar_t kQuotedSong[] = L"song \"q\" $(x).mp3";
#endif

// One MediaInfo run over many files gives each file the very description a probe of that file
// alone gives, in the list's order; a file the run's report does not surely describe (missing,
// no media, a name MediaInfo writes otherwise) is probed alone, and one that cannot be read
// stays unread.
TEST_F(ProbeRunnerTest, ProbesOfManyFilesTogetherReadWhatEachAloneReads) {
  const struct {
    ::Sample kind;
    std::wstring name;
  } samples[] = {
      {Sample::THREE_AUDIO_TWO_SUBS_MKV, L"-three & more.mkv"}, {Sample::MP3_ONLY, kQuotedSong},
      {Sample::H265_AC3_51_MKV, L"\ud55c\uae00 5.1.mkv"},       {Sample::ANIMATED_GIF, L"anim.gif"},
      {Sample::VP9_OPUS_WEBM, L"vp9 %PATH% !x!.webm"},          {Sample::TWELVE_AUDIO_MKV, L"twelve.mkv"},
  };
  std::vector<std::wstring> files;
  for (const auto& sample : samples) files.push_back(Sample(sample.kind, sample.name));
  for (const std::wstring& file : files) ASSERT_FALSE(file.empty());
  const std::wstring text = temp_.Write(L"notes.txt", "not media\n");
  // Names that look like the report's own lines: a copy of a clip, since ffmpeg picks the
  // format by the extension.
  const std::wstring header = temp_.File(L"General");
  ASSERT_TRUE(std::filesystem::copy_file(FsPath(files[4]), FsPath(header)));
#ifndef _WIN32
  const std::wstring forged = temp_.File(L"x\n\nGeneral\nComplete name                            : " +
                                         files[1].substr(files[1].rfind(L'/') + 1));
  ASSERT_TRUE(std::filesystem::copy_file(FsPath(files[3]), FsPath(forged)));
  // A name with a line break, which MediaInfo writes as " / ", listed before the path that holds
  // " / " itself (" b.wav" in the folder "a "): two sounds of different lengths.
  const std::wstring broken = temp_.File(L"a\nb.wav"), slashed = temp_.Folder(L"a ") + L" b.wav";
  for (const auto& sound : {std::make_pair(broken, L"3"), std::make_pair(slashed, L"7")})
    ASSERT_TRUE(RunFfmpeg({L"-v", L"error", L"-f", L"lavfi", L"-i",
                           std::wstring(L"sine=duration=") + sound.second, L"-y", sound.first}));
#endif
  const struct {
    const char* what;
    std::vector<std::wstring> paths;
    size_t probedAlone;  // files the report did not surely describe
  } lists[] = {
      {"media only", files, 0},
      {"with a repeat, no media and a missing file",
       {files[0], text, files[1], temp_.File(L"nowhere.mp4"), files[0], files[2]},
       0},
      {"a name like the line that opens a section", {files[0], header, files[1], text}, 0},
#ifndef _WIN32
      // MediaInfo writes the line break as " / ": that name's section is no one's.
      {"with a line break in a name", {files[3], Sample(Sample::MP3_ONLY, L"line\nbreak.mp3"), files[4]}, 1},
      {"a name that writes a section of another file", {forged, files[1], header}, 1},
      {"a line break before the name MediaInfo writes for it", {broken, slashed, files[3]}, 1},
#endif
  };
  for (const auto& list : lists) {
    SCOPED_TRACE(list.what);
    std::vector<MediaDesc> together;
    std::vector<char> probed;
    TraceCapture trace;
    ProbeMediaFilesTogether(list.paths, together, probed, temp_.File(L"together.txt"));
    size_t alone = 0;
    for (const std::wstring& line : trace.Lines()) alone += line.rfind(L"ProbeMediaFileAlone-", 0) == 0;
#ifdef _WIN32
    // Under Wine MediaInfo is the Linux one behind the bridge: it names each file by its Unix
    // path, so no section is surely any file's and every file is probed alone.
    (void)alone;
#else
    EXPECT_EQ(alone, list.probedAlone);
#endif
    ASSERT_EQ(together.size(), list.paths.size());
    ASSERT_EQ(probed.size(), list.paths.size());
    for (size_t i = 0; i < list.paths.size(); ++i) {
      SCOPED_TRACE(WideToUtf8(list.paths[i]));
      MediaDesc alone;
      const bool read = ProbeMediaFileAlone(list.paths[i], alone, temp_.File(L"alone.txt"));
      EXPECT_EQ(probed[i] != 0, read);
      if (read) ExpectSameMedia(together[i], alone);
    }
  }
  EXPECT_FALSE(FileExists(report_)) << "nothing in the program folder";
}

TEST_F(ProbeRunnerTest, ConcurrentProbesTakeTurnsAndKeepTheirResults) {
  std::wstring video = Sample(Sample::H264_AAC_MP4, L"video.mp4");
  std::wstring audio = Sample(Sample::MP3_ONLY, L"audio.mp3");
  ASSERT_FALSE(video.empty());
  ASSERT_FALSE(audio.empty());
  const int rounds = 3;
  int videoRight = 0;
  int audioRight = 0;
  std::thread first([&] {
    for (int i = 0; i < rounds; ++i) {
      MediaDesc media;
      if (ProbeMediaFile(video, media) && media.video.width == 320 && media.audioCount == 1 &&
          media.audio[0].codec == ACODEC_AAC && std::wstring(media.filePath) == video)
        ++videoRight;
    }
  });
  std::thread second([&] {
    for (int i = 0; i < rounds; ++i) {
      MediaDesc media;
      if (ProbeMediaFile(audio, media) && media.video.width == 0 && media.audioCount == 1 &&
          media.audio[0].codec == ACODEC_MP3 && std::wstring(media.filePath) == audio)
        ++audioRight;
    }
  });
  first.join();
  second.join();
  EXPECT_EQ(videoRight, rounds);
  EXPECT_EQ(audioRight, rounds);
  EXPECT_EQ(GetCurrentDir(), savedDir_);
}

// Another process probing in the same program folder holds the folder lock: a probe waits
// for it to be released (the lock stands in for that process here).
TEST_F(ProbeRunnerTest, ProbeWaitsForTheFolderLockOfAnotherProbe) {
  std::wstring input = Sample(Sample::MP3_ONLY, L"audio.mp3");
  ASSERT_FALSE(input.empty());
  std::atomic<bool> released{false};
  std::atomic<bool> finishedBeforeRelease{false};
  bool probed = false;
  auto held = std::make_unique<CProbeFolderLock>(programDir_);
  std::thread prober([&] {
    MediaDesc media;
    probed = ProbeMediaFile(input, media);
    finishedBeforeRelease = !released;
  });
  // Time enough for the probe to finish if the lock did not hold it.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  released = true;
  held.reset();
  prober.join();
  EXPECT_TRUE(probed);
  EXPECT_FALSE(finishedBeforeRelease);
}

}  // namespace
