#include "cli/media_json.h"

#include <gtest/gtest.h>

namespace {

TEST(MediaJson, EveryFieldOfTheDescription) {
  MediaDesc media;
  ResetMediaDesc(media);
  SetMediaPath(media, L"C:\\v\\\"clip\".mp4");
  media.fileSize = 1234567;
  media.durationSec = 65;
  media.video = {1000, 65, VCODEC_H264, 3000, 1920, 1080, 29.97, 8};
  media.audioCount = 2;
  media.audio[0] = {500, 65, ACODEC_AAC, 192, 2, LANGUAGE_KOREAN, 48000};
  media.audio[1] = {600, 64, ACODEC_AC3, 448, 6, LANGUAGE_NONE, 48000};
  media.audio[2] = {9, 9, ACODEC_MP3, 9, 9, 9, 48000};  // beyond audioCount: not written
  media.subtitleCount = 1;
  EXPECT_EQ(
      FormatMediaJson(media),
      L"{\"filePath\":\"C:\\\\v\\\\\\\"clip\\\".mp4\",\"fileSize\":1234567,\"durationSec\":65,"
      L"\"video\":{\"streamSize\":1000,\"durationSec\":65,\"codec\":1,\"codecName\":\"H264(AVC)\","
      L"\"bitRate\":3000,"
      L"\"width\":1920,\"height\":1080,\"frameRate\":29.970,\"bitDepth\":8},\"audioCount\":2,\"audio\":["
      L"{\"streamSize\":500,\"durationSec\":65,\"codec\":52,\"codecName\":\"AAC\",\"bitRate\":192,"
      L"\"channels\":2,"
      L"\"language\":18,\"languageName\":\"KOREAN\"},"
      L"{\"streamSize\":600,\"durationSec\":64,\"codec\":56,\"codecName\":\"AC3\",\"bitRate\":448,"
      L"\"channels\":6,"
      L"\"language\":0,\"languageName\":\"\"}],\"subtitleCount\":1}");
}

TEST(MediaJson, EscapesControlCharacters) {
  EXPECT_EQ(JsonString(L"a\tb\nc\x01\x7f\uD55C"), L"\"a\\tb\\nc\\u0001\x7f\uD55C\"");
}

}  // namespace
