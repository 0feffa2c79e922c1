#include <windows.h>

#include <cstdint>

#include "base/format.h"
#include "base/text.h"
#include "probe/probe_runner_lock.h"

namespace {
// A mutex name may not hold backslashes: the folder is named by a hash of its path.
uint64_t HashFolder(const std::wstring& folder) {
  uint64_t hash = 1469598103934665603ULL;
  for (wchar_t c : ToLowerText(folder)) {
    hash ^= static_cast<uint16_t>(c);
    hash *= 1099511628211ULL;
  }
  return hash;
}
}  // namespace

CProbeFolderLock::CProbeFolderLock(const std::wstring& programDir) {
  std::wstring name =
      Sprintf(L"Local\\KestruneProbe-%016llX", static_cast<unsigned long long>(HashFolder(programDir)));
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  if (mutex == nullptr) return;
  // An abandoned mutex (its holder died mid-probe) is ours all the same.
  DWORD waited = WaitForSingleObject(mutex, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return;
  }
  handle_ = mutex;
}

CProbeFolderLock::~CProbeFolderLock() {
  if (handle_ == nullptr) return;
  ReleaseMutex(static_cast<HANDLE>(handle_));
  CloseHandle(static_cast<HANDLE>(handle_));
}
