#pragma once

#include <gmpxx.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "counting/exchange.h"

namespace varno {

// Exact totals of one ring size.
struct RingCount {
  int dice = 0;
  int faces = 0;
  mpz_class labellings;     // all labellings with the number 1 on the first die
  mpz_class rings;          // labellings in which every die beats its successor (within the loss limit)
  int bestWeakestLink = 0;  // largest weakest link over all rings, in wins out of faces^2; 0 without rings
  // A count of one pass only (RingCounterOptions::pass): that pass, and the rings modulo its prime,
  // Modular::kPrimes[pass - 1]; `rings` stays 0 then.
  int pass = 0;
  std::uint32_t ringsResidue = 0;
  // Counted on disk: the most bytes the layer files of this process held at once in any pass, unpacked.
  std::uint64_t diskPeakBytes = 0;
};

enum class CountMethod {
  Automatic,  // in memory if it fits there, else on disk in the work directory if it fits there
  Memory,
  Disk,
};

// What a count may use. The machine's own figures are only defaults, so that a count can be planned for
// another machine, and tests do not depend on the one they run on.
struct RingCounterOptions {
  unsigned threads = 0;                // worker threads; 0 uses every hardware thread
  std::uint64_t memoryLimitBytes = 0;  // memory a count may use; 0 means 90% of the memory available now
  std::string workDirectory;           // where a count may write files; empty: nowhere (memory only)
  std::uint64_t diskLimitBytes = 0;    // disk a count may use there; 0 means 90% of the space free now
  CountMethod method = CountMethod::Automatic;
  bool meet = true;      // meet in the middle; false reads every number upwards (slower, a cross-check)
  int primesAtOnce = 0;  // primes counted in one pass, 1..6; 0: as many as the memory allows
  // Primes in all, from those the size needs (every count of this size is below their product) to 6;
  // 0: as few as needed. More primes than needed give the same count, and so do the following: they
  // let a small count take the paths only large ones take otherwise.
  int primes = 0;
  // Count the negated number of words in every state, so that residues are as large as the primes allow
  // and every sum wraps around its prime, as in the largest counts.
  bool negateResidues = false;
  // The most face pairs any pair of a ring counted may lose: -1 for every ring (a won pair loses at most
  // floor((k*k - 1) / 2)), or a tighter limit L from 0 up, which counts only the rings whose weakest link
  // is at least k*k - L. A count with a tighter limit keeps no layers and cannot resume.
  int lossLimit = -1;
  // Keep a finished layer in the work directory, so that a later count can resume from it, whenever this
  // long has passed since the count began or last kept one (0: every layer); negative: never. A count
  // in memory keeps layers only where the disk allowed holds one.
  double keepEverySeconds = -1;
  bool resume = false;  // go on from the layer kept by an earlier count of the same size and setup
  // Count this pass only, from 1, of a count with one prime per pass (primesAtOnce 0 or 1), so that the
  // passes of one count can run apart and RingCounter::join() joins their residues; 0: every pass. Such
  // a pass keeps no layers and cannot resume. Its estimate gives the time, traffic and work of that pass.
  int pass = 0;
  double workPerSecond = 0;       // speed of one thread in work units (see estimate); 0: a typical machine's
  double diskBytesPerSecond = 0;  // reading and writing layer files; 0: a typical disk's
  std::uint64_t bandBytes = 0;   // Disk: memory for one band of targets with its sources; 0: the memory limit
  std::uint64_t pieceBytes = 0;  // Disk: bytes of a block packed as one piece; 0: LayerStore::kPieceBytes
  Exchange* exchange = nullptr;  // processes sharing the count (each given the same options); null: just this
  // Told on the worker thread when a layer is complete: the pass (from 0) and the layer (from 1).
  std::function<void(int pass, int layer)> layerDone;
};

// Counts the rings of one size exactly, without visiting them one by one.
//
// The labelling is read as a word over the dice in increasing order of the numbers; a dynamic programme
// over the face counts and the per-pair losses (CountPlan, LayerSweep) counts all words whose pairs are
// all won, meeting in the middle. Words are counted for every starting die at once and divided by the
// number of dice at the end, which lets each block stand for all of its rotations.
//
// The count is made modulo a few primes below 2^31, as many at once as the memory allows, in as many
// passes as needed, and the residues are joined exactly (Modular). The best weakest link comes from
// StrongestRing, which needs no state of the count at all.
//
// The count runs on a worker thread started by start(); progress() and cancel() are safe to call from
// any thread at any time, e.g. from a GUI timer.
class RingCounter {
 public:
  enum class State { Ready, Running, Finished, Cancelled, Failed };

