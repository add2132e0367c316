#include "counting/partition.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <stdexcept>
#include <utility>

namespace varno {

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
    }
    std::vector<std::size_t> order(blocks.size());
    for (std::size_t b = 0; b < order.size(); ++b) order[b] = b;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return cost[x] > cost[y]; });
    using Load = std::pair<std::uint64_t, int>;
    std::priority_queue<Load, std::vector<Load>, std::greater<>> loads;
    for (int rank = 0; rank < processes; ++rank) loads.emplace(0, rank);
    owner_[layer].assign(blocks.size(), 0);
    for (std::size_t b : order) {
      auto [load, rank] = loads.top();
      loads.pop();
      owner_[layer][b] = static_cast<std::uint16_t>(rank);
      loads.emplace(load + cost[b], rank);
    }
    localOffset_[layer].assign(blocks.size(), 0);
    localCells_[layer].assign(processes, 0);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      const int rank = owner_[layer][b];
      localOffset_[layer][b] = localCells_[layer][rank];
      localCells_[layer][rank] += blocks[b].cells;
    }
  }
}

}  // namespace varno
