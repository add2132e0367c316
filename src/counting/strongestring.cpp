#include "counting/strongestring.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <unordered_map>

#include "rules/ringrules.h"

namespace varno {

namespace {

// Losses per pair, one byte each: a kept state has at most 31 losses in a pair (the loss limit of
// eight faces), so the top bit of every byte is free to guard a subtraction that compares all pairs
// at once.
constexpr int kFieldBits = 8;
constexpr std::uint64_t kStopInterval = 1 << 10;  // states built between two stop checks

int countOf(std::uint32_t counts, int die) {
  return static_cast<int>((counts >> (4 * die)) & 15u);
}

int lossOf(std::uint64_t losses, int pair) {
  return static_cast<int>((losses >> (kFieldBits * pair)) & 0xFFu);
}

struct Stopped {};

// The search for one loss limit: the layers of Pareto fronts, kept for reading a ring back.
class Reach {
 public:
  Reach(int dice, int faces, int limit, const StrongestRing::StopCheck& stop)
      : n_(dice), k_(faces), limit_(limit), stop_(stop) {
    for (int pair = 0; pair < n_; ++pair) guards_ |= std::uint64_t{0x80} << (kFieldBits * pair);
    countMask_ = n_ == 8 ? ~0u : (1u << (4 * n_)) - 1;
    lossMask_ = n_ == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (kFieldBits * n_)) - 1;
  }

  // Reads all numbers; true if some ring keeps every pair within the limit. Throws Stopped.
  bool run() {
    layers_.assign(1, Layer{});
    layers_[0].groups.push_back(Group{0, 0, 1});
    layers_[0].losses.push_back(0);
    for (int m = 0; m < n_ * k_; ++m) {
      layers_.push_back(next(layers_.back()));
      if (layers_.back().groups.empty()) return false;
    }
    return true;
  }

  std::uint64_t states() const { return states_; }

  // A ring within the limit, read back from the full state; only after run() returned true.
  Labelling ring() const {
    const int size = n_ * k_;
    std::vector<int> word(size + 1, 0);  // word[x]: the die of number x
    std::uint32_t counts = layers_[size].groups[0].counts;
    std::uint64_t losses = layers_[size].losses[layers_[size].groups[0].begin];
    for (int m = size; m >= 1; --m) {
      bool found = false;
      for (int j = 0; j < n_ && !found; ++j) {
        if (countOf(counts, j) == 0) continue;
        const std::uint32_t before = counts - (1u << (4 * j));
        found = findPredecessor(m - 1, before, j, losses, &losses);
        if (found) {
          word[m] = j;
          counts = before;
        }
      }
      if (!found) throw std::logic_error("StrongestRing: no state leads to the ring found");
    }
    // Number the dice so that the 1 is on the first; a rotation of a ring is a ring.
    const int first = word[1];
    Labelling labelling(size);
    std::array<int, 8> filled{};
    for (int x = 1; x <= size; ++x) {
      const int die = (word[x] - first + n_) % n_;
      labelling[die * k_ + filled[die]++] = x;
    }
    return labelling;
  }

 private:
  struct Group {
    std::uint32_t counts = 0;
    std::uint32_t begin = 0;
    std::uint32_t size = 0;
  };
  struct Layer {
    std::vector<Group> groups;  // sorted by counts
    std::vector<std::uint64_t> losses;
  };

  std::uint32_t rotateCounts(std::uint32_t counts, int r) const {
    if (r == 0) return counts;
    return ((counts >> (4 * r)) | (counts << (4 * (n_ - r)))) & countMask_;
  }
  std::uint64_t rotateLosses(std::uint64_t losses, int r) const {
    if (r == 0) return losses;
    return ((losses >> (kFieldBits * r)) | (losses << (kFieldBits * (n_ - r)))) & lossMask_;
  }

  // The smallest rotation of the counts, and of the losses among the rotations giving those counts.
  void canonicalize(std::uint32_t& counts, std::uint64_t& losses) const {
    std::uint32_t bestCounts = counts;
    std::uint64_t bestLosses = losses;
    for (int r = 1; r < n_; ++r) {
      const std::uint32_t c = rotateCounts(counts, r);
      if (c > bestCounts) continue;
      const std::uint64_t l = rotateLosses(losses, r);
      if (c < bestCounts || l < bestLosses) {
        bestCounts = c;
        bestLosses = l;
      }
    }
    counts = bestCounts;
    losses = bestLosses;
  }

  // The losses after placing the next number on die j, or false if a pair is lost for certain.
  bool place(std::uint32_t counts, std::uint64_t losses, int j, std::uint64_t* placed) const {
    const int before = (j + n_ - 1) % n_;
    const int after = (j + 1) % n_;
    const int c = countOf(counts, j) + 1;
    // The new face beats every face of die j-1 so far, whose faces also lose to the k - c faces die j
    // still gets; and it loses to every face die j+1 still gets.
    const int lossesBefore = lossOf(losses, before) + countOf(counts, before);
    if (lossesBefore + countOf(counts, before) * (k_ - c) > limit_) return false;
    if (lossOf(losses, j) + c * (k_ - countOf(counts, after)) > limit_) return false;
    *placed = losses + (static_cast<std::uint64_t>(countOf(counts, before)) << (kFieldBits * before));
    return true;
  }

  bool dominates(std::uint64_t kept, std::uint64_t other) const {
    return (((other | guards_) - kept) & guards_) == guards_;
  }

