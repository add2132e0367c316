#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "counting/bigcount.h"

namespace varno {

// Exact totals of one ring size.
struct RingCount {
  int dice = 0;
  int faces = 0;
  BigCount labellings;      // all labellings with the number 1 on the first die
  BigCount rings;           // labellings in which every die beats its successor
  int bestWeakestLink = 0;  // largest weakest link over all rings, in wins out of faces^2; 0 without rings
};

struct RingCounterOptions {
  unsigned threads = 0;                // worker threads; 0 uses every hardware thread
  std::uint64_t memoryLimitBytes = 0;  // refuse sizes needing more; 0 means 90% of the available memory
};

// Counts the rings of one size exactly, without visiting them one by one.
//
// The labelling is read as a word over the dice in increasing order of the numbers. A number placed on
// die i is larger than every face placed so far, so die i-1 loses to it once per face die i-1 already
// holds. A dynamic programme over the face counts and the per-pair losses (see CountPlan) counts all
// words whose pairs can still be won, layer by layer, and tracks the smallest possible largest loss,
// which gives the best weakest link. Words are counted for every starting die at once and divided by
// the number of dice at the end, which lets each block stand for all of its rotations.
//
// The count runs on a worker thread started by start(); progress() and cancel() are safe to call from
// any thread at any time, e.g. from a GUI timer.
class RingCounter {
 public:
  enum class State { Ready, Running, Finished, Cancelled, Failed };

  struct Estimate {
    std::uint64_t peakCells = 0;   // states held at the fullest moment
    std::uint64_t totalCells = 0;  // states over all layers
    std::uint64_t peakBytes = 0;   // memory needed for them
    int cellBits = 0;              // width of one count: 64, 128 or 256
  };

  // Throws std::invalid_argument for sizes outside 3..8 dice and 1..8 faces.
  RingCounter(int dice, int faces, RingCounterOptions options = {});
  ~RingCounter();  // cancels and waits for the worker
  RingCounter(const RingCounter&) = delete;
  RingCounter& operator=(const RingCounter&) = delete;

  // Starts the worker thread; only valid once, in state Ready.
  void start();
  // Asks the worker to stop; it notices within a few milliseconds. Does not wait.
  void cancel();
  // Blocks until the worker has ended (returns at once if it never started).
  void wait();

  State state() const { return state_.load(); }
  // Share of the work done, in [0, 1]; proportional to running time within a size.
  double progress() const;
  // The totals once state() is Finished.
  std::optional<RingCount> result() const;
  // Why the count failed (e.g. not enough memory), once state() is Failed.
  std::string errorMessage() const;

  // Starts, waits and returns the totals; throws std::runtime_error if the count fails or is cancelled.
  RingCount run();

  // Memory and state counts of a size, without counting. Cheap: a fraction of a second even for 8x8.
  static Estimate estimate(int dice, int faces);
  // The memory a count may use: `limit`, or without one 90% of the memory available now.
  static std::uint64_t memoryAllowed(std::uint64_t limit = 0);
  // (n*k)! / (k!^n * n), the number of labellings.
  static BigCount labellingCount(int dice, int faces);

 private:
  void work();

  int dice_;
  int faces_;
  RingCounterOptions options_;
  std::atomic<State> state_{State::Ready};
  std::atomic<bool> cancelRequested_{false};
  std::atomic<std::uint64_t> workDone_{0};
  std::atomic<std::uint64_t> workTotal_{0};
  mutable std::mutex mutex_;  // guards result_ and error_
  std::optional<RingCount> result_;
  std::string error_;
  std::thread worker_;
};

}  // namespace varno
