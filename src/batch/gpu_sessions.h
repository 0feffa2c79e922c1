#pragma once
// NVIDIA's encoder takes only so many encode sessions at once (consumer cards a few), and an
// ffmpeg that asks for one more fails with "OpenEncodeSessionEx failed". A run of several files
// at once therefore lets only a number of NVENC encodes run together; the others wait their
// turn, taking nothing from the files that need no session.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string_view>

// Encodes at once unless the user says otherwise (kestrune --gpu-sessions).
constexpr int kDefaultGpuSessions = 3;
// More than any card allows.
constexpr int kMostGpuSessions = 64;

// True when ffmpeg's output says the GPU refused one more encode session.
bool IsGpuSessionRefusal(std::string_view ffmpegOutput);

class CGpuSessions {
 public:
  explicit CGpuSessions(int most) : free_(most > 0 ? most : 1) {}

  // Waits for a session and takes it; false, taking none, when stopping is (or becomes) set:
  // a run that stops starts nothing more. WakeAll makes a waiting call look again.
  bool Take(const std::atomic<bool>& stopping);
  void Give();
  void WakeAll();

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  int free_;
};
