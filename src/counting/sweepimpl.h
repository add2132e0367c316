// The inside of a LayerSweep, shared by the files that make up its parts: the sweep layer after layer
// (sweep.cpp), the exchange of sources between processes (sweepexchange.cpp), layers on disk read in
// bands (sweepbands.cpp) and the meeting step (sweepmeeting.cpp).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "counting/layerstore.h"
#include "counting/storage.h"
#include "counting/sweep.h"
#include "counting/sweepkernels.h"
#include "counting/sweepstep.h"

namespace varno {

struct LayerSweep::Impl {
  using Job = sweep::Job;
  using Partner = sweep::Partner;
  using Step = sweep::Step;
  using Transfer = sweep::Transfer;
  using Sources = std::vector<const std::uint32_t*>;  // per block of the layer below, where it lies

  static constexpr std::uint64_t kCellBytes = sizeof(std::uint32_t);

  const CountPlan& plan;
  const Partition& partition;
  SweepSettings settings;
  SweepControl control;
  int rank = 0;
  int processes = 1;

  // This process's blocks of the layer below the one being built, and copies of other processes'
  // blocks that it reads.
  int layer = 0;  // the layer held in `current`
  Arena current;
  Arena incoming;
  LayerStore currentStore;
  LayerFile incomingFile;
  bool currentKept = false;  // the store of `current` is a layer kept for resuming: no holes in it
  std::vector<std::uint64_t> incomingOffset;  // per block of the layer below: cells into `incoming`
  std::uint64_t incomingHeld = 0;             // bytes of `incomingFile` not given back
  std::uint64_t diskPeak = 0;                 // the most bytes the layer files held at once, unpacked

  Impl(const CountPlan& p, const Partition& part, SweepSettings s, SweepControl c);

  std::uint64_t cellBytes() const { return kCellBytes * static_cast<std::uint64_t>(settings.residues); }
  bool onDisk() const { return settings.storage == Storage::Disk; }
  std::uint64_t pieceBytes() const {
    return settings.pieceBytes != 0 ? settings.pieceBytes : LayerStore::kPieceBytes;
  }

  // ---- The sweep (sweep.cpp).

  std::vector<std::uint32_t> run(const std::optional<SavedLayer>& from, const LayerFinished& finished);
  std::vector<std::uint32_t> finish(std::vector<std::uint64_t>& total);
  // Layer 0: the empty word, once.
  void start();
  void resumeFrom(const SavedLayer& saved);
  void keep(const std::string& path);
  void readCell(int at, std::vector<std::uint64_t>& total);

  // ---- Sources of a step (sweepexchange.cpp).

  // Fetches the blocks of other processes that the step reads into `incoming` (or its file), and sends
  // this process's blocks to those that read them.
  void exchangeSources(const Step& step);
  // Copies bytes [from, from + out.size()) of the blocks listed, one after the other, into out.
  void packSlice(const std::vector<std::uint32_t>& list, std::uint64_t from, std::vector<std::byte>& out);

  // ---- Building a layer (sweep.cpp).

  void build(const Step& step);
  // Uses per source block: when a block has been read for the last time, its memory goes back.
  std::vector<std::atomic<std::uint32_t>> usesOf(const Step& step);
  const std::uint32_t* inMemory(int below, std::uint32_t block) const;
  void releaseInMemory(int below, std::uint32_t block);
  void buildInMemory(const Step& step);
  void buildOnDisk(const Step& step);
  // Builds jobs [begin, end) of a step on all threads; `targetOf(block)` is where a target's cells go.
  template <typename Used, typename TargetOf>
  void runJobs(const Step& step, std::size_t begin, std::size_t end, const Sources& sources, Used&& used,
               TargetOf&& targetOf);
  template <int R, typename Used>
  void buildJob(const Step& step, const Job& job, std::uint32_t* to, const Sources& sources, Used& used);

  // ---- Layers on disk, read in bands (sweepbands.cpp).

  // The jobs in bands: runs of consecutive jobs whose targets and sources fit in `bandCells` together (a
  // job too large on its own makes a band of its own). Returns the first job of each band, and the end.
  std::vector<std::size_t> bandsOf(const Step& step, std::uint64_t bandCells) const;
  std::vector<std::uint32_t> bandSources(const Step& step, std::size_t begin, std::size_t end) const;
  // Runs `body(band's source pointers, band's first job, end)` band by band, loading each band's sources
  // from the files and giving the disk space of sources back once no later band reads them.
  using BandBody = std::function<void(const Sources& sources, std::size_t begin, std::size_t end)>;
  void inBands(const Step& step, const BandBody& body);
  // Notes how much the layer files hold now, unpacked, with `building` bytes of the layer being written.
  void noteDisk(std::uint64_t building = 0);

  // ---- The meeting step (sweepmeeting.cpp).

  // Cells of the larger of a meeting job's block and its mirror.
  std::uint64_t largestOfJob(const Step& step, std::size_t i) const;
  std::vector<std::uint64_t> meet(const Step& step);
  template <typename Used, typename Add>
  void meetJobs(const Step& step, std::size_t begin, std::size_t end, const Sources& sources, Used&& used,
                Add&& add);
};

// Builds a job's block at `to`, which holds zeros, from its sources; calls used(source) after reading
// each.
template <int R, typename Used>
void LayerSweep::Impl::buildJob(const Step& step, const Job& job, std::uint32_t* to, const Sources& sources,
                                Used& used) {
  const CountPlan::Block& target = plan.blocks(step.layer)[job.block];
  for (std::uint32_t t = job.first; t < job.first + job.count; ++t) {
    const Transfer& transfer = step.transfers[t];
    const CountPlan::Block& source = plan.blocks(step.layer - 1)[transfer.source];
    sweep::moveStates<R>(plan, target, static_cast<int>(transfer.die), source, sources[transfer.source], to,
                         settings.primes, control);
    sweep::addDone(control, source.cells);
    used(transfer.source);
  }
  sweep::addDone(control, target.cells);
}

}  // namespace varno
