// Running one piece of work on several threads at once.
#pragma once

#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace varno {

// Runs `worker` on `threads` threads (this one among them) and waits for all; the first exception any of
// them throws is thrown again here once all have ended.
template <typename Worker>
void runOnThreads(unsigned threads, Worker& worker) {
  if (threads <= 1) {
    worker();
    return;
  }
  std::exception_ptr failure;
  std::mutex failureMutex;
  auto guarded = [&] {
    try {
      worker();
    } catch (...) {
      std::lock_guard lock(failureMutex);
      if (!failure) failure = std::current_exception();
    }
  };
  std::vector<std::thread> pool;
  for (unsigned t = 1; t < threads; ++t) pool.emplace_back(guarded);
  guarded();
  for (auto& thread : pool) thread.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace varno
