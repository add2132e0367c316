// The fast counter and the ring search against the plain step-by-step loop, size by size. Each size is
// one test, so that the loop runs once per size.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "counting/ringcounter.h"
#include "counting/ringsearch.h"
#include "counting/steploop.h"

namespace varno {
namespace {

using Outcome = RingSearch::Outcome;

class ReferenceAgreementTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(ReferenceAgreementTest, CounterAndSearchAgreeWithTheLoop) {
  const auto [dice, faces] = GetParam();
  const auto& reference = testing::stepLoop(dice, faces);
  const auto& rings = reference.rings;

  const RingCount count = RingCounter(dice, faces).run();
  EXPECT_EQ(count.labellings, reference.labellings);
  EXPECT_EQ(count.rings, rings.size());
  EXPECT_EQ(count.bestWeakestLink, reference.bestMinimum);

  const RingSearch search(dice, faces);
  RingSearch::Result current = search.first();
  for (const auto& ring : rings) {
    ASSERT_EQ(current.outcome, Outcome::Found);
    ASSERT_EQ(current.labelling, ring);
    current = search.next(current.labelling);
  }
  EXPECT_EQ(current.outcome, Outcome::None);

  current = search.last();
  for (auto ring = rings.rbegin(); ring != rings.rend(); ++ring) {
    ASSERT_EQ(current.outcome, Outcome::Found);
    ASSERT_EQ(current.labelling, *ring);
    current = search.previous(current.labelling);
  }
  EXPECT_EQ(current.outcome, Outcome::None);

  // From labellings that are mostly no rings.
  std::mt19937 random(dice * 10 + faces);
  for (int i = 0; i < 200; ++i) {
    const Labelling start = testing::randomLabelling(dice, faces, random);
    const auto after = std::upper_bound(rings.begin(), rings.end(), start);
    const RingSearch::Result next = search.next(start);
    if (after == rings.end()) {
      EXPECT_EQ(next.outcome, Outcome::None);
    } else {
      ASSERT_EQ(next.outcome, Outcome::Found);
      EXPECT_EQ(next.labelling, *after);
    }
    const auto before = std::lower_bound(rings.begin(), rings.end(), start);
    const RingSearch::Result previous = search.previous(start);
    if (before == rings.begin()) {
      EXPECT_EQ(previous.outcome, Outcome::None);
    } else {
      ASSERT_EQ(previous.outcome, Outcome::Found);
      EXPECT_EQ(previous.labelling, *(before - 1));
    }
  }
}

// Every size the plain loop walks through within seconds, including sizes without any ring.
INSTANTIATE_TEST_SUITE_P(SmallSizes, ReferenceAgreementTest,
                         ::testing::Values(std::pair{3, 1}, std::pair{4, 1}, std::pair{8, 1}, std::pair{3, 2},
                                           std::pair{4, 2}, std::pair{5, 2}, std::pair{6, 2}, std::pair{3, 3},
                                           std::pair{3, 4}, std::pair{3, 5}, std::pair{4, 3}, std::pair{3, 6},
                                           std::pair{4, 4}, std::pair{5, 3}),
                         [](const auto& info) {
                           return testing::sizeName(info.param.first, info.param.second);
                         });

}  // namespace
}  // namespace varno
