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

TEST(TextLines, BreaksOfEitherKindAndNoEmptyLastLine) {
  const struct {
    std::string text;
    std::vector<std::string_view> lines;
  } cases[] = {
      {"", {}}, {"a", {"a"}}, {"a\n", {"a"}}, {"a\r\n\nb\r", {"a", "", "b"}}, {"\n\n", {"", ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(TextLines(c.text), c.lines) << c.text;
  EXPECT_EQ(TextLines(std::wstring_view(L"가\r\n나")), (std::vector<std::wstring_view>{L"가", L"나"}));
}

// A "%" that begins no escape is kept, and said; characters beyond 0xFF are never escaped.
TEST(PercentEscape, EscapesWhatALineCannotHoldAndReadsItBack) {
  EXPECT_EQ(PercentEscape(std::string("50% a\nb"), IsLineChar), "50%25 a%0Ab");
  EXPECT_EQ(PercentEscape(std::wstring(L"가%\t"), IsLineChar), L"가%25%09");
  std::string out;
  EXPECT_TRUE(PercentUnescape(std::string("50%25 a%0ab"), out));
  EXPECT_EQ(out, "50% a\nb");
  EXPECT_FALSE(PercentUnescape(std::string("100%"), out));
  EXPECT_EQ(out, "100%");
}
