#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

#include "rules/ringrules.h"

namespace varno {

// Layout of the ring counter's state space.
//
// A labelling is read as a word over the dice in increasing order of the numbers; after m letters the
// state is the vector of face counts per die plus, for every pair (i, i+1), the losses of die i against
// die i+1 so far. Layer m holds all states with m placed faces. Within a layer the states are grouped
// into blocks by face-count vector, one block per rotation class (the canonical rotation is stored),
// and each block is a dense box: one coordinate per pair, holding that pair's loss count.
//
// A pair's coordinate only carries information while both of its dice are partly filled; otherwise it
// has a single value (the losses are 0 or fixed by the counts, or the pair is already decided).
//
// A plan may stop at any layer: counting by meeting in the middle needs the layers up to
// meetingLayer() only.
//
// The loss limit is that of a won pair, or tighter: a plan with limit L lays out the words whose every
// pair loses at most L face pairs, the rings whose weakest link is at least k*k - L.
class CountPlan {
 public:
  static constexpr int kMaxDice = varno::kMaxDice;
  static constexpr int kMaxFaces = varno::kMaxFaces;
  static constexpr int kAllLayers = -1;
  static constexpr int kRingLossLimit = -1;  // the loss limit of a won pair, floor((k*k - 1) / 2)

  struct Block {
    std::uint32_t counts = 0;                   // face counts, 4 bits per die, die 0 lowest
    std::array<std::uint8_t, kMaxDice> dims{};  // number of loss values per pair (1 when inactive)
    std::uint64_t offset = 0;                   // index of the block's first cell within its layer
    std::uint64_t cells = 0;                    // product of dims
  };
  using StopCheck = std::function<bool()>;
  // Thrown by the constructor when its stop check asks to give up.
  struct Stopped {};

  // Builds the layers 0..lastLayer (all of them by default); throws std::invalid_argument for sizes
  // outside 3..8 dice and 1..8 faces, and for a loss limit outside 0..floor((k*k - 1) / 2). `stop` is
  // polled every few thousand count vectors.
  CountPlan(int dice, int faces, int lastLayer = kAllLayers, const StopCheck& stop = {},
            int limit = kRingLossLimit);

  int dice() const { return dice_; }
  int faces() const { return faces_; }
  // Largest loss count a pair may end with: floor((k*k - 1) / 2) for every won pair, or the tighter
  // limit the plan was made with.
  int lossLimit() const { return lossLimit_; }
  // Layers of a whole count: 0..n*k.
  int layerCount() const { return dice_ * faces_ + 1; }
  // The last layer this plan holds.
  int lastLayer() const { return static_cast<int>(layers_.size()) - 1; }
  // The layer where a count that meets in the middle joins the numbers read upwards with those read
  // downwards: ceil(n*k / 2).
  static int meetingLayer(int dice, int faces) { return (dice * faces + 1) / 2; }

  const std::vector<Block>& blocks(int layer) const { return layers_[layer].blocks; }
  std::uint64_t cells(int layer) const { return layers_[layer].cells; }
  // Block of a canonical count vector, or nullptr if that vector cannot lead to a ring.
  const Block* find(int layer, std::uint32_t canonicalCounts) const;
  // Index of a block within its layer.
  std::size_t indexOf(int layer, const Block* block) const { return block - layers_[layer].blocks.data(); }

  // States over all layers 0..n*k, also those this plan does not hold: a layer above the plan is the
  // mirror of one below it (see mirror()), whose boxes are those of the pairs' remaining faces.
  std::uint64_t allLayerCells() const;
  // Source cells visited when stepping from layer - 1 into layer (a measure of time).
  std::uint64_t stepWork(int layer) const { return layers_[layer].work; }

  static int countOf(std::uint32_t counts, int die) { return static_cast<int>((counts >> (4 * die)) & 15u); }
  static std::uint32_t addFace(std::uint32_t counts, int die) { return counts + (1u << (4 * die)); }
  static std::uint32_t removeFace(std::uint32_t counts, int die) { return counts - (1u << (4 * die)); }

  // Smallest rotation of a count vector; *rotation receives r with canonical[q] = counts[(q + r) mod n].
  std::uint32_t canonical(std::uint32_t counts, int* rotation) const;
  // Number of distinct rotations of a count vector: n divided by its period's repetitions.
  int rotations(std::uint32_t counts) const;
  // The numbers still to come, read downwards with the dice numbered backwards: die n-1-i of the mirror
  // holds the k - c[i] faces die i still lacks. Pair i of `counts` is pair mirrorPair(i) of the mirror.
  std::uint32_t mirror(std::uint32_t counts) const;
  int mirrorPair(int pair) const { return (2 * dice_ - 2 - pair) % dice_; }
  // True when no pair is lost for certain: for every pair (i, i+1), the faces die i+1 still has to get
  // each beat all faces die i holds, so (k - c[i+1]) * c[i] must stay within the loss limit.
  bool feasible(std::uint32_t counts) const;
  // Whether pair (a faces of die i, b faces of die i+1) carries a loss coordinate, and its number of values.
  bool pairActive(int a, int b) const { return a > 0 && a < faces_ && b > 0 && b < faces_; }
  int pairDim(int a, int b) const;
  // Losses pair (a faces of die i, b faces of die i+1) may still take from the numbers above the
  // placed ones: the loss limit less the losses already certain, (k - b) * a.
  int room(int a, int b) const { return lossLimit_ - (faces_ - b) * a; }

 private:
  struct Layer {
    std::vector<Block> blocks;  // sorted by counts
    std::uint64_t cells = 0;
    std::uint64_t mirroredCells = 0;  // of the mirrors of its blocks, which make up layer n*k - m
    std::uint64_t work = 0;
  };

  void collect(std::vector<std::vector<std::uint32_t>>& byLayer, const StopCheck& stop) const;
  void layOut(const std::vector<std::vector<std::uint32_t>>& byLayer, const StopCheck& stop);

  int dice_;
  int faces_;
  int lossLimit_;
  std::array<int, 2> largestDivisors_{};  // the proper divisors of n that divide no larger proper one
  int largestDivisorCount_ = 0;
  std::vector<Layer> layers_;
};

}  // namespace varno
