#include "jobs/media_classification.h"

#include <gtest/gtest.h>

#include "support/trace_capture.h"

namespace {

TEST(GetFileExt, LastDotOfTheWholePathLowerCased) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"MOVIE.MP4", L".mp4"},
      {L"archive.tar.mp4", L".mp4"},
      {L"README", L"readme"},
      {L"C:\\my.dir\\movie", L".dir\\movie"},
      {L"/tmp/my.dir/Movie", L".dir/movie"},
      {L"", L""},
      {L"clip.", L"."},
  };
  for (const auto& c : cases) EXPECT_EQ(GetFileExt(c.first), c.second) << c.first;
}

TEST(MediaClassification, VideoAndAudioLists) {
  struct Case {
    std::wstring path;
    bool video;
    bool audio;
  };
  const Case cases[] = {
      {L"MOVIE.MP4", true, false},
      {L"a.mkv", true, false},
      {L"a.avi", true, false},
      {L"a.webm", true, false},
      {L"a.mpg", true, false},
      {L"a.MOV", true, false},
      {L"a.wmv", true, false},
      {L"archive.tar.mp4", true, false},
      {L"Song.Mp3", false, true},
      {L"a.wav", false, true},
      {L"a.aac", false, true},
      {L"a.opus", false, true},
      {L"a.ogg", false, true},
      {L"a.AC3", false, true},
      {L"a.ape", false, true},
      {L"a.flc", false, true},
      {L"a.wma", false, true},
      {L"clip.mpeg", false, false},
      {L"clip.ts", false, false},
      {L"song.flac", false, false},
      {L"a.m4a", false, false},
      {L"README", false, false},
      {L"C:\\my.dir\\movie", false, false},
      {L"", false, false},
      {L"mp4", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsVideoFile(c.path), c.video) << c.path;
    EXPECT_EQ(IsAudioFile(c.path), c.audio) << c.path;
  }
}

// A folder added whole gives the video and audio files of both lists and the other common
// media files; anything else, a name without an extension among them, stays out.
TEST(MediaClassification, MediaFileNamesOfAFolder) {
  const std::pair<std::wstring, bool> cases[] = {
      {L"MOVIE.MP4", true},      {L"a.wmv", true},     {L"Song.Mp3", true},  {L"a.flc", true},
      {L"clip.MTS", true},       {L"clip.m2ts", true}, {L"clip.mpeg", true}, {L"clip.ts", true},
      {L"song.flac", true},      {L"a.m4a", true},     {L"a.aiff", true},    {L"notes.txt", false},
      {L"photo.jpg", false},     {L"anim.gif", false}, {L"mp4", false},      {L"", false},
      {L"clip.mp4.part", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsMediaFileName(c.first), c.second) << c.first;
}

TEST(MediaClassification, AMissTracesPathExtensionAndListNumber) {
  TraceCapture trace;
  EXPECT_FALSE(IsVideoFile(L"song.flac"));
  EXPECT_FALSE(IsAudioFile(L"song.flac"));
  EXPECT_FALSE(IsVideoFile(L"README"));
  EXPECT_TRUE(IsVideoFile(L"a.mp4"));
  EXPECT_FALSE(IsAudioFile(L"a.mp4"));
  const std::vector<std::wstring> expected = {L"song.flac, .flac, 32\n", L"song.flac, .flac, 40\n",
                                              L"README, readme, 32\n", L"a.mp4, .mp4, 40\n"};
  EXPECT_EQ(trace.Lines(), expected);
}

}  // namespace
