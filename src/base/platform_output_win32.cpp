#include <windows.h>

#include "base/platform_output.h"
#include "base/program_dir.h"

// A trace viewer may attach at any time; nothing tells whether one listens.
bool IsPlatformTraceOn() { return true; }

void PlatformTrace(const std::wstring& line) { OutputDebugStringW(line.c_str()); }

void PlatformMessage(const std::wstring& text, MessageCaption caption) {
  const std::wstring title = caption == CAPTION_PROGRAM_NAME ? GetProgramName() : L"Message";
  MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_SYSTEMMODAL);
}
