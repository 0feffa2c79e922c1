#include "ui/gpu_check_thread.h"

CGpuCheckThread::~CGpuCheckThread() {
  if (thread_.joinable()) thread_.detach();
}

// The thread uses nothing of the window but its handle: it may end after the window has gone.
bool CGpuCheckThread::Start(HWND window, const JobSettings& settings) {
  if (Running()) return false;
  thread_ = std::thread([window, settings] {
    GpuDecision decision = DecideGpu(settings);
    PostMessageW(window, WM_GPU_CHECKED, static_cast<WPARAM>(decision), 0);
  });
  return true;
}

void CGpuCheckThread::Finish() {
  if (thread_.joinable()) thread_.join();
}
