#include "counting/steploop.h"

#include <gtest/gtest.h>

#include "counting/ringcounter.h"

namespace varno::testing {
namespace {

// The reference itself must be right before anything is held against it.
TEST(StepLoop, VisitsEveryLabellingOnceInOrderStartingWithTheSmallest) {
  std::vector<std::vector<int>> seen;
  const StepLoopResult result = runStepLoop(3, 3, [&](const std::vector<int>& l) { seen.push_back(l); });
  EXPECT_EQ(result.labellings, 560);
  EXPECT_EQ(seen.front(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
  for (const auto& labelling : seen) EXPECT_EQ(labelling[0], 1);
  EXPECT_EQ(result.rings.size(), 5u);
  EXPECT_EQ(result.bestMinimum, 5);
  // The first face of a later die starts at the smallest number not yet used.
  EXPECT_EQ(seen[1], (std::vector<int>{1, 2, 3, 4, 5, 7, 6, 8, 9}));
}

TEST(StepLoop, MatchesTheNumberOfLabellingsAndTheKnownCounts) {
  const int sizes[][3] = {{3, 4, 13}, {4, 3, -1}, {3, 2, 0}, {3, 1, 0}, {5, 2, 0}};
  for (const auto& [n, k, rings] : sizes) {
    const StepLoopResult result = runStepLoop(n, k);
    EXPECT_EQ(RingCounter::labellingCount(n, k), result.labellings) << n << 'x' << k;
    if (rings >= 0) {
      EXPECT_EQ(static_cast<int>(result.rings.size()), rings) << n << 'x' << k;
    }
  }
}

TEST(StepLoop, ExactlyHalfThePairsIsNotAWin) {
  // 3x4: k*k = 16, so every die of a ring wins at least 9 pairs; 8 of 16 is not enough.
  for (const auto& ring : runStepLoop(3, 4).rings)
    for (int i = 0; i < 3; ++i) {
      int wins = 0;
      for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 4; ++b) wins += ring[i * 4 + a] > ring[((i + 1) % 3) * 4 + b];
      EXPECT_GT(wins, 8);
    }
}

}  // namespace
}  // namespace varno::testing
