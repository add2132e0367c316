#include "ring/matrix.h"

#include <gtest/gtest.h>

#include "ring/ring.h"

namespace varno {
namespace {

Ring ringOf(const std::vector<std::vector<double>>& dice) {
  Ring ring;
  ring.n = static_cast<int>(dice.size());
  ring.k = static_cast<int>(dice[0].size());
  for (int d = 0; d < ring.n; ++d)
    for (int f = 0; f < ring.k; ++f) ring.values[d][f] = dice[d][f];
  return ring;
}

// Five dice whose own order is a ring with the weakest link 11, and the order W1 W3 W5 W2 W4 one with 12;
// no cell equals the one across the diagonal.
const std::vector<std::vector<double>> kTwoRings = {
    {9, 12, 12, 13, 15}, {5, 5, 12, 13, 25}, {3, 5, 12, 23, 25}, {2, 3, 17, 19, 23}, {1, 9, 16, 17, 23}};

// Each die against the next and the other way round, a die against itself, and cells with and without
// ties.
TEST(WinMatrix, EveryCellCountsTheRowsDieAgainstTheColumnsWithItsTies) {
  const WinMatrix matrix = winMatrix(ringOf(kTwoRings));
  // clang-format off
  const std::tuple<int, int, const char*> cells[] = {
      {0, 1, " 13/ 25\n .52\n3 unentschieden"}, {1, 0, " 9/ 25\n .36\n3 unentschieden"},
      {0, 3, " 10/ 25\n .4"}, {3, 0, " 15/ 25\n .6"}, {4, 0, " 15/ 25\n .6\n1 unentschieden"},
      {1, 2, " 11/ 25\n .44\n4 unentschieden"}, {2, 2, "–"},
  };
  // clang-format on
  for (const auto& [i, j, text] : cells) EXPECT_EQ(matrixCell(matrix, i, j), text) << i << ',' << j;
}

TEST(WinMatrix, TheStrongestOrderAroundTheCircle) {
  // The order found (empty: none) and the sentence that tells it.
  // clang-format off
  const std::tuple<const char*, std::vector<std::vector<double>>, std::vector<int>, const char*> rows[] = {
      {"another order is stronger", kTwoRings, {0, 2, 4, 1, 3},
       "Varno-Ring in der Reihenfolge W1 → W3 → W5 → W2 → W4 → W1, schwächste Stelle 12/ 25."},
      // W1 W3 W5 W2 W4 is as strong as the ring's own order, which is kept.
      {"the own order among the best",
       {{7, 10, 14, 14, 14}, {4, 7, 9, 14, 25}, {3, 4, 6, 23, 25}, {1, 2, 14, 17, 22}, {1, 12, 14, 16, 18}},
       {0, 1, 2, 3, 4},
       "Die stärkste Reihenfolge ist die des Rings: W1 → W2 → W3 → W4 → W5 → W1, schwächste Stelle 12/ 25."},
      // 7 of 16 won, 3 tied: beaten.
      {"won with fewer than half", {{2, 2, 3, 7}, {1, 2, 6, 7}, {2, 4, 4, 5}}, {0, 1, 2},
       "Die stärkste Reihenfolge ist die des Rings: W1 → W2 → W3 → W1, schwächste Stelle 7/ 16."},
      {"the other way round", {{1, 6, 8}, {2, 4, 9}, {3, 5, 7}}, {0, 2, 1},
       "Varno-Ring in der Reihenfolge W1 → W3 → W2 → W1, schwächste Stelle 5/ 9."},
      // W2 wins 8 of 16 against W3 and loses 8; the other way round W1 loses to W3.
      {"half is not enough", {{1, 4, 6, 7}, {2, 3, 4, 6}, {1, 1, 7, 8}}, {},
       "In keiner Reihenfolge bilden diese Würfel einen Varno-Ring."},
  };
  // clang-format on
  for (const auto& [name, dice, order, sentence] : rows) {
    const WinMatrix matrix = winMatrix(ringOf(dice));
    const std::optional<RingOrder> best = strongestOrder(matrix);
    EXPECT_EQ(best ? best->dice : std::vector<int>{}, order) << name;
    EXPECT_EQ(orderSentence(matrix), sentence) << name;
  }
}

}  // namespace
}  // namespace varno
