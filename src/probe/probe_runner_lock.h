#pragma once
// Every probe of one program folder writes the same media.txt there, whether it runs on
// another thread or in another process (a second copy of the program, the command line, a
// test running beside another). This lock, held for the whole of a probe, lets one probe of
// a folder run at a time across processes; the runner's own mutex orders the threads.
#include <string>

class CProbeFolderLock {
 public:
  // Waits until no other process probes in programDir (the current folder when empty).
  explicit CProbeFolderLock(const std::wstring& programDir);
  ~CProbeFolderLock();
  CProbeFolderLock(const CProbeFolderLock&) = delete;
  CProbeFolderLock& operator=(const CProbeFolderLock&) = delete;

 private:
  void* handle_ = nullptr;  // the named mutex on Windows
  int fd_ = -1;             // the folder, locked with flock, on POSIX
};
