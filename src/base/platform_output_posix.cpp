#include <cstdio>
#include <cstdlib>

#include "base/platform_output.h"
#include "base/text.h"

void PlatformTrace(const std::wstring& line) {
  static const bool enabled = std::getenv("KESTRUNE_TRACE") != nullptr;
  if (!enabled) return;
  std::string text = WideToUtf8(line);
  std::fwrite(text.data(), 1, text.size(), stderr);
}

void PlatformMessage(const std::wstring& text) {
  std::string narrow = WideToUtf8(text);
  std::fprintf(stderr, "%s\n", narrow.c_str());
}
