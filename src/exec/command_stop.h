#pragma once
// Ends command lines that run on other threads: Stop() ends every program they are running now
// and no further command of theirs starts. One stop may serve several lines at once (the runs
// of a batch) and is never reset: a stopped run stays stopped.
#include <functional>
#include <map>
#include <mutex>

class CCommandStop {
 public:
  // Any thread, any number of times.
  void Stop();
  bool Stopped() const;

  // For whoever starts a program under this stop: end must end that program (and what it
  // started), or wake the thread that ends it. Returns a ticket for Remove, or 0 when the stop
  // has already come; the caller then ends the program itself.
  int Add(std::function<void()> end);
  void Remove(int ticket);

 private:
  mutable std::mutex lock_;
  bool stopped_ = false;
  int nextTicket_ = 1;
  std::map<int, std::function<void()>> running_;
};
