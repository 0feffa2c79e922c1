#include <windows.h>

#include "base/platform_output.h"

// A trace viewer may attach at any time; nothing tells whether one listens.
bool IsPlatformTraceOn() { return true; }

void PlatformTrace(const std::wstring& line) { OutputDebugStringW(line.c_str()); }

void PlatformMessage(const std::wstring& text) {
  MessageBoxW(nullptr, text.c_str(), L"Message", MB_OK | MB_SYSTEMMODAL);
}
