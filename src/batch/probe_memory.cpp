#include "batch/probe_memory.h"

#include <utility>

#include "base/file_identity.h"
#include "base/file_util.h"

namespace {
bool StampOf(const std::wstring& path, int64_t& size, int64_t& modified, std::wstring& identity) {
  if (!GetFileStamp(path, size, modified)) return false;
  identity = FileIdentity(path);
  return true;
}
}  // namespace

void CProbeMemory::Remember(const std::wstring& path, const MediaDesc& media) {
  CEntry entry;
  if (!StampOf(path, entry.size, entry.modified, entry.identity)) return;
  entry.media = media;
  std::lock_guard<std::mutex> guard(lock_);
  if (entries_.size() >= kMostEntries) entries_.clear();
  entries_[path] = std::move(entry);
}

bool CProbeMemory::Recall(const std::wstring& path, MediaDesc& media) const {
  CEntry now;
  if (!StampOf(path, now.size, now.modified, now.identity)) return false;
  std::lock_guard<std::mutex> guard(lock_);
  auto found = entries_.find(path);
  if (found == entries_.end() || found->second.size != now.size || found->second.modified != now.modified ||
      found->second.identity != now.identity)
    return false;
  media = found->second.media;
  return true;
}

ProbeFunction RecallingProbe(std::shared_ptr<CProbeMemory> memory, ProbeFunction probe) {
  return [memory = std::move(memory), probe = std::move(probe)](const std::wstring& path, MediaDesc& media) {
    if (memory->Recall(path, media)) return true;
    if (!probe(path, media)) return false;
    memory->Remember(path, media);
    return true;
  };
}
