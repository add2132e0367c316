#pragma once

#include <gmpxx.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "counting/ringcounter.h"

namespace varno {

// How many rings of a size have each weakest link: the wins of their weakest pair.
struct Spectrum {
  int dice = 0;
  int faces = 0;
  // The weakest link of a ring wins more than half of the k*k face pairs: at least this many.
  int leastLink = 0;
  // The largest weakest link of any ring; 0 without rings.
  int bestWeakestLink = 0;
  // rings[i]: the rings "rechtsrum" with the 1 on the first die whose weakest link is exactly
  // leastLink + i, up to the best link; empty without rings.
  std::vector<mpz_class> rings;

  int linkOf(std::size_t index) const { return leastLink + static_cast<int>(index); }
  // All rings: the ring count of the size.
  mpz_class total() const;
};

// Counts the rings of every weakest link. A count with the loss limit k*k - m (RingCounterOptions::
// lossLimit) takes the rings whose weakest link is at least m; the difference of two neighbouring limits
// those whose weakest link is exactly m. The best link comes from StrongestRing: no ring reaches one more.
// The counts shrink fast as m rises, so the whole spectrum costs a small multiple of the ring count.
//
// Runs on a worker thread like RingCounter; progress() and cancel() are safe to call from any thread.
class SpectrumCounter {
 public:
  using State = RingCounter::State;

  // Throws std::invalid_argument as RingCounter does; the options' loss limit is not used.
  SpectrumCounter(int dice, int faces, RingCounterOptions options = {});
  ~SpectrumCounter();  // cancels and waits for the worker
  SpectrumCounter(const SpectrumCounter&) = delete;
  SpectrumCounter& operator=(const SpectrumCounter&) = delete;

  void start();
  void cancel();
  void wait();

  State state() const { return state_.load(); }
  // Share of the work done, in [0, 1], each count weighted by its estimated time.
  double progress() const;
  std::optional<Spectrum> result() const;
  std::string errorMessage() const;

  // Starts, waits and returns the spectrum; throws std::runtime_error if it fails or is cancelled.
  Spectrum run();

  // What the spectrum needs: it fits where the ring count fits (every tighter count needs less), and takes
  // the time of all its counts together. `stop` is polled throughout; nothing is returned when it asks to.
  static std::optional<RingCounter::Estimate> estimate(int dice, int faces, const RingCounterOptions& options,
                                                       const std::function<bool()>& stop = {});

 private:
  void work();

  int dice_;
  int faces_;
  RingCounterOptions options_;
  std::atomic<State> state_{State::Ready};
  std::atomic<bool> cancelRequested_{false};
  mutable std::mutex mutex_;  // guards everything below
  RingCounter* current_ = nullptr;
  double doneWeight_ = 0;     // of the counts finished
  double currentWeight_ = 0;  // of the count running
  std::optional<Spectrum> result_;
  std::string error_;
  std::thread worker_;
};

}  // namespace varno
