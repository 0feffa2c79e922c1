#pragma once
// The Korean summary lines of a probed file, for the trace.
#include <string>

#include "probe/media_desc.h"

// Appends the whole-file line, the video line and one line per audio track to text.
void FormatMediaSummary(const MediaDesc& media, std::wstring& text);
