#pragma once

#include <array>
#include <cstdint>
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
class CountPlan {
 public:
  static constexpr int kMaxDice = varno::kMaxDice;
  static constexpr int kMaxFaces = varno::kMaxFaces;

  struct Block {
    std::uint32_t counts = 0;                   // face counts, 4 bits per die, die 0 lowest
    std::array<std::uint8_t, kMaxDice> dims{};  // number of loss values per pair (1 when inactive)
    std::uint64_t offset = 0;                   // index of the block's first cell within its layer
    std::uint64_t cells = 0;                    // product of dims
  };

  // Builds the plan; throws std::invalid_argument for sizes outside 3..8 dice and 1..8 faces.
  CountPlan(int dice, int faces);

  int dice() const { return dice_; }
  int faces() const { return faces_; }
  // Largest loss count a pair may end with and still be won: floor((k*k - 1) / 2).
  int lossLimit() const { return lossLimit_; }
  int layerCount() const { return dice_ * faces_ + 1; }

  const std::vector<Block>& blocks(int layer) const { return layers_[layer].blocks; }
  std::uint64_t cells(int layer) const { return layers_[layer].cells; }
  // Block of a canonical count vector, or nullptr if that vector cannot lead to a ring.
  const Block* find(int layer, std::uint32_t canonicalCounts) const;

  // Source cells visited when stepping from layer - 1 into layer (a measure of time).
  std::uint64_t stepWork(int layer) const { return layers_[layer].work; }
  std::uint64_t totalWork() const { return totalWork_; }
  std::uint64_t largestLayerCells() const { return largestLayerCells_; }
  // Cells held at once: two buffers of the largest layer, read and written in turn.
  std::uint64_t peakCells() const { return 2 * largestLayerCells_; }
  std::uint64_t totalCells() const { return totalCells_; }

  static int countOf(std::uint32_t counts, int die) { return static_cast<int>((counts >> (4 * die)) & 15u); }
  static std::uint32_t addFace(std::uint32_t counts, int die) { return counts + (1u << (4 * die)); }
  static std::uint32_t removeFace(std::uint32_t counts, int die) { return counts - (1u << (4 * die)); }

  // Smallest rotation of a count vector; *rotation receives r with canonical[q] = counts[(q + r) mod n].
  std::uint32_t canonical(std::uint32_t counts, int* rotation) const;
  // True when no pair is lost for certain: for every pair (i, i+1), the faces die i+1 still has to get
  // each beat all faces die i holds, so (k - c[i+1]) * c[i] must stay within the loss limit.
  bool feasible(std::uint32_t counts) const;
  // Whether pair (a faces of die i, b faces of die i+1) carries a loss coordinate, and its number of values.
  bool pairActive(int a, int b) const { return a > 0 && a < faces_ && b > 0 && b < faces_; }
  int pairDim(int a, int b) const;

 private:
  struct Layer {
    std::vector<Block> blocks;  // sorted by counts
    std::uint64_t cells = 0;
    std::uint64_t work = 0;
  };

  void collectFeasible(std::vector<std::vector<std::uint32_t>>& byLayer) const;
  void keepConnected(std::vector<std::vector<std::uint32_t>>& byLayer) const;
  void layOut(const std::vector<std::vector<std::uint32_t>>& byLayer);

  int dice_;
  int faces_;
  int lossLimit_;
  std::vector<Layer> layers_;
  std::uint64_t totalWork_ = 0;
  std::uint64_t largestLayerCells_ = 0;
  std::uint64_t totalCells_ = 0;
};

}  // namespace varno
