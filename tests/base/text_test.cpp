#include <gtest/gtest.h>

#include <clocale>
#include <cstring>

#include "base/text.h"

TEST(WideToNarrow, CopiesWhenItFitsAndRefusesOtherwise) {
  char buffer[16];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(WideToNarrow(L"abcdefghij", buffer, 11), 10);
  EXPECT_STREQ(buffer, "abcdefghij");

  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(WideToNarrow(L"abcdefghij", buffer, 10), 0);
  EXPECT_EQ(buffer[0], '#') << "a refused copy leaves the buffer untouched";

  EXPECT_EQ(WideToNarrow(L"", buffer, 10), 0);
  EXPECT_EQ(buffer[0], '\0') << "an empty text leaves an empty string";
}

TEST(WideToNarrow, KoreanTextNeedsRoomForItsBytes) {
  // Three Hangul syllables: two bytes each in code page 949, three in UTF-8. A buffer with
  // room for the characters but not the bytes is refused on both.
  char buffer[16];
  EXPECT_EQ(WideToNarrow(L"한국어", buffer, 4), 0);
  const int bytes = static_cast<int>(WideToAnsi(L"한국어").size());
  EXPECT_GE(bytes, 6);
  EXPECT_EQ(WideToNarrow(L"한국어", buffer, bytes + 1), bytes);
}

TEST(Utf8, RoundTripsEveryPlane) {
  const std::wstring samples[] = {L"plain", L"한글 파일.mp4", L"emoji \U0001F3AC clip", L""};
  for (const std::wstring& text : samples) EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
}

TEST(Utf8, BrokenBytesBecomeReplacementCharacters) {
  EXPECT_EQ(Utf8ToWide(std::string("a\xff" "b")), L"a\uFFFDb");
  EXPECT_EQ(Utf8ToWide(std::string("cut \xed\x95")), L"cut \uFFFD\uFFFD");
}

TEST(TrimText, RemovesWhiteSpaceAtBothEnds) {
  EXPECT_EQ(TrimText(L" \t key \r\n"), L"key");
  EXPECT_EQ(TrimText(L"   "), L"");
}
