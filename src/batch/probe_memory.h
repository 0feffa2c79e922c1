#pragma once
// What probes told of files, kept while each file stays as it was. The window probes (and
// measures) a file when it is clicked; the preview built for it and a run started just after
// take that description instead of asking MediaInfo again, which under a slow start of programs
// (Wine) is most of what a short run costs beyond its ffmpeg.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "batch/file_command.h"
#include "probe/media_desc.h"

class CProbeMemory {
 public:
  // Keeps media as the description of path as the file is now (its size, modification time
  // and identity). Any thread.
  void Remember(const std::wstring& path, const MediaDesc& media);
  // The description kept of path, while the file still has the size, time and identity it had
  // then; false otherwise (and for a path never kept). Any thread.
  bool Recall(const std::wstring& path, MediaDesc& media) const;

 private:
  struct CEntry {
    int64_t size = -1;
    int64_t modified = 0;
    std::wstring identity;
    MediaDesc media;
  };
  // The files a user clicks are a few at a time; beyond this many the memory starts again.
  static constexpr size_t kMostEntries = 64;
  mutable std::mutex lock_;
  std::map<std::wstring, CEntry> entries_;
};

// A probe that answers from memory where it can, and otherwise probes with probe and keeps what
// it told.
ProbeFunction RecallingProbe(std::shared_ptr<CProbeMemory> memory, ProbeFunction probe);
