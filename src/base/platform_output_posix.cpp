#include <cstdio>
#include <cstdlib>

#include "base/platform_output.h"
#include "base/text.h"

bool IsPlatformTraceOn() {
  static const bool enabled = std::getenv("KESTRUNE_TRACE") != nullptr;
  return enabled;
}

void PlatformTrace(const std::wstring& line) {
  if (!IsPlatformTraceOn()) return;
  std::string text = WideToUtf8(line);
  std::fwrite(text.data(), 1, text.size(), stderr);
}

// A terminal has no caption; the text goes alone, whichever box it would have been.
void PlatformMessage(const std::wstring& text, MessageCaption) {
  std::string narrow = WideToUtf8(text);
  std::fprintf(stderr, "%s\n", narrow.c_str());
}
