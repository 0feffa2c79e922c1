// The parts of a merge of files are compared with the first one before anything runs; the
// first difference is named, as the window asks and the command line refuses.
#include "jobs/merge_parts.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/text.h"
#include "job_test_support.h"

namespace {

// A part as a camera writes it: 1920x1080 H.264 at 29.97 fps, one stereo AAC track at 48 kHz.
MediaDesc Part(const std::function<void(MediaDesc&)>& change = nullptr) {
  MediaDesc media = MediaBuilder().Video(VCODEC_H264, 1920, 1080).Track(ACODEC_AAC, 2, 192).Get();
  media.video.frameRate = 29.97;
  media.audio[0].sampleRate = 48000;
  if (change) change(media);
  return media;
}

TEST(CompareMergeParts, NamesTheFirstDifference) {
  const struct {
    const char* what;
    std::function<void(MediaDesc&)> second;  // how the second part differs from the first
    const wchar_t* english;                  // the difference named; null: none
    const wchar_t* korean;
  } cases[] = {
      {"the same streams", nullptr, nullptr, nullptr},
      {"a smaller picture",
       [](MediaDesc& m) {
         m.video.width = 1280;
         m.video.height = 720;
       },
       L"clip2.mp4: 1280x720, the first part 1920x1080", L"clip2.mp4: 1280x720, 첫 파일은 1920x1080"},
      {"another frame rate", [](MediaDesc& m) { m.video.frameRate = 25; },
       L"clip2.mp4: 25 fps, the first part 29.97 fps", L"clip2.mp4: 25 fps, 첫 파일은 29.97 fps"},
      {"29.97 written as 29.970: the same rate", [](MediaDesc& m) { m.video.frameRate = 29.970; }, nullptr,
       nullptr},
      {"another video codec", [](MediaDesc& m) { m.video.codec = VCODEC_H265; },
       L"clip2.mp4: H265(HEVC) video, the first part H264(AVC)",
       L"clip2.mp4: H265(HEVC) 영상, 첫 파일은 H264(AVC)"},
      {"a codec the probe does not name is not compared", [](MediaDesc& m) { m.video.codec = VCODEC_NONE; },
       nullptr, nullptr},
      {"no video", [](MediaDesc& m) { m.video = VideoTrackDesc{}; },
       L"clip2.mp4: no video, the first part has video", L"clip2.mp4: 영상 없음, 첫 파일은 영상 있음"},
      {"two audio tracks", [](MediaDesc& m) { m.audio[m.audioCount++] = m.audio[0]; },
       L"clip2.mp4: 2 audio tracks, the first part 1", L"clip2.mp4: 오디오 트랙 2개, 첫 파일은 1개"},
      {"another audio codec", [](MediaDesc& m) { m.audio[0].codec = ACODEC_MP3; },
       L"clip2.mp4: audio track 1 in MP3, the first part's in AAC",
       L"clip2.mp4: 오디오 트랙 1 은 MP3, 첫 파일은 AAC"},
      {"mono", [](MediaDesc& m) { m.audio[0].channels = 1; },
       L"clip2.mp4: audio track 1 with 1 channel(s), the first part's with 2",
       L"clip2.mp4: 오디오 트랙 1 은 1 채널, 첫 파일은 2 채널"},
      {"another sample rate", [](MediaDesc& m) { m.audio[0].sampleRate = 44100; },
       L"clip2.mp4: audio track 1 at 44100 Hz, the first part's at 48000 Hz",
       L"clip2.mp4: 오디오 트랙 1 은 44100 Hz, 첫 파일은 48000 Hz"},
      {"a sample rate the probe left unknown", [](MediaDesc& m) { m.audio[0].sampleRate = 0; }, nullptr,
       nullptr},
      {"the video is named before the audio",
       [](MediaDesc& m) {
         m.audio[0].sampleRate = 44100;
         m.video.width = 1280;
       },
       L"clip2.mp4: 1280x1080, the first part 1920x1080", L"clip2.mp4: 1280x1080, 첫 파일은 1920x1080"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<std::wstring> files = {L"/v/clip1.mp4", L"/v/clip2.mp4", L"/v/clip3.mp4"};
    const std::vector<MediaDesc> media = {Part(), Part(c.second), Part()};
    const CRefusal difference = CompareMergeParts(files, media, {1, 1, 1});
    if (c.english == nullptr) {
      EXPECT_FALSE(difference.Refused()) << WideToUtf8(RefusalText(difference, kUiLanguageEnglish));
      continue;
    }
    EXPECT_EQ(RefusalText(difference, kUiLanguageEnglish), c.english);
    EXPECT_EQ(RefusalText(difference, kUiLanguageKorean), c.korean);
  }
}

TEST(CompareMergeParts, TheFirstPartDifferingInListOrder) {
  const std::vector<std::wstring> files = {L"a.mkv", L"b.mkv", L"c.mkv"};
  const std::vector<MediaDesc> media = {Part(), Part([](MediaDesc& m) { m.audio[0].channels = 6; }),
                                        Part([](MediaDesc& m) { m.video.width = 640; })};
  EXPECT_EQ(CompareMergeParts(files, media, {1, 1, 1}).file, L"b.mkv");
  // A part that cannot be probed is skipped in the run, and the join with it: nothing to ask.
  EXPECT_FALSE(CompareMergeParts(files, media, {1, 1, 0}).Refused());
  EXPECT_FALSE(CompareMergeParts({L"a.mkv"}, {Part()}, {1}).Refused());
}

}  // namespace
