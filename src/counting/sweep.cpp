// A LayerSweep layer after layer: starting from the empty word or a kept layer, building each layer from
// the one below (in memory, or on disk band by band), keeping a layer for resuming, and at the end
// reading the count or meeting in the middle.
#include "counting/sweep.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "counting/layerstore.h"
#include "counting/storage.h"
#include "counting/sweepimpl.h"
#include "counting/threads.h"

namespace varno {

using sweep::buildStep;
using sweep::checkCancel;
using sweep::kNone;
using sweep::sourcesOf;

// ---- The sweep.

LayerSweep::Impl::Impl(const CountPlan& p, const Partition& part, SweepSettings s, SweepControl c)
    : plan(p), partition(part), settings(std::move(s)), control(c) {
  if (settings.exchange != nullptr) {
    rank = settings.exchange->rank();
    processes = settings.exchange->processes();
  }
  if (settings.residues < 1 || settings.residues > Modular::kMaxPrimes) {
    throw std::invalid_argument("LayerSweep: 1 to 6 primes at once");
  }
}

std::vector<std::uint32_t> LayerSweep::Impl::run(const std::optional<SavedLayer>& from,
                                                 const LayerFinished& finished) {
  const int last = lastStoredLayer(plan, settings.meet);
  if (from) {
    resumeFrom(*from);
  } else {
    start();
  }
  for (int next = layer + 1; next <= last; ++next) {
    build(buildStep(plan, partition, settings.meet, next, rank));
    if (finished && next < plan.layerCount() - 1) {
      finished(next, [&](const std::string& path) { keep(path); });
    }
  }
  std::vector<std::uint64_t> total(settings.residues, 0);
  if (settings.meet) {
    total = meet(buildStep(plan, partition, true, last + 1, rank));
  } else if (partition.owner(last, 0) == rank) {
    readCell(last, total);
  }
  return finish(total);
}

std::vector<std::uint32_t> LayerSweep::Impl::finish(std::vector<std::uint64_t>& total) {
  if (settings.exchange != nullptr) settings.exchange->sum(total);
  std::vector<std::uint32_t> residues(settings.residues);
  for (int r = 0; r < settings.residues; ++r)
    residues[r] = static_cast<std::uint32_t>(total[r] % settings.primes[r]);
  return residues;
}

void LayerSweep::Impl::start() {
  layer = 0;
  const std::uint64_t cells = partition.localCells(0, rank);
  std::vector<std::uint32_t> one(settings.residues, 1);
  if (settings.negate)
    for (int r = 0; r < settings.residues; ++r) one[r] = settings.primes[r] - 1;
  if (onDisk()) {
    currentStore = LayerStore(LayerFile::create(settings.directory), plan.blocks(0).size(), pieceBytes());
    if (cells > 0) {
      const LayerStore::Place place{0, reinterpret_cast<std::byte*>(one.data()), cellBytes()};
      currentStore.put({&place, 1}, 1, control.cancel);
    }
    noteDisk();
    currentKept = false;
  } else {
    current = Arena(std::max<std::uint64_t>(1, cells) * cellBytes());
    if (cells > 0) std::memcpy(current.data(), one.data(), cellBytes());
  }
}

void LayerSweep::Impl::resumeFrom(const SavedLayer& saved) {
  layer = saved.layer;
  LayerFile file = saved.file.duplicate();
  if (onDisk()) {
    // A kept layer lies as the memory holds it, block after block.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> extents(plan.blocks(layer).size(), {0, 0});
    for (std::uint32_t block = 0; block < extents.size(); ++block) {
      if (partition.owner(layer, block) != rank) continue;
      extents[block] = {partition.localOffset(layer, block) * cellBytes(),
                        plan.blocks(layer)[block].cells * cellBytes()};
    }
    currentStore = LayerStore::unpacked(std::move(file), extents);
    currentKept = true;
  } else {
    const std::uint64_t bytes = partition.localCells(layer, rank) * cellBytes();
    current = Arena(std::max<std::uint64_t>(1, bytes));
    file.read(0, current.data(), bytes, control.cancel);
  }
}

void LayerSweep::Impl::keep(const std::string& path) {
  // Kept unpacked, as the memory holds the layer, so that every kept layer reads alike.
  LayerFile file = LayerFile::create(settings.directory);
  if (onDisk()) {
    std::vector<std::byte> piece(LayerStore::kPieceBytes);
    for (std::uint32_t block = 0; block < plan.blocks(layer).size(); ++block) {
      if (partition.owner(layer, block) != rank) continue;
      const std::uint64_t offset = partition.localOffset(layer, block) * cellBytes();
      const std::uint64_t bytes = plan.blocks(layer)[block].cells * cellBytes();
      for (std::uint64_t from = 0; from < bytes; from += piece.size()) {
        const std::uint64_t length = std::min<std::uint64_t>(piece.size(), bytes - from);
        currentStore.read(block, from, piece.data(), length, control.cancel);
        file.write(offset + from, piece.data(), length, control.cancel);
      }
    }
  } else {
    file.write(0, current.data(), partition.localCells(layer, rank) * cellBytes(), control.cancel);
  }
  file.keepAs(path);
}

void LayerSweep::Impl::readCell(int at, std::vector<std::uint64_t>& total) {
  std::vector<std::uint32_t> cell(settings.residues);
  if (onDisk()) {
    currentStore.read(0, 0, reinterpret_cast<std::byte*>(cell.data()), cellBytes(), control.cancel);
  } else {
    std::memcpy(cell.data(), current.data() + partition.localOffset(at, 0) * cellBytes(), cellBytes());
  }
  for (int r = 0; r < settings.residues; ++r) total[r] = cell[r];
}

// ---- Building a layer.

void LayerSweep::Impl::build(const Step& step) {
  exchangeSources(step);
  if (onDisk()) {
    buildOnDisk(step);
  } else {
    buildInMemory(step);
  }
  layer = step.layer;
}

std::vector<std::atomic<std::uint32_t>> LayerSweep::Impl::usesOf(const Step& step) {
  std::vector<std::atomic<std::uint32_t>> uses(plan.blocks(step.layer - 1).size());
  for (const Transfer& transfer : step.transfers) ++uses[transfer.source];
  for (std::size_t i = 0; i < step.kinds.size(); ++i) {
    if (step.kinds[i] == Partner::Stored) ++uses[step.partners[i].block];
  }
  return uses;
}

const std::uint32_t* LayerSweep::Impl::inMemory(int below, std::uint32_t block) const {
  if (incomingOffset[block] != kNone)
    return incoming.as<std::uint32_t>() + incomingOffset[block] * settings.residues;
  return current.as<std::uint32_t>() + partition.localOffset(below, block) * settings.residues;
}

void LayerSweep::Impl::releaseInMemory(int below, std::uint32_t block) {
  const std::uint64_t bytes = plan.blocks(below)[block].cells * cellBytes();
  if (incomingOffset[block] != kNone) {
    incoming.release(incomingOffset[block] * cellBytes(), bytes);
  } else {
    current.release(partition.localOffset(below, block) * cellBytes(), bytes);
  }
}

void LayerSweep::Impl::buildInMemory(const Step& step) {
  const int below = step.layer - 1;
  Arena next(std::max<std::uint64_t>(1, partition.localCells(step.layer, rank)) * cellBytes());
  auto uses = usesOf(step);
  std::vector<const std::uint32_t*> sources(plan.blocks(below).size(), nullptr);
  for (std::uint32_t block : sourcesOf(step)) sources[block] = inMemory(below, block);
  auto used = [&](std::uint32_t block) {
    if (--uses[block] == 0) releaseInMemory(below, block);
  };
  runJobs(step, 0, step.jobs.size(), sources, used, [&](std::uint32_t block) {
    return next.as<std::uint32_t>() + partition.localOffset(step.layer, block) * settings.residues;
  });
  current = std::move(next);
  incoming = Arena();
}

void LayerSweep::Impl::buildOnDisk(const Step& step) {
  LayerStore next(LayerFile::create(settings.directory), plan.blocks(step.layer).size(), pieceBytes());
  inBands(step, [&](const Sources& sources, std::size_t begin, std::size_t end) {
    if (begin == end) return;
    const std::uint64_t first = partition.localOffset(step.layer, step.jobs[begin].block);
    const CountPlan::Block& lastBlock = plan.blocks(step.layer)[step.jobs[end - 1].block];
    const std::uint64_t cells =
        partition.localOffset(step.layer, step.jobs[end - 1].block) + lastBlock.cells - first;
    Arena targets(cells * cellBytes());
    runJobs(
        step, begin, end, sources, [](std::uint32_t) {},
        [&](std::uint32_t block) {
          return targets.as<std::uint32_t>() +
                 (partition.localOffset(step.layer, block) - first) * settings.residues;
        });
    std::vector<LayerStore::Place> places;
    for (std::size_t i = begin; i < end; ++i) {
      const std::uint32_t block = step.jobs[i].block;
      places.push_back(LayerStore::Place{
          block, targets.data() + (partition.localOffset(step.layer, block) - first) * cellBytes(),
          plan.blocks(step.layer)[block].cells * cellBytes()});
    }
    next.put(places, settings.threads, control.cancel);
    noteDisk(next.heldBytes());
  });
  currentStore = std::move(next);
  currentKept = false;
  incomingFile = LayerFile();
  incomingHeld = 0;
}

template <typename Used, typename TargetOf>
void LayerSweep::Impl::runJobs(const Step& step, std::size_t begin, std::size_t end, const Sources& sources,
                               Used&& used, TargetOf&& targetOf) {
  sweep::withResidues(settings.residues, [&](auto residues) {
    constexpr int R = decltype(residues)::value;
    std::atomic<std::size_t> nextJob{begin};
    auto worker = [&] {
      for (std::size_t i = nextJob++; i < end; i = nextJob++) {
        checkCancel(control);
        buildJob<R>(step, step.jobs[i], targetOf(step.jobs[i].block), sources, used);
      }
    };
    runOnThreads(settings.threads, worker);
  });
}

LayerSweep::LayerSweep(const CountPlan& plan, const Partition& partition, SweepSettings settings,
                       SweepControl control)
    : impl_(std::make_unique<Impl>(plan, partition, std::move(settings), control)) {}

LayerSweep::~LayerSweep() = default;

std::vector<std::uint32_t> LayerSweep::run(const std::optional<SavedLayer>& from,
                                           const LayerFinished& finished) {
  return impl_->run(from, finished);
}

std::uint64_t LayerSweep::diskPeakBytes() const {
  return impl_->diskPeak;
}

int LayerSweep::lastStoredLayer(const CountPlan& plan, bool meet) {
  return meet ? CountPlan::meetingLayer(plan.dice(), plan.faces()) - 1 : plan.layerCount() - 1;
}

std::uint64_t LayerSweep::keptBytes(const Partition& partition, int layer, int rank, int residues) {
  return partition.localCells(layer, rank) * Impl::kCellBytes * static_cast<std::uint64_t>(residues);
}

}  // namespace varno