  Layer next(const Layer& layer) {
    std::unordered_map<std::uint32_t, std::vector<std::uint64_t>> candidates;
    std::uint64_t built = 0;
    for (const Group& group : layer.groups) {
      for (int j = 0; j < n_; ++j) {
        if (countOf(group.counts, j) == k_) continue;
        for (std::uint32_t i = group.begin; i < group.begin + group.size; ++i) {
          std::uint64_t losses = 0;
          if (!place(group.counts, layer.losses[i], j, &losses)) continue;
          std::uint32_t counts = group.counts + (1u << (4 * j));
          canonicalize(counts, losses);
          candidates[counts].push_back(losses);
          if ((++built % kStopInterval) == 0 && stop_ && stop_()) throw Stopped{};
        }
      }
    }
    std::vector<std::uint32_t> order;
    order.reserve(candidates.size());
    for (const auto& entry : candidates) order.push_back(entry.first);
    std::sort(order.begin(), order.end());
    Layer result;
    for (std::uint32_t counts : order) {
      std::vector<std::uint64_t>& list = candidates[counts];
      std::sort(list.begin(), list.end());
      list.erase(std::unique(list.begin(), list.end()), list.end());
      // A state can only be beaten by one with a smaller sum of losses, so those come first.
      auto sum = [](std::uint64_t losses) { return (losses * 0x0101010101010101ULL) >> 56; };
      std::stable_sort(list.begin(), list.end(),
                       [&](std::uint64_t a, std::uint64_t b) { return sum(a) < sum(b); });
      const auto begin = static_cast<std::uint32_t>(result.losses.size());
      for (std::uint64_t losses : list) {
        bool beaten = false;
        for (std::size_t i = begin; i < result.losses.size() && !beaten; ++i)
          beaten = dominates(result.losses[i], losses);
        if (!beaten) result.losses.push_back(losses);
      }
      result.groups.push_back(Group{counts, begin, static_cast<std::uint32_t>(result.losses.size()) - begin});
      if (stop_ && stop_()) throw Stopped{};
    }
    states_ += result.losses.size();
    return result;
  }

  // A kept state of layer m with counts `counts` (in the ring's own numbering) from which die j leads to
  // losses at most `target` in every pair; its losses in that numbering go to *found.
  bool findPredecessor(int m, std::uint32_t counts, int j, std::uint64_t target, std::uint64_t* found) const {
    std::uint32_t canonical = counts;
    for (int r = 1; r < n_; ++r) canonical = std::min(canonical, rotateCounts(counts, r));
    const Layer& layer = layers_[m];
    const auto it =
        std::lower_bound(layer.groups.begin(), layer.groups.end(), canonical,
                         [](const Group& group, std::uint32_t value) { return group.counts < value; });
    if (it == layer.groups.end() || it->counts != canonical) return false;
    for (int r = 0; r < n_; ++r) {
      if (rotateCounts(counts, r) != canonical) continue;
      // Kept losses are in the canonical numbering, r places on.
      for (std::uint32_t i = it->begin; i < it->begin + it->size; ++i) {
        const std::uint64_t losses = rotateLosses(layer.losses[i], (n_ - r) % n_);
        std::uint64_t placed = 0;
        if (place(counts, losses, j, &placed) && dominates(placed, target)) {
          *found = losses;
          return true;
        }
      }
    }
    return false;
  }

  int n_;
  int k_;
  int limit_;
  const StrongestRing::StopCheck& stop_;
  std::uint64_t guards_ = 0;
  std::uint32_t countMask_ = 0;
  std::uint64_t lossMask_ = 0;
  std::vector<Layer> layers_;
  std::uint64_t states_ = 0;
};

int weakestLinkOf(const Labelling& ring, int dice, int faces) {
  int weakest = faces * faces;
  for (int die = 0; die < dice; ++die) {
    const int next = (die + 1) % dice;
    weakest = std::min(weakest, pairScore(&ring[die * faces], &ring[next * faces], faces).wins);
  }
  return weakest;
}

}  // namespace

StrongestRing::StrongestRing(int dice, int faces) : dice_(dice), faces_(faces) {
  if (!isRingSize(dice, faces)) throw std::invalid_argument("StrongestRing: size out of range");
}

StrongestRing::Result StrongestRing::reach(int link, const StopCheck& stop) const {
  Result result;
  const int limit = faces_ * faces_ - link;
  if (limit < 0 || limit > lossLimit(faces_)) return result;  // beyond k*k, or a pair lost
  Reach search(dice_, faces_, limit, stop);
  try {
    const bool found = search.run();
    result.states = search.states();
    if (!found) return result;
    result.ring = search.ring();
  } catch (const Stopped&) {
    result.outcome = Outcome::Stopped;
    return result;
  }
  result.outcome = Outcome::Found;
  result.link = weakestLinkOf(result.ring, dice_, faces_);
  return result;
}

StrongestRing::Result StrongestRing::find(const StopCheck& stop, const Progress& progress) const {
  std::uint64_t states = 0;
  const int square = faces_ * faces_;
  // A won pair wins more than half of the k*k face pairs.
  for (int link = square; square - link <= lossLimit(faces_); --link) {
    if (progress) progress(link);
    Result result = reach(link, stop);
    states += result.states;
    result.states = states;
    if (result.outcome != Outcome::None) return result;
  }
  Result none;
  none.states = states;
  return none;
}

}  // namespace varno
