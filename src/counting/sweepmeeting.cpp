// The meeting step: each block C of the meeting layer is built in turn with its mirror D, D is summed
// over all smaller loss vectors, and C is joined with the sums (see LayerSweep).
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "counting/sweepimpl.h"
#include "counting/threads.h"

namespace varno {

using sweep::addDone;
using sweep::checkCancel;
using sweep::clearCells;
using sweep::copyCells;
using sweep::joinHalves;
using sweep::kMeetingWork;
using sweep::prefixSums;
using sweep::sourcesOf;

namespace {

// Pages of scratch room beyond this are given back after each job, so that a thread holds no more than
// the job it runs.
constexpr std::uint64_t kScratchKeptBytes = std::uint64_t{64} << 20;

}  // namespace

std::uint64_t LayerSweep::Impl::largestOfJob(const Step& step, std::size_t i) const {
  std::uint64_t largest = plan.blocks(step.layer)[step.jobs[i].block].cells;
  if (step.kinds[i] == Partner::Same) return largest;
  const int partnerLayer = step.kinds[i] == Partner::Stored ? step.layer - 1 : step.layer;
  return std::max(largest, plan.blocks(partnerLayer)[step.partners[i].block].cells);
}

std::vector<std::uint64_t> LayerSweep::Impl::meet(const Step& step) {
  exchangeSources(step);
  std::vector<std::uint64_t> total(settings.residues, 0);
  std::mutex totalMutex;
  auto add = [&](const std::vector<std::uint64_t>& part) {
    std::lock_guard lock(totalMutex);
    for (int r = 0; r < settings.residues; ++r) total[r] = (total[r] + part[r]) % settings.primes[r];
  };
  if (onDisk()) {
    inBands(step, [&](const Sources& sources, std::size_t begin, std::size_t end) {
      meetJobs(
          step, begin, end, sources, [](std::uint32_t) {}, add);
    });
  } else {
    const int below = step.layer - 1;
    auto uses = usesOf(step);
    std::vector<const std::uint32_t*> sources(plan.blocks(below).size(), nullptr);
    for (std::uint32_t block : sourcesOf(step)) sources[block] = inMemory(below, block);
    auto used = [&](std::uint32_t block) {
      if (--uses[block] == 0) releaseInMemory(below, block);
    };
    meetJobs(step, 0, step.jobs.size(), sources, used, add);
    current = Arena();
    incoming = Arena();
  }
  currentStore = LayerStore();
  incomingFile = LayerFile();
  incomingHeld = 0;
  return total;
}

template <typename Used, typename Add>
void LayerSweep::Impl::meetJobs(const Step& step, std::size_t begin, std::size_t end, const Sources& sources,
                                Used&& used, Add&& add) {
  sweep::withResidues(settings.residues, [&](auto residues) {
    constexpr int R = decltype(residues)::value;
    const int below = step.layer - 1;
    std::atomic<std::size_t> nextJob{begin};
    std::uint64_t largest = 0;
    for (std::size_t i = begin; i < end; ++i) largest = std::max(largest, largestOfJob(step, i));
    auto worker = [&] {
      // Room for C, for D and for a copy to sum up, reused from job to job; given back in the background.
      Arena ownArena(std::max<std::uint64_t>(1, largest) * R * kCellBytes);
      Arena partnerArena(std::max<std::uint64_t>(1, largest) * R * kCellBytes);
      Arena sumsArena(std::max<std::uint64_t>(1, largest) * R * kCellBytes);
      std::uint32_t* own = ownArena.as<std::uint32_t>();
      std::uint32_t* partner = partnerArena.as<std::uint32_t>();
      std::uint32_t* sums = sumsArena.as<std::uint32_t>();
      std::array<std::uint64_t, R> total{};
      for (std::size_t i = nextJob++; i < end; i = nextJob++) {
        checkCancel(control);
        const Job& job = step.jobs[i];
        const CountPlan::Block& block = plan.blocks(step.layer)[job.block];
        clearCells(own, block.cells * R, control);
        buildJob<R>(step, job, own, sources, used);
        switch (step.kinds[i]) {
          case Partner::Same:
            copyCells(own, block.cells * R, sums, control);
            prefixSums<R>(plan, block, sums, settings.primes, control);
            joinHalves<R>(plan, block, own, block, sums, settings.primes, total, control);
            addDone(control, kMeetingWork * block.cells);
            break;
          case Partner::Built: {
            const Job& other = step.partners[i];
            const CountPlan::Block& mirror = plan.blocks(step.layer)[other.block];
            clearCells(partner, mirror.cells * R, control);
            buildJob<R>(step, other, partner, sources, used);
            copyCells(partner, mirror.cells * R, sums, control);
            prefixSums<R>(plan, mirror, sums, settings.primes, control);
            joinHalves<R>(plan, block, own, mirror, sums, settings.primes, total, control);
            copyCells(own, block.cells * R, sums, control);
            prefixSums<R>(plan, block, sums, settings.primes, control);
            joinHalves<R>(plan, mirror, partner, block, sums, settings.primes, total, control);
            addDone(control, kMeetingWork * (block.cells + mirror.cells));
            break;
          }
          case Partner::Stored: {
            const std::uint32_t index = step.partners[i].block;
            const CountPlan::Block& mirror = plan.blocks(below)[index];
            copyCells(sources[index], mirror.cells * R, sums, control);
            used(index);
            prefixSums<R>(plan, mirror, sums, settings.primes, control);
            joinHalves<R>(plan, block, own, mirror, sums, settings.primes, total, control);
            addDone(control, kMeetingWork * (block.cells + mirror.cells));
            break;
          }
        }
        // A large job's pages go back; the next jobs are mostly small.
        const std::uint64_t used = largestOfJob(step, i) * R * kCellBytes;
        if (used > kScratchKeptBytes) {
          for (Arena* arena : {&ownArena, &partnerArena, &sumsArena}) arena->release(kScratchKeptBytes, used);
        }
      }
      add(std::vector<std::uint64_t>(total.begin(), total.end()));
    };
    runOnThreads(settings.threads, worker);
  });
}

}  // namespace varno
