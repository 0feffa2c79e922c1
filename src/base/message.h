#pragma once
// Messages the user must see: a system-modal box captioned "Message" on Windows, stderr on
// POSIX. Tests and the command line install their own sink.
#include <functional>
#include <string>

#include "base/format.h"

using MessageSink = std::function<void(const std::wstring& text)>;

// Replaces the sink for the whole process; an empty sink restores the platform's default.
// Returns the previous sink.
MessageSink SetMessageSink(MessageSink sink);

// Shows a finished text through the current sink; returns when the user has closed it.
void EmitMessage(const std::wstring& text);

template <typename... Args>
bool ShowMessage(const wchar_t* format, const Args&... args) {
  EmitMessage(Sprintf(format, args...));
  return true;
}