  struct Estimate {
    std::uint64_t peakCells = 0;   // states held at the fullest moment of a count in memory
    std::uint64_t totalCells = 0;  // states over all layers 0..n*k (a count meeting in the middle builds
                                   // those up to n*k/2 only; `seconds` says how long it takes)
    std::uint64_t peakBytes = 0;   // memory a count in memory needs at least (one prime at a time)
    int cellBits = 0;              // bits per state of the count as planned: 32 per prime at once
    // The count as it would run with the options given.
    bool fits = false;                         // false: neither memory nor disk suffices
    CountMethod method = CountMethod::Memory;  // Memory or Disk
    int primes = 0;                            // primes needed for an exact count
    int primesAtOnce = 0;                      // primes per pass
    int passes = 0;
    std::uint64_t memoryBytes = 0;  // memory each process needs
    // Disk each process needs (on disk, when nothing fits), with its layers unpacked: packed they need
    // less, how much less depends on the size (see docs/architecture.md).
    std::uint64_t diskBytes = 0;
    std::uint64_t receivedBytes = 0;  // bytes each process receives from the others, over all passes
    std::uint64_t work = 0;           // work units of each process over all passes
    double seconds = 0;               // running time at the speed given
  };

  // Throws std::invalid_argument for sizes outside 3..8 dice and 1..8 faces, and for options out of range.
  RingCounter(int dice, int faces, RingCounterOptions options = {});
  ~RingCounter();  // cancels and waits for the worker
  RingCounter(const RingCounter&) = delete;
  RingCounter& operator=(const RingCounter&) = delete;

  // Starts the worker thread; only valid once, in state Ready.
  void start();
  // Asks the worker to stop; it ends within a few milliseconds. Does not wait.
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
  // How the count runs, once it has made its plan (estimate() for this count's options).
  std::optional<Estimate> plan() const;

  // Starts, waits and returns the totals; throws std::runtime_error if the count fails or is cancelled.
  RingCount run();

  // What a count of this size needs and how long it takes, without counting, on this machine or one with
  // the figures in `options` (its exchange is not used). Quick for a count in memory: well under 0.1 s
  // even for 8x8; with a work directory (the disk method) it looks at every step, which takes longer.
  static Estimate estimate(int dice, int faces, const RingCounterOptions& options = {});
  // The same for process `rank` of a count spread over `processes` processes, or with rank -1 for the
  // fullest of them (each figure the largest of any process; fits when every process fits). `stop` is
  // polled throughout, and nothing is returned when it asks to stop; `progress` is told each process
  // before it is looked at.
  static std::optional<Estimate> estimateFor(int dice, int faces, int processes, int rank,
                                             const RingCounterOptions& options,
                                             const std::function<bool()>& stop = {},
                                             const std::function<void(int rank)>& progress = {});
  // The memory a count may use: `limit`, or without one 90% of the memory available now.
  static std::uint64_t memoryAllowed(std::uint64_t limit = 0);
  // (n*k)! / (k!^n * n), the number of labellings.
  static mpz_class labellingCount(int dice, int faces);
  // The count from the rings residues of every pass of one prime each, pass I's at index I - 1, and the
  // best weakest link the passes found. Throws std::invalid_argument for too few or too many residues
  // or one not below its prime, and std::runtime_error when they fail the checks of a count.
  static RingCount join(int dice, int faces, const std::vector<std::uint32_t>& ringsResidues,
                        int bestWeakestLink);

 private:
  void work();
  bool cancelled() const { return cancelRequested_.load(std::memory_order_relaxed); }

  int dice_;
  int faces_;
  RingCounterOptions options_;
  std::atomic<State> state_{State::Ready};
  std::atomic<bool> cancelRequested_{false};
  // Progress: the work done and to do, each unit weighted by the cost of its pass.
  std::atomic<std::uint64_t> done_{0};
  std::atomic<double> total_{0};
  mutable std::mutex mutex_;  // guards result_, error_ and plan_
  std::optional<RingCount> result_;
  std::optional<Estimate> plan_;
  std::string error_;
  std::thread worker_;
};

}  // namespace varno
