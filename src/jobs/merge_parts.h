#pragma once
// Whether the parts of a merge of files can be joined end to end: the join copies every stream
// as it is, so parts whose streams differ (another picture size, frame rate or codec, other
// audio) make a joined file that plays wrong. The parts are compared with the first one, from
// their probes, before anything runs.
#include <string>
#include <vector>

#include "base/texts.h"
#include "probe/media_desc.h"

// The first difference of a part from the first part, in list order; within a part in this
// order: video or none, video codec, picture size, frame rate, number of audio tracks, then
// each track's codec, channels and sample rate. A figure that either probe left unknown (0)
// is not compared. No refusal when the parts agree, nor when a part could not be probed
// (probed[i] == 0): its remux is skipped, and the join with it. The refusal names the part by
// its file name, its figure and the first part's (TXT_REFUSE_JOIN_...).
CRefusal CompareMergeParts(const std::vector<std::wstring>& files, const std::vector<MediaDesc>& media,
                           const std::vector<char>& probed);
