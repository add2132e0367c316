#include "counting/partition.h"

#include <algorithm>
#include <stdexcept>

namespace varno {

namespace {

// The face counts read from die 0 on: die 0's count is the most significant.
std::uint32_t fromDieZero(std::uint32_t counts, int dice) {
  std::uint32_t key = 0;
  for (int die = 0; die < dice; ++die)
    key = (key << 4) | static_cast<std::uint32_t>(CountPlan::countOf(counts, die));
  return key;
}

}  // namespace

Partition::Partition(const CountPlan& plan, bool meet, int processes) : plan_(plan), processes_(processes) {
  if (processes < 1 || processes > 65535) throw std::invalid_argument("Partition: bad number of processes");
  if (processes == 1) return;
  const int layers = plan.lastLayer() + 1;
  const int meeting = CountPlan::meetingLayer(plan.dice(), plan.faces());
  const bool even = (plan.dice() * plan.faces()) % 2 == 0;
  owner_.resize(layers);
  localOffset_.resize(layers);
  localCells_.resize(layers);
  for (int layer = 0; layer < layers; ++layer) {
    const auto& blocks = plan.blocks(layer);
    std::vector<std::uint64_t> cost(blocks.size());
    std::uint64_t total = 0;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      cost[b] = blocks[b].cells;
      if (meet && layer == meeting) {
        // The job of block C also builds its mirror D: the same layer when n*k is even, the layer below
        // when it is odd. With n*k even, C and D are one job, held by the smaller.
        const std::uint32_t mirror = plan.canonical(plan.mirror(blocks[b].counts), nullptr);
        const CountPlan::Block* partner = plan.find(even ? layer : layer - 1, mirror);
        if (partner == nullptr || (even && mirror < blocks[b].counts)) {
          cost[b] = 0;
        } else if (!(even && mirror == blocks[b].counts)) {
          cost[b] += partner->cells;
        }
      }
      total += cost[b];
    }
    std::vector<std::size_t> order(blocks.size());
    for (std::size_t b = 0; b < order.size(); ++b) order[b] = b;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
      return fromDieZero(blocks[x].counts, plan.dice()) < fromDieZero(blocks[y].counts, plan.dice());
    });
    // A run of blocks per process: a block goes to the process whose share of the cost holds its middle.
    // The end of share r is total * (r + 1) / processes, taken apart so that it cannot overflow.
    auto shareEnd = [&](std::uint64_t rank) {
      const std::uint64_t ps = static_cast<std::uint64_t>(processes);
      return total / ps * (rank + 1) + total % ps * (rank + 1) / ps;
    };
    owner_[layer].assign(blocks.size(), 0);
    std::uint64_t before = 0;
    std::uint64_t rank = 0;
    for (std::size_t b : order) {
      const std::uint64_t middle = before + cost[b] / 2;
      while (rank + 1 < static_cast<std::uint64_t>(processes) && middle >= shareEnd(rank)) ++rank;
      owner_[layer][b] = static_cast<std::uint16_t>(rank);
      before += cost[b];
    }
    localOffset_[layer].assign(blocks.size(), 0);
    localCells_[layer].assign(processes, 0);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      const int owner = owner_[layer][b];
      localOffset_[layer][b] = localCells_[layer][owner];
      localCells_[layer][owner] += blocks[b].cells;
    }
  }
}

}  // namespace varno
