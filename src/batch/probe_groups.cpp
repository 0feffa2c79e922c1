#include "batch/probe_groups.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "base/format.h"
#include "base/scratch_folder.h"
#include "batch/parallel_runs.h"

namespace {
// Files of one MediaInfo run: the run keeps every file's description until it writes them.
constexpr size_t kMostFilesAGroup = 32;
// Characters of the names of one run: Windows' command line holds 32,767, the program's path
// and the quotes included.
constexpr size_t kMostGroupCharacters = 24000;
}  // namespace

int ProbeProcessCount() {
  const unsigned cores = std::thread::hardware_concurrency();
  const int count = cores > 0 ? static_cast<int>(cores) : 1;
#ifndef _WIN32
  // A MediaInfo start costs more than a few files' reading: on cores that other programs keep
  // busy, a second run beside the first only adds its start to theirs. So only the cores the
  // last minute left idle take a group.
  double load = 0;
  if (getloadavg(&load, 1) == 1) return std::clamp(static_cast<int>(count - load + 0.5), 1, count);
#endif
  return count;
}

std::vector<std::pair<size_t, size_t>> GroupFiles(const std::vector<std::wstring>& files, int processes) {
  const size_t count = files.size();
  const size_t parts = static_cast<size_t>(std::max(processes, 1));
  // Every process gets as many groups as the others, so none is left alone at the end.
  size_t planned = std::max(parts, (count + kMostFilesAGroup - 1) / kMostFilesAGroup);
  planned = std::min((planned + parts - 1) / parts * parts, count);
  std::vector<std::pair<size_t, size_t>> groups;
  for (size_t begin = 0; begin < count;) {
    const size_t groupsLeft = planned > groups.size() ? planned - groups.size() : 1;
    const size_t size = std::min((count - begin + groupsLeft - 1) / groupsLeft, kMostFilesAGroup);
    size_t end = begin;
    size_t characters = 0;
    // Every group takes at least one file, however long its name.
    while (end < count && end - begin < size &&
           (end == begin || characters + files[end].size() + 3 <= kMostGroupCharacters)) {
      characters += files[end].size() + 3;
      ++end;
    }
    groups.emplace_back(begin, end);
    begin = end;
  }
  return groups;
}

bool ProbeFileGroups(const std::vector<std::wstring>& files, int processes,
                     const GroupProbeFunction& probeGroup, std::vector<MediaDesc>& media,
                     std::vector<char>& probed, const std::function<bool()>& stop) {
  media.resize(files.size());
  probed.assign(files.size(), 0);
  CScratchFolder reports("probes");
  if (!reports.Made()) return false;
  const std::vector<std::pair<size_t, size_t>> groups = GroupFiles(files, processes);
  RunAtOnce(groups.size(), processes, [&](size_t g) {
    if (stop && stop()) return;
    const size_t begin = groups[g].first, end = groups[g].second;
    const std::vector<std::wstring> paths(files.begin() + begin, files.begin() + end);
    std::vector<MediaDesc> found;
    std::vector<char> read;
    probeGroup(paths, found, read, reports.File(Sprintf(L"media-%d.txt", static_cast<int>(g))));
    // Each group writes only its own entries.
    for (size_t i = 0; i < paths.size() && i < found.size() && i < read.size(); ++i) {
      media[begin + i] = found[i];
      probed[begin + i] = read[i];
    }
  });
  return true;
}
