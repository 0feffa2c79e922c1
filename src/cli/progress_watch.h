#pragma once
// While it lives, the process's standard error, which the commands it runs inherit, flows
// through a pipe: ffmpeg's statistics lines are turned into one progress line on the terminal,
// every other line passes through unchanged. The command text stays exactly what it is; only
// where ffmpeg's own report lands changes. On Windows it does nothing.
#include <memory>
#include <string>

class CProgressWatch {
 public:
  // total: the expected length in seconds; 0 to take the first input's "Duration:".
  CProgressWatch(const std::string& counter, const std::string& name, double total);
  ~CProgressWatch();  // restores standard error and clears the progress line
  CProgressWatch(const CProgressWatch&) = delete;
  CProgressWatch& operator=(const CProgressWatch&) = delete;

  struct CState;

 private:
  std::unique_ptr<CState> state_;
};
