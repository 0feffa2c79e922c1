#pragma once
// The platform's default trace and message outputs, used when no sink is installed.
#include <string>

void PlatformTrace(const std::wstring& line);
void PlatformMessage(const std::wstring& text);
