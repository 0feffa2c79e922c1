#pragma once
// Runs a number of independent tasks on up to a given number of threads at once, the calling
// thread being one of them; returns when every task has run. Tasks are taken in order, so the
// first ones start first.
#include <cstddef>
#include <functional>

// task(i) runs once for every i from 0 to count - 1. When no further thread can be started,
// the ones that could (at least the caller's) take every task.
void RunAtOnce(size_t count, int threads, const std::function<void(size_t)>& task);
