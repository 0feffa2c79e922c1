#pragma once
// The diagnostic trace: one formatted line per call, sent to the debugger output on Windows
// (stderr on POSIX when KESTRUNE_TRACE is set). Tests install their own sink.
#include <functional>
#include <string>

#include "base/format.h"

using TraceSink = std::function<void(const std::wstring& line)>;

// Replaces the sink for the whole process; an empty sink restores the platform's default.
// Returns the previous sink.
TraceSink SetTraceSink(TraceSink sink);

// Hands a finished line (line feed included) to the current sink. Safe from any thread.
void EmitTrace(const std::wstring& line);

// True when a trace line reaches anyone: a sink is installed, or the platform's output takes it
// (always on Windows, where a trace viewer may listen; on POSIX when KESTRUNE_TRACE is set).
bool IsTraceListened();

// A line that nobody gets is not even formatted.
template <typename... Args>
bool DebugLog(const wchar_t* format, const Args&... args) {
  if (IsTraceListened()) EmitTrace(Sprintf(L"%s\n", Sprintf(format, args...)));
  return true;
}
