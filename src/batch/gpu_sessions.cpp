#include "batch/gpu_sessions.h"

bool IsGpuSessionRefusal(std::string_view ffmpegOutput) {
  return ffmpegOutput.find("OpenEncodeSessionEx failed") != std::string_view::npos;
}

bool CGpuSessions::Take(const std::atomic<bool>& stopping) {
  std::unique_lock<std::mutex> guard(lock_);
  changed_.wait(guard, [&] { return free_ > 0 || stopping; });
  if (stopping) return false;
  --free_;
  return true;
}

void CGpuSessions::Give() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    ++free_;
  }
  changed_.notify_one();
}

void CGpuSessions::WakeAll() {
  // The lock orders the wake after a waiter's look at stopping, so none sleeps through it.
  { std::lock_guard<std::mutex> guard(lock_); }
  changed_.notify_all();
}
