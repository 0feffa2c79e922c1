#include "batch/parallel_runs.h"

#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

void RunAtOnce(size_t count, int threads, const std::function<void(size_t)>& task) {
  std::atomic<size_t> next{0};
  auto take = [&next, count, &task] {
    for (size_t i = next++; i < count; i = next++) task(i);
  };
  size_t helpers = threads > 1 ? static_cast<size_t>(threads) - 1 : 0;
  if (helpers > count) helpers = count > 0 ? count - 1 : 0;
  std::vector<std::thread> started;
  for (size_t h = 0; h < helpers; ++h) {
    try {
      started.emplace_back(take);
    } catch (const std::system_error&) {
      break;
    }
  }
  take();
  for (std::thread& thread : started) thread.join();
}
