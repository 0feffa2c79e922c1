#pragma once
// The platform's default trace and message outputs, used when no sink is installed.
#include <string>

#include "base/message.h"

void PlatformTrace(const std::wstring& line);
// Whether PlatformTrace writes anywhere.
bool IsPlatformTraceOn();
void PlatformMessage(const std::wstring& text, MessageCaption caption);
