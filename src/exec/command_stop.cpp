#include "exec/command_stop.h"

void CCommandStop::Stop() {
  std::lock_guard<std::mutex> guard(lock_);
  stopped_ = true;
  // Under the lock, so a program is never ended after its starter has removed it (its process
  // may be gone and its id reused by then).
  for (auto& entry : running_) entry.second();
}

bool CCommandStop::Stopped() const {
  std::lock_guard<std::mutex> guard(lock_);
  return stopped_;
}

int CCommandStop::Add(std::function<void()> end) {
  std::lock_guard<std::mutex> guard(lock_);
  if (stopped_) return 0;
  int ticket = nextTicket_++;
  running_.emplace(ticket, std::move(end));
  return ticket;
}

void CCommandStop::Remove(int ticket) {
  std::lock_guard<std::mutex> guard(lock_);
  running_.erase(ticket);
}
