#include "counting/countplan.h"

#include <algorithm>
#include <stdexcept>

#include "rules/ringrules.h"

namespace varno {

CountPlan::CountPlan(int dice, int faces) : dice_(dice), faces_(faces), lossLimit_(varno::lossLimit(faces)) {
  if (!isRingSize(dice, faces)) {
    throw std::invalid_argument("CountPlan: size out of range");
  }
  std::vector<std::vector<std::uint32_t>> byLayer(layerCount());
  collectFeasible(byLayer);
  keepConnected(byLayer);
  layOut(byLayer);
}

const CountPlan::Block* CountPlan::find(int layer, std::uint32_t canonicalCounts) const {
  const auto& blocks = layers_[layer].blocks;
  auto it = std::lower_bound(blocks.begin(), blocks.end(), canonicalCounts,
                             [](const Block& block, std::uint32_t counts) { return block.counts < counts; });
  return (it != blocks.end() && it->counts == canonicalCounts) ? &*it : nullptr;
}

std::uint32_t CountPlan::canonical(std::uint32_t counts, int* rotation) const {
  const int bits = 4 * dice_;
  const std::uint32_t mask = (bits == 32) ? ~0u : ((1u << bits) - 1);
  std::uint32_t best = counts;
  int bestRotation = 0;
  std::uint32_t rotated = counts;
  for (int r = 1; r < dice_; ++r) {
    // Die r moves to position 0.
    rotated = ((rotated >> 4) | (rotated << (bits - 4))) & mask;
    if (rotated < best) {
      best = rotated;
      bestRotation = r;
    }
  }
  if (rotation != nullptr) *rotation = bestRotation;
  return best;
}

bool CountPlan::feasible(std::uint32_t counts) const {
  for (int i = 0; i < dice_; ++i) {
    const int a = countOf(counts, i);
    const int b = countOf(counts, (i + 1) % dice_);
    if ((faces_ - b) * a > lossLimit_) return false;
  }
  return true;
}

int CountPlan::pairDim(int a, int b) const {
  if (!pairActive(a, b)) return 1;
  return std::min(a * b, lossLimit_ - (faces_ - b) * a) + 1;
}

void CountPlan::collectFeasible(std::vector<std::vector<std::uint32_t>>& byLayer) const {
  // Enumerate count vectors die by die, checking each pair as soon as both of its counts are known.
  auto recurse = [&](auto&& self, int die, int first, int previous, std::uint32_t packed, int total) -> void {
    if (die == dice_) {
      if ((faces_ - first) * previous > lossLimit_) return;
      if (canonical(packed, nullptr) == packed) byLayer[total].push_back(packed);
      return;
    }
    for (int v = 0; v <= faces_; ++v) {
      if (die > 0 && (faces_ - v) * previous > lossLimit_) continue;
      self(self, die + 1, die == 0 ? v : first, v, packed | (static_cast<std::uint32_t>(v) << (4 * die)),
           total + v);
    }
  };
  recurse(recurse, 0, 0, 0, 0, 0);
  for (auto& layer : byLayer) std::sort(layer.begin(), layer.end());
}

void CountPlan::keepConnected(std::vector<std::vector<std::uint32_t>>& byLayer) const {
  auto contains = [](const std::vector<std::uint32_t>& sorted, std::uint32_t value) {
    return std::binary_search(sorted.begin(), sorted.end(), value);
  };
  const int last = layerCount() - 1;
  // Forward: keep vectors reachable from the empty word through feasible vectors.
  for (int m = 1; m <= last; ++m) {
    std::vector<std::uint32_t> kept;
    for (std::uint32_t counts : byLayer[m]) {
      for (int j = 0; j < dice_; ++j) {
        if (countOf(counts, j) == 0) continue;
        if (contains(byLayer[m - 1], canonical(removeFace(counts, j), nullptr))) {
          kept.push_back(counts);
          break;
        }
      }
    }
    byLayer[m] = std::move(kept);
  }
  // Backward: keep vectors from which the full vector can still be reached.
  for (int m = last - 1; m >= 0; --m) {
    std::vector<std::uint32_t> kept;
    for (std::uint32_t counts : byLayer[m]) {
      for (int j = 0; j < dice_; ++j) {
        if (countOf(counts, j) == faces_) continue;
        if (contains(byLayer[m + 1], canonical(addFace(counts, j), nullptr))) {
          kept.push_back(counts);
          break;
        }
      }
    }
    byLayer[m] = std::move(kept);
  }
}

void CountPlan::layOut(const std::vector<std::vector<std::uint32_t>>& byLayer) {
  layers_.assign(layerCount(), Layer{});
  for (int m = 0; m < layerCount(); ++m) {
    Layer& layer = layers_[m];
    for (std::uint32_t counts : byLayer[m]) {
      Block block;
      block.counts = counts;
      block.offset = layer.cells;
      block.cells = 1;
      for (int i = 0; i < dice_; ++i) {
        const int dim = pairDim(countOf(counts, i), countOf(counts, (i + 1) % dice_));
        block.dims[i] = static_cast<std::uint8_t>(dim);
        block.cells *= static_cast<std::uint64_t>(dim);
      }
      layer.cells += block.cells;
      layer.blocks.push_back(block);
    }
    totalCells_ += layer.cells;
    largestLayerCells_ = std::max(largestLayerCells_, layer.cells);
  }
  for (int m = 1; m < layerCount(); ++m) {
    for (const Block& target : layers_[m].blocks) {
      for (int j = 0; j < dice_; ++j) {
        if (countOf(target.counts, j) == 0) continue;
        const Block* source = find(m - 1, canonical(removeFace(target.counts, j), nullptr));
        if (source != nullptr) layers_[m].work += source->cells;
      }
    }
    totalWork_ += layers_[m].work;
  }
}

}  // namespace varno
