#include "ring/matrix.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "form/numbertext.h"
#include "ring/evaluation.h"
#include "ring/ring.h"

namespace varno {

WinMatrix winMatrix(const Ring& ring) {
  WinMatrix matrix;
  matrix.n = ring.n;
  matrix.k = ring.k;
  for (int i = 0; i < ring.n; ++i)
    for (int j = 0; j < ring.n; ++j) matrix.pairs[i][j] = pairScore(ring.die(i), ring.die(j), ring.k);
  return matrix;
}

std::optional<RingOrder> strongestOrder(const WinMatrix& matrix) {
  const int n = matrix.n;
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::optional<RingOrder> best;
  // Die 0 stays first; the others run through every permutation, in lexicographic order, so that the
  // order the ring has now is tried first and kept when nothing is stronger.
  do {
    int weakest = matrix.k * matrix.k;
    bool ring = true;
    for (int p = 0; p < n && ring; ++p) {
      const int i = order[p], j = order[(p + 1) % n];
      ring = matrix.beats(i, j);
      weakest = std::min(weakest, matrix.pairs[i][j].wins);
    }
    if (ring && (!best || weakest > best->weakestLink)) best = RingOrder{order, weakest};
  } while (std::next_permutation(order.begin() + 1, order.end()));
  return best;
}

std::string matrixCell(const WinMatrix& matrix, int i, int j) {
  if (i == j) return "–";
  const PairScore& score = matrix.pairs[i][j];
  std::string text = numberFormat(score.wins) + "/" + numberFormat(matrix.k * matrix.k) + "\n" +
                     numberFormat(winProbability(score.wins, matrix.k));
  if (score.ties > 0) text += "\n" + plainDigits(score.ties) + " unentschieden";
  return text;
}

std::string orderSentence(const WinMatrix& matrix) {
  const std::optional<RingOrder> best = strongestOrder(matrix);
  if (!best) return "In keiner Reihenfolge bilden diese Würfel einen Varno-Ring.";
  std::string order;
  for (int die : best->dice) order += "W" + plainDigits(die + 1) + " → ";
  order += "W1";
  const bool current = std::is_sorted(best->dice.begin(), best->dice.end());
  return std::string(current ? "Die stärkste Reihenfolge ist die des Rings: "
                             : "Varno-Ring in der Reihenfolge ") +
         order + ", schwächste Stelle" + numberFormat(best->weakestLink) + "/" +
         numberFormat(matrix.k * matrix.k) + ".";
}

}  // namespace varno
