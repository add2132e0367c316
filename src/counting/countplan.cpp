#include "counting/countplan.h"

#include <algorithm>

namespace varno {

namespace {

// Count vectors looked at between two stop checks while planning.
constexpr std::uint64_t kStopInterval = 1 << 12;

}  // namespace

CountPlan::CountPlan(int dice, int faces, int lastLayer, const StopCheck& stop, int limit)
    : dice_(dice), faces_(faces), lossLimit_(limit == kRingLossLimit ? varno::lossLimit(faces) : limit) {
  if (!isRingSize(dice, faces)) {
    throw std::invalid_argument("CountPlan: size out of range");
  }
  if (lossLimit_ < 0 || lossLimit_ > varno::lossLimit(faces)) {
    throw std::invalid_argument("CountPlan: loss limit out of range");
  }
  for (int d = dice - 1; d >= 1; --d) {
    const bool dividesALarger =
        std::any_of(largestDivisors_.begin(), largestDivisors_.begin() + largestDivisorCount_,
                    [&](int larger) { return larger % d == 0; });
    if (dice % d == 0 && !dividesALarger) largestDivisors_[largestDivisorCount_++] = d;
  }
  if (lastLayer == kAllLayers || lastLayer >= layerCount()) lastLayer = layerCount() - 1;
  std::vector<std::vector<std::uint32_t>> byLayer(std::max(lastLayer, 0) + 1);
  collect(byLayer, stop);
  layOut(byLayer, stop);
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

int CountPlan::rotations(std::uint32_t counts) const {
  // The period divides n. A vector with a shorter period also repeats after one of the largest proper
  // divisors of n, so those settle the usual case; the smallest divisor that repeats is the period.
  const int bits = 4 * dice_;
  const std::uint32_t mask = (bits == 32) ? ~0u : ((1u << bits) - 1);
  auto repeatsAfter = [&](int r) {
    return (((counts >> (4 * r)) | (counts << (bits - 4 * r))) & mask) == counts;
  };
  if (std::none_of(largestDivisors_.begin(), largestDivisors_.begin() + largestDivisorCount_, repeatsAfter)) {
    return dice_;
  }
  for (int r = 1; r < dice_; ++r) {
    if (dice_ % r == 0 && repeatsAfter(r)) return r;
  }
  return dice_;
}

std::uint32_t CountPlan::mirror(std::uint32_t counts) const {
  std::uint32_t mirrored = 0;
  for (int i = 0; i < dice_; ++i) {
    mirrored |= static_cast<std::uint32_t>(faces_ - countOf(counts, i)) << (4 * (dice_ - 1 - i));
  }
  return mirrored;
}

std::uint64_t CountPlan::allLayerCells() const {
  std::uint64_t total = 0;
  for (int m = 0; m <= lastLayer(); ++m) total += cells(m);
  // Layer m above the plan holds the mirrors of the blocks of layer n*k - m.
  for (int m = 0; m < layerCount() - 1 - lastLayer(); ++m) total += layers_[m].mirroredCells;
  return total;
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
  return std::min(a * b, room(a, b)) + 1;
}

void CountPlan::collect(std::vector<std::vector<std::uint32_t>>& byLayer, const StopCheck& stop) const {
  // Only canonical vectors are wanted. The canonical rotation is the smallest number, and die n-1 holds
  // its highest digit, so die n-1 has the fewest faces of all: the other dice take at least as many.
  // Choosing the digits from the highest down yields each layer's vectors in increasing order. Each
  // pair is checked as soon as both of its counts are known.
  const int last = static_cast<int>(byLayer.size()) - 1;
  const int top = dice_ - 1;
  std::uint64_t looked = 0;
  std::array<int, kMaxDice> count{};
  auto lost = [&](int a, int b) { return (faces_ - b) * a > lossLimit_; };
  auto recurse = [&](auto&& self, int die, std::uint32_t packed, int total) -> void {
    if (stop && (++looked % kStopInterval) == 0 && stop()) throw Stopped{};
    if (die < 0) {
      if (canonical(packed, nullptr) == packed) byLayer[total].push_back(packed);
      return;
    }
    for (int v = count[top]; v <= faces_ && total + v <= last; ++v) {
      // Pair (die, die+1); die 0 also closes the pair (n-1, 0).
      if (lost(v, count[die + 1])) continue;
      if (die == 0 && lost(count[top], v)) continue;
      count[die] = v;
      self(self, die - 1, packed | (static_cast<std::uint32_t>(v) << (4 * die)), total + v);
    }
  };
  for (int least = 0; least <= faces_ && least * dice_ <= last; ++least) {
    count[top] = least;
    recurse(recurse, top - 1, static_cast<std::uint32_t>(least) << (4 * top), least);
  }
}

void CountPlan::layOut(const std::vector<std::vector<std::uint32_t>>& byLayer, const StopCheck& stop) {
  layers_.assign(byLayer.size(), Layer{});
  for (std::size_t m = 0; m < byLayer.size(); ++m) {
    Layer& layer = layers_[m];
    layer.blocks.reserve(byLayer[m].size());
    for (std::uint32_t counts : byLayer[m]) {
      Block block;
      block.counts = counts;
      block.offset = layer.cells;
      block.cells = 1;
      std::uint64_t mirrored = 1;
      for (int i = 0; i < dice_; ++i) {
        const int a = countOf(counts, i);
        const int b = countOf(counts, i + 1 == dice_ ? 0 : i + 1);
        const int dim = pairDim(a, b);
        block.dims[i] = static_cast<std::uint8_t>(dim);
        block.cells *= static_cast<std::uint64_t>(dim);
        // The mirror's pair has k - b and k - a faces under the same room.
        if (pairActive(a, b))
          mirrored *= static_cast<std::uint64_t>(std::min((faces_ - a) * (faces_ - b), room(a, b)) + 1);
      }
      layer.cells += block.cells;
      layer.mirroredCells += mirrored;
      layer.blocks.push_back(block);
    }
  }
  // Each target of layer m takes from the source class of "target minus one face on die j" for every
  // die j it has a face on. Counted from the sources instead, without looking blocks up: a source class
  // S reaches the class T of s + e_j, and counting the pairs (x in S, x + e_j in T) both ways shows that
  // T's rep takes from S |S| / |T| times for each such j. Sums are kept n times larger to stay whole.
  std::uint64_t looked = 0;
  for (std::size_t m = 1; m < layers_.size(); ++m) {
    std::uint64_t work = 0;
    for (const Block& source : layers_[m - 1].blocks) {
      if (stop && (++looked % kStopInterval) == 0 && stop()) throw Stopped{};
      const std::uint64_t weight = source.cells * static_cast<std::uint64_t>(rotations(source.counts));
      for (int j = 0; j < dice_; ++j) {
        if (countOf(source.counts, j) == faces_) continue;
        const std::uint32_t target = addFace(source.counts, j);
        const int before = j == 0 ? dice_ - 1 : j - 1;
        const int after = j + 1 == dice_ ? 0 : j + 1;
        // Only the pairs (j-1, j) and (j, j+1) change.
        if ((faces_ - countOf(target, j)) * countOf(target, before) > lossLimit_) continue;
        if ((faces_ - countOf(target, after)) * countOf(target, j) > lossLimit_) continue;
        const int period = rotations(target);
        work += period == dice_ ? weight : weight * static_cast<std::uint64_t>(dice_ / period);
      }
    }
    layers_[m].work = work / static_cast<std::uint64_t>(dice_);
  }
}

}  // namespace varno
