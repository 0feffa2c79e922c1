#include <mutex>

#include "base/program_dir.h"

namespace {
std::mutex dirLock;
std::wstring programDir;
}  // namespace

std::wstring ProgramDir() {
  std::lock_guard<std::mutex> guard(dirLock);
  return programDir;
}

void SetProgramDir(const std::wstring& dir) {
  std::lock_guard<std::mutex> guard(dirLock);
  programDir = dir;
}
