// Layers on disk, read in bands of consecutive target blocks that fit in memory with their sources.
#include <algorithm>
#include <cstdint>

#include "counting/sweepimpl.h"

namespace varno {

using sweep::forEachSource;
using sweep::kNone;

std::vector<std::size_t> LayerSweep::Impl::bandsOf(const Step& step, std::uint64_t bandCells) const {
  const int below = step.layer - 1;
  std::vector<std::size_t> band(plan.blocks(below).size(), SIZE_MAX);  // the last band reading a block
  std::vector<std::size_t> starts{0};
  std::uint64_t cells = 0;
  for (std::size_t i = 0; i < step.jobs.size(); ++i) {
    const std::size_t current = starts.size() - 1;
    auto added = [&](std::size_t inBand) {
      std::uint64_t sum = step.meeting ? 0 : plan.blocks(step.layer)[step.jobs[i].block].cells;
      std::vector<std::uint32_t> seen;
      forEachSource(step, i, [&](std::uint32_t block) {
        if (band[block] == inBand || std::find(seen.begin(), seen.end(), block) != seen.end()) return;
        seen.push_back(block);
        sum += plan.blocks(below)[block].cells;
      });
      return sum;
    };
    std::uint64_t more = added(current);
    if (cells > 0 && cells + more > bandCells) {
      starts.push_back(i);
      cells = 0;
      more = added(starts.size() - 1);  // no block is in the new band yet
    }
    forEachSource(step, i, [&](std::uint32_t block) { band[block] = starts.size() - 1; });
    cells += more;
  }
  starts.push_back(step.jobs.size());
  return starts;
}

std::vector<std::uint32_t> LayerSweep::Impl::bandSources(const Step& step, std::size_t begin,
                                                         std::size_t end) const {
  std::vector<std::uint32_t> blocks;
  for (std::size_t i = begin; i < end; ++i)
    forEachSource(step, i, [&](std::uint32_t block) { blocks.push_back(block); });
  std::sort(blocks.begin(), blocks.end());
  blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
  return blocks;
}

void LayerSweep::Impl::inBands(const Step& step, const BandBody& body) {
  const int below = step.layer - 1;
  const std::uint64_t bandCells = std::max<std::uint64_t>(1, settings.bandBytes / cellBytes());
  const auto starts = bandsOf(step, bandCells);
  std::vector<std::size_t> lastBand(plan.blocks(below).size(), 0);
  for (std::size_t band = 0; band + 1 < starts.size(); ++band) {
    for (std::uint32_t block : bandSources(step, starts[band], starts[band + 1])) lastBand[block] = band;
  }
  std::vector<const std::uint32_t*> sources(plan.blocks(below).size(), nullptr);
  for (std::size_t band = 0; band + 1 < starts.size(); ++band) {
    const auto blocks = bandSources(step, starts[band], starts[band + 1]);
    std::uint64_t cells = 0;
    for (std::uint32_t block : blocks) cells += plan.blocks(below)[block].cells;
    Arena loaded(std::max<std::uint64_t>(1, cells) * cellBytes());
    std::uint64_t at = 0;
    std::vector<LayerStore::Place> own;
    for (std::uint32_t block : blocks) {
      const std::uint64_t bytes = plan.blocks(below)[block].cells * cellBytes();
      std::byte* to = loaded.data() + at * cellBytes();
      if (incomingOffset[block] != kNone) {
        incomingFile.read(incomingOffset[block] * cellBytes(), to, bytes, control.cancel);
      } else {
        own.push_back(LayerStore::Place{block, to, bytes});
      }
      sources[block] = reinterpret_cast<const std::uint32_t*>(to);
      at += plan.blocks(below)[block].cells;
    }
    currentStore.get(own, settings.threads, control.cancel);
    // A source read for the last time is in memory now; the band's targets may take its place on disk.
    for (std::uint32_t block : blocks) {
      if (lastBand[block] != band) continue;
      const std::uint64_t bytes = plan.blocks(below)[block].cells * cellBytes();
      if (incomingOffset[block] != kNone) {
        incomingFile.punchHole(incomingOffset[block] * cellBytes(), bytes);
        incomingHeld -= bytes;
      } else if (!currentKept) {
        currentStore.release(block);
      }
    }
    body(sources, starts[band], starts[band + 1]);
    for (std::uint32_t block : blocks) sources[block] = nullptr;
  }
}

void LayerSweep::Impl::noteDisk(std::uint64_t building) {
  diskPeak = std::max(diskPeak, currentStore.heldBytes() + incomingHeld + building);
}

}  // namespace varno
