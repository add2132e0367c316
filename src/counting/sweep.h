#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "counting/countplan.h"
#include "counting/exchange.h"
#include "counting/modular.h"
#include "counting/partition.h"
#include "counting/storage.h"

namespace varno {

enum class Storage {
  Memory,  // each layer in memory, sources given back as soon as they are read for the last time
  Disk,    // each layer packed in a file, read in bands of targets that fit in memory with their sources
};

struct SweepSettings {
  bool meet = true;  // meet in the middle; false reads every number upwards (slower, a cross-check)
  int residues = 1;  // primes counted at once, 1..Modular::kMaxPrimes
  std::array<std::uint32_t, Modular::kMaxPrimes> primes{};
  // Start from -1 instead of 1, so that every state holds the negated count: a large residue, as in the
  // largest counts. Meeting in the middle multiplies two negated halves and gives the count itself.
  bool negate = false;
  unsigned threads = 1;
  Storage storage = Storage::Memory;
  std::string directory;         // Disk: where the layer files go
  std::uint64_t bandBytes = 0;   // Disk: memory for one band's targets and sources
  std::uint64_t pieceBytes = 0;  // Disk: bytes of a block packed as one piece; 0: LayerStore::kPieceBytes
  Exchange* exchange = nullptr;  // null: this process holds every block
};

struct SweepControl {
  const std::atomic<bool>* cancel = nullptr;   // set: the sweep throws CountCancelled soon
  std::atomic<std::uint64_t>* done = nullptr;  // work done so far, times `unit`
  std::uint64_t unit = 1;
};

// A finished layer of this process, kept in a file, from which a sweep can go on.
struct SavedLayer {
  int layer = 0;
  LayerFile file;
};

// One pass of the counter: counts ring words modulo up to six primes at once, layer by layer.
//
// Layer m holds, per state, the number of words of m letters that reach it (see CountPlan). A target
// block of layer m takes from the source blocks "target minus one face on die j" of layer m-1, each
// state moved to the state its new face leads to; states that lose a pair for certain are dropped.
//
// Meeting in the middle: reading the numbers downwards is the same problem with the dice numbered
// backwards, so the words of the numbers above a state are counted by the same layers, read at the
// mirrored state (CountPlan::mirror). With M = ceil(n*k / 2), a ring word is a word of layer M joined
// with a word of the numbers above it whose losses, added to the state's, stay within the loss limit
// in every pair. So the sweep stores the layers up to M - 1 only; each block C of layer M is built in
// turn, with its mirror D (of layer M when n*k is even, of layer M - 1 when odd). Summing D over all
// smaller loss vectors (a prefix sum per pair) turns "losses within the limit" into one lookup per
// state of C. Each block stands for its rotations, so C's sum is weighted by their number.
//
// Without meeting, the sweep runs to layer n*k, whose only state counts the ring words.
class LayerSweep {
 public:
  // Called after each stored layer is complete; `keep(path)` writes this process's part of it to a file.
  using Keep = std::function<void(const std::string&)>;
  using LayerFinished = std::function<void(int layer, const Keep& keep)>;

  LayerSweep(const CountPlan& plan, const Partition& partition, SweepSettings settings, SweepControl control);
  ~LayerSweep();
  LayerSweep(const LayerSweep&) = delete;
  LayerSweep& operator=(const LayerSweep&) = delete;

  // The ring words modulo each prime (every process gets them), from the empty word or from a saved
  // layer. Throws CountCancelled when cancelled.
  std::vector<std::uint32_t> run(const std::optional<SavedLayer>& from = {},
                                 const LayerFinished& finished = {});
  // On disk: the most bytes this process's layer files held at once, as the blocks they hold unpacked
  // (packed, the files hold less). Needs::diskCells bounds it.
  std::uint64_t diskPeakBytes() const;

  // The layers a sweep stores: 0..lastStoredLayer.
  static int lastStoredLayer(const CountPlan& plan, bool meet);
  // The bytes of this process's part of a layer that keep() writes, and the version of their layout:
  // a layer kept by another layout cannot be resumed from.
  static std::uint64_t keptBytes(const Partition& partition, int layer, int rank, int residues);
  static constexpr int kLayerFormat = 1;
  // What one process of a sweep needs, in cells (a cell holds one residue per prime counted at once).
  struct Needs {
    // Work of each step, in units proportional to its running time: step m builds layer m, the last one
    // is the meeting step of a count that meets in the middle. Index 0 is unused.
    std::vector<std::uint64_t> stepWork;
    std::uint64_t memoryCells = 0;  // Memory: held at the fullest moment, sources given back after use
    std::uint64_t diskCells = 0;    // Disk: layer files at their fullest, sources given back after use
    // Disk, keeping layers for resuming: as diskCells, and besides the layer kept last and the one that
    // replaces it.
    std::uint64_t layerCells = 0;
    std::uint64_t jobCells = 0;  // Disk: the least memory for a band, the largest job with its sources
    // The meeting step's room for a block, its mirror and a copy, per job, largest first (the largest
    // few only): as many jobs run at once as there are threads.
    std::vector<std::uint64_t> scratch;
    std::uint64_t receivedCells = 0;  // copies of other processes' blocks over the whole sweep
    std::uint64_t diskTraffic = 0;    // Disk: cells written and read over the whole sweep

    std::uint64_t scratchCells(unsigned threads) const;
  };
  // All of it, step by step.
  // `stop` is polled between steps.
  static Needs needs(const CountPlan& plan, const Partition& partition, bool meet, int rank,
                     const std::function<bool()>& stop = {});
  // Only stepWork, memoryCells and scratch, for one process; quick even for 8x8, as it looks at
  // the release order of the few fullest steps only.
  static Needs quickNeeds(const CountPlan& plan, bool meet);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace varno
