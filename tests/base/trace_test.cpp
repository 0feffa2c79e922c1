#include <gtest/gtest.h>

#include "base/message.h"
#include "base/trace.h"
#include "support/trace_capture.h"

TEST(DebugLog, FormatsOnceAndAppendsOneLineFeed) {
  TraceCapture trace;
  EXPECT_TRUE(DebugLog(L"count = %d", 12));
  EXPECT_TRUE(DebugLog(L"%X-[%s]", 0x2au, std::wstring(L"C:\\ffmpeg.exe")));
  EXPECT_TRUE(DebugLog(L"%s", std::wstring(L"100% 안전")));  // a % in an argument is not a format
  ASSERT_EQ(trace.Lines().size(), 3u);
  EXPECT_EQ(trace.Lines()[0], L"count = 12\n");
  EXPECT_EQ(trace.Lines()[1], L"2A-[C:\\ffmpeg.exe]\n");
  EXPECT_EQ(trace.Lines()[2], L"100% 안전\n");
}

TEST(DebugLogEach, ASinkGetsEveryLineByItselfInOrder) {
  TraceCapture trace;
  DebugLogEach(L"OnDropFiles-%s", {L"C:\\a.mp4", L"100% 안전.mkv", L""});
  DebugLogEach(L"OnDropFiles-%s", {});
  EXPECT_EQ(trace.Lines(), (std::vector<std::wstring>{L"OnDropFiles-C:\\a.mp4\n",
                                                      L"OnDropFiles-100% 안전.mkv\n", L"OnDropFiles-\n"}));
}

TEST(TraceBlocks, JoinLinesInOrderWithinTheSizeAndKeepALongerLineWhole) {
  const struct {
    const char* name;
    std::vector<std::wstring> lines;
    size_t maxChars;
    std::vector<std::wstring> blocks;
  } cases[] = {
      {"none", {}, 10, {}},
      {"all fit", {L"ab\n", L"cd\n", L"e\n"}, 10, {L"ab\ncd\ne\n"}},
      {"exactly full", {L"abcd\n", L"efgh\n", L"i\n"}, 10, {L"abcd\nefgh\n", L"i\n"}},
      {"one too many", {L"abcd\n", L"efghi\n"}, 10, {L"abcd\n", L"efghi\n"}},
      {"a longer line alone", {L"a\n", L"0123456789abc\n", L"b\n"}, 10, {L"a\n", L"0123456789abc\n", L"b\n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.blocks, TraceBlocks(c.lines, c.maxChars));
  }
}

TEST(ShowMessage, ReachesTheInstalledSinkFormatted) {
  MessageCapture messages;
  EXPECT_TRUE(ShowMessage(L"%s 가 없습니다. ", std::wstring(L"a.mp4")));
  // The box captioned with the program's name reaches the same sink.
  EXPECT_TRUE(ShowProgramMessage(L"%s", std::wstring(L"OK! 설치 완료")));
  ASSERT_EQ(messages.Messages().size(), 2u);
  EXPECT_EQ(messages.Messages()[0], L"a.mp4 가 없습니다. ");
  EXPECT_EQ(messages.Messages()[1], L"OK! 설치 완료");
}
