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

TEST(ShowMessage, ReachesTheInstalledSinkFormatted) {
  MessageCapture messages;
  EXPECT_TRUE(ShowMessage(L"%s 가 없습니다. ", std::wstring(L"a.mp4")));
  // The box captioned with the program's name reaches the same sink.
  EXPECT_TRUE(ShowProgramMessage(L"%s", std::wstring(L"OK! 설치 완료")));
  ASSERT_EQ(messages.Messages().size(), 2u);
  EXPECT_EQ(messages.Messages()[0], L"a.mp4 가 없습니다. ");
  EXPECT_EQ(messages.Messages()[1], L"OK! 설치 완료");
}
