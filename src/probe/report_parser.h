#pragma once
// Reads MediaInfo's plain-text report (media.txt) into a MediaDesc. The report is a run of
// sections, each a header line ("General", "Video", "Audio #2", ...) followed by lines of the
// form "key   : value". A line-by-line state machine: SplitReportLine cuts a line apart,
// MediaLineMatch stores what it recognises for the current section and returns the section of
// the next line, ParseMediaReportText drives both over the report's lines in memory, and
// ParseMediaReport reads the report file for it. Nothing is ever rejected: what is not recognised is skipped.
#include <string>
#include <string_view>

#include "probe/media_desc.h"

struct ReportLine {
  std::wstring key;    // before the first colon, trimmed; the whole trimmed line without one
  std::wstring value;  // from two characters after the colon, trimmed; empty without a colon
  int number;          // leading integer of value once its blanks are removed; 0 without one
};

// The state carried from line to line. Audio track n (1 to 10) is SECTION_AUDIO_FIRST + n - 1.
// Any value outside these selects nothing: its lines are ignored until the next header.
enum ReportSection : int {
  SECTION_NONE = 0,
  SECTION_GENERAL = 1,
  SECTION_VIDEO = 2,
  SECTION_IMAGE = 3,
  SECTION_AUDIO_FIRST = 11,
  SECTION_AUDIO_LAST = 20,
  // Tracks past MAX_AUDIO_TRACKS: the record has no room for them, so their lines are skipped.
  SECTION_AUDIO_BEYOND = 21,
  SECTION_TEXT = 30,
};

constexpr int MAX_REPORT_LINES = 10000;
// Multiplier of the estimate of a missing audio bit rate (stream size / seconds). The command
// builder's bit-rate choices are tuned to figures made with exactly this factor.
constexpr double AUDIO_BITRATE_FACTOR = 0.1193;

// Fills out from one report line (trailing line break already removed or not).
void SplitReportLine(const std::wstring& line, ReportLine& out);

// Stores what line says about the media in the given section and returns the section of the
// next line. Changes nothing but media.
int MediaLineMatch(const ReportLine& line, int section, MediaDesc& media);

// Clears every field of media but filePath, then reads the report at reportPath and parses it
// with ParseMediaReportText. False when the file cannot be read.
bool ParseMediaReport(const std::wstring& reportPath, MediaDesc& media);

// Clears every field of media but filePath, then parses the report held in memory as the file
// holds it: its first MAX_REPORT_LINES lines, cut and converted as CFileUtil::ReadTextLines
// reads them. True when there are at least 3 lines and they describe an audio track or a
// picture width.
bool ParseMediaReportText(std::string_view report, MediaDesc& media);
