// Every die against every other, not only against its neighbour: how often die i beats die j, and the
// order around the circle in which the dice make the strongest ring.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "rules/ringrules.h"

namespace varno {

struct Ring;

// pairs[i][j]: the wins and ties of die i against die j over the k*k face pairs.
struct WinMatrix {
  int n = 0, k = 0;
  std::array<std::array<PairScore, kMaxDice>, kMaxDice> pairs{};

  bool beats(int i, int j) const {
    const PairScore& s = pairs[i][j];
    return dieBeats(s.wins, k * k - s.wins - s.ties);
  }
};

WinMatrix winMatrix(const Ring& ring);

// An order of the dice around the circle (die numbers from 0, starting with die 0) in which every die
// beats the next and the last beats the first, with the smallest number of wins among those pairs.
struct RingOrder {
  std::vector<int> dice;
  int weakestLink = 0;
};

// Of all orders around the circle (each turned so that die 0 comes first), one whose weakest link is the
// largest; the current order 0, 1, ..., n-1 when it is among the best. Nothing when no order makes a ring.
std::optional<RingOrder> strongestOrder(const WinMatrix& matrix);

// What the win matrix shows in the cell of die i (row) against die j (column), from 0: the wins as a
// fraction of the k*k pairs and the probability, in the number format of the ring table (" 5/ 9",
// " .55"), and the ties when there are any ("2 unentschieden"); "–" where a die meets itself.
std::string matrixCell(const WinMatrix& matrix, int i, int j);

// The sentence below the matrix: whether the dice make a Varno ring in some order around the circle,
// and the order with the strongest weakest link.
std::string orderSentence(const WinMatrix& matrix);

}  // namespace varno
