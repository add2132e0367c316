#pragma once

#include <cstdint>
#include <vector>

#include "counting/countplan.h"

namespace varno {

// Which process holds which blocks of each layer, and where within its own share.
//
// Each process holds one run of each layer's blocks, in the order of their face counts read from die 0
// on, cut so that the runs cost nearly the same (each at most its share and one block more). A block is
// built from the blocks one face less, many of which lie near it in that order, so a process finds more
// of what it reads among its own blocks than blocks spread by size alone would give it. A process keeps
// its blocks in the plan's order, one after the other. With one process nothing is stored: it holds
// everything at the plan's offsets.
//
// In a count that meets in the middle, the meeting layer is not stored; its blocks are the jobs that
// join the two halves (see LayerSweep), cut into runs by their cost in the same way. With an even number of
// faces in all, a block and its mirror are one job, given to the smaller of the two.
class Partition {
 public:
  Partition(const CountPlan& plan, bool meet, int processes);

  int processes() const { return processes_; }
  int owner(int layer, std::size_t block) const { return processes_ == 1 ? 0 : owner_[layer][block]; }
  std::uint64_t localOffset(int layer, std::size_t block) const {
    return processes_ == 1 ? plan_.blocks(layer)[block].offset : localOffset_[layer][block];
  }
  std::uint64_t localCells(int layer, int rank) const {
    return processes_ == 1 ? plan_.cells(layer) : localCells_[layer][rank];
  }

 private:
  const CountPlan& plan_;
  int processes_;
  std::vector<std::vector<std::uint16_t>> owner_;
  std::vector<std::vector<std::uint64_t>> localOffset_;
  std::vector<std::vector<std::uint64_t>> localCells_;
};

}  // namespace varno
