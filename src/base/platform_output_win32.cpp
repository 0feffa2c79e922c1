#include <windows.h>

#include "base/platform_output.h"

void PlatformTrace(const std::wstring& line) { OutputDebugStringW(line.c_str()); }

void PlatformMessage(const std::wstring& text) {
  MessageBoxW(nullptr, text.c_str(), L"Message", MB_OK | MB_SYSTEMMODAL);
}
