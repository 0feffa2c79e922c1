#pragma once
// MediaInfo given several files writes one report, a section for each file in the order they
// were given. Each section opens with the line "General" (first in the report or after a blank
// line: the parts of one file, "Video", "Audio #2", ..., are separated by blank lines too), and
// its first part holds the line "Complete name   : NAME", the name as it was given. MediaInfo
// writes a line break inside any value (a name or a tag) as " / ", so no value can make a line
// of its own, and a section begins only where MediaInfo began one. Cut there, each section is
// the text a report of that file alone would hold.
#include <string>
#include <string_view>
#include <vector>

// The section of each of names, in order; an empty one where the report does not surely hold
// that file's. A section is taken only for the next name expected, and only when its
// "Complete name" line gives exactly that name (decoded as the report parser decodes lines):
// the first section that does not (a file MediaInfo could not open and left out, a name it
// writes otherwise) ends what is trusted, and that name and every one after it get none. A
// later name that matched would prove nothing: a name holding a line feed, written as " / ",
// gives exactly the section of another name that holds " / ". A report that does not open
// with a section is trusted for no file.
std::vector<std::string_view> SplitMediaReport(std::string_view report,
                                               const std::vector<std::wstring>& names);
