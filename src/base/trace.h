#pragma once
// The diagnostic trace: one formatted line per call (per argument of DebugLogEach), sent to the
// debugger output on Windows (stderr on POSIX when KESTRUNE_TRACE is set). Tests install their
// own sink.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

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

// Hands finished lines to the current sink one by one; the platform's output gets them a block
// of lines at a time (TraceBlocks), since each of its calls costs some microseconds (a debugger
// output call raises an exception for a debugger to see) and a drop of a thousand files traces
// a thousand lines. Safe from any thread.
void EmitTraceLines(const std::vector<std::wstring>& lines);

// The lines in order, joined into as few blocks as keep each within maxChars; a line longer
// than that is a block of its own. A trace viewer takes a few thousand bytes at a time.
std::vector<std::wstring> TraceBlocks(const std::vector<std::wstring>& lines, size_t maxChars);

// A line that nobody gets is not even formatted.
template <typename... Args>
bool DebugLog(const wchar_t* format, const Args&... args) {
  if (IsTraceListened()) EmitTrace(Sprintf(L"%s\n", Sprintf(format, args...)));
  return true;
}

// One line of format for each of args, as DebugLog(format, arg) would write it, all handed over
// at once (EmitTraceLines).
inline void DebugLogEach(const wchar_t* format, const std::vector<std::wstring>& args) {
  if (!IsTraceListened()) return;
  std::vector<std::wstring> lines;
  lines.reserve(args.size());
  for (const std::wstring& arg : args) lines.push_back(Sprintf(L"%s\n", Sprintf(format, arg)));
  EmitTraceLines(lines);
}
