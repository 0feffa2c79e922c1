#pragma once
// The GPU check of a pressed Start, off the window's thread: the check may take seconds (a
// test encode, a driver that needs its time limit to be given up on), and a window that stops
// answering meanwhile looks hung. The answer comes back as a posted message; the window goes on
// with the Start it held.
#include <windows.h>

#include <thread>

#include "batch/gpu_check.h"
#include "jobs/job_settings.h"

// Posted to the window when the check has ended: the GpuDecision in wParam. The main window's
// one switch takes every WM_APP message (window_batch_host.h, main_dlg.cpp): each has a number
// of its own.
constexpr UINT WM_GPU_CHECKED = WM_APP + 5;

class CGpuCheckThread {
 public:
  CGpuCheckThread() = default;
  // A check still under way is left to end by itself (within its time limit); its message
  // then finds no window.
  ~CGpuCheckThread();
  CGpuCheckThread(const CGpuCheckThread&) = delete;
  CGpuCheckThread& operator=(const CGpuCheckThread&) = delete;

  // Starts DecideGpu on a copy of settings; false when a check is under way already.
  bool Start(HWND window, const JobSettings& settings);
  // From Start until Finish.
  bool Running() const { return thread_.joinable(); }
  // On WM_GPU_CHECKED: the thread has posted its answer and ends.
  void Finish();

 private:
  std::thread thread_;
};
