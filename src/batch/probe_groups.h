#pragma once
// Probing a whole list before its commands are built. One MediaInfo run over several files
// costs little more than a run over one, and the runs of two cores take about as long as one:
// so the list is cut into groups in its own order, and up to one group per core is probed at
// once, each by one call of the group probe (ProbeMediaFilesTogether in the program) with a
// report file of its own in a private scratch folder.
#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "probe/media_desc.h"

// Probes paths into media and probed (one entry each; probed[i] set when paths[i] was read),
// writing its report to reportPath.
using GroupProbeFunction =
    std::function<void(const std::vector<std::wstring>& paths, std::vector<MediaDesc>& media,
                       std::vector<char>& probed, const std::wstring& reportPath)>;

// Groups probed at once: one per core; on POSIX one per core that the load average says is
// idle, and at least one.
int ProbeProcessCount();

// The groups of files, as [begin, end) ranges that cover the list in order: a multiple of
// processes of about even size (fewer for a short list), none of more than 32 files, nor of
// names longer together than Windows' command line can carry.
std::vector<std::pair<size_t, size_t>> GroupFiles(const std::vector<std::wstring>& files, int processes);

// Fills media[i] and probed[i] for every files[i], up to processes groups at once. stop, when
// given, is asked before each group: a group that does not start stays unprobed. False when no
// scratch folder could be made for the reports; nothing was probed then.
bool ProbeFileGroups(const std::vector<std::wstring>& files, int processes,
                     const GroupProbeFunction& probeGroup, std::vector<MediaDesc>& media,
                     std::vector<char>& probed, const std::function<bool()>& stop = nullptr);
