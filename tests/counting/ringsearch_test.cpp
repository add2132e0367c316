#include "counting/ringsearch.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

#include "counting/steploop.h"

namespace varno {
namespace {

using Outcome = RingSearch::Outcome;

// Beyond the reference sizes: no ring may lie between a labelling and the ring found after it, which
// the backward search confirms from the other side, and vice versa.
TEST(RingSearchTest, ForwardAndBackwardAgreeOnLargerSizes) {
  for (const auto& [dice, faces] : {std::pair{5, 5}, std::pair{6, 4}, std::pair{4, 6}, std::pair{7, 3},
                                    std::pair{6, 6}, std::pair{8, 5}}) {
    SCOPED_TRACE(testing::sizeName(dice, faces));
    const RingSearch search(dice, faces);
    const Labelling first = search.first().labelling;
    const Labelling last = search.last().labelling;
    std::mt19937 random(dice * 10 + faces);
    for (int i = 0; i < 40; ++i) {
      const Labelling start = testing::randomLabelling(dice, faces, random);
      const RingSearch::Result next = search.next(start);
      if (next.outcome == Outcome::Found) {
        EXPECT_TRUE(search.isRing(next.labelling));
        EXPECT_GT(next.labelling, start);
        const RingSearch::Result back = search.previous(next.labelling);
        if (back.outcome == Outcome::Found) {
          EXPECT_LE(back.labelling, start);
        } else {
          EXPECT_EQ(next.labelling, first);
        }
      } else {
        EXPECT_EQ(next.outcome, Outcome::None);
        EXPECT_LE(last, start);
      }

      const RingSearch::Result previous = search.previous(start);
      if (previous.outcome == Outcome::Found) {
        EXPECT_TRUE(search.isRing(previous.labelling));
        EXPECT_LT(previous.labelling, start);
        EXPECT_GE(search.next(previous.labelling).labelling, start);
      } else {
        EXPECT_EQ(previous.outcome, Outcome::None);
        EXPECT_GE(first, start);
      }
    }
  }
}

// Beyond the reference sizes, a ring that both directions skipped would go unnoticed above; stepping
// through all rings of a size must meet each of them, as many as are known to exist: 697733 for 3x7
// (the published count for three dice) and 1625280 for 6x3 (the counter's), backwards for a change.
TEST(RingSearchTest, SteppingFromEndToEndMeetsEveryRing) {
  const RingSearch sevenFaces(3, 7);
  long rings = 0;
  for (auto ring = sevenFaces.first(); ring.outcome == Outcome::Found; ring = sevenFaces.next(ring.labelling))
    ++rings;
  EXPECT_EQ(rings, 697733);

  const RingSearch sixDice(6, 3);
  rings = 0;
  for (auto ring = sixDice.last(); ring.outcome == Outcome::Found; ring = sixDice.previous(ring.labelling))
    ++rings;
  EXPECT_EQ(rings, 1625280);
}

TEST(RingSearchTest, FindsTheEndsOfTheOrder) {
  const RingSearch search(6, 4);
  const RingSearch::Result first = search.first();
  const RingSearch::Result last = search.last();
  ASSERT_EQ(first.outcome, Outcome::Found);
  ASSERT_EQ(last.outcome, Outcome::Found);
  EXPECT_TRUE(search.isRing(first.labelling));
  EXPECT_TRUE(search.isRing(last.labelling));
  EXPECT_EQ(search.previous(first.labelling).outcome, Outcome::None);
  EXPECT_EQ(search.next(last.labelling).outcome, Outcome::None);
  EXPECT_EQ(last.labelling, Labelling({1, 19, 20, 23, 15, 16, 17, 18, 11, 12, 13, 14,  //
                                       7, 8,  9,  10, 4,  5,  6,  22, 2,  3,  21, 24}));
}

TEST(RingSearchTest, StopsWhenAsked) {
  const RingSearch search(8, 4);
  int calls = 0;
  const RingSearch::Result result = search.last([&calls] { return ++calls >= 1; });
  EXPECT_EQ(result.outcome, Outcome::Stopped);
  EXPECT_GE(calls, 1);
}

TEST(RingSearchTest, JudgesLabellingsLikeTheReference) {
  const RingSearch search(4, 4);
  for (const auto& ring : testing::stepLoop(4, 3).rings) EXPECT_FALSE(search.isLabelling(ring));
  const RingSearch small(3, 5);
  for (const auto& ring : testing::stepLoop(3, 5).rings) {
    ASSERT_TRUE(small.isRing(ring));
    EXPECT_EQ(small.weakestLink(ring), testing::weakestLinkOf(ring, 3, 5));
  }
  const Labelling plain = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  EXPECT_TRUE(search.isLabelling(plain));
  EXPECT_FALSE(search.isRing(plain));
  EXPECT_EQ(search.wins(plain, 3), 16);
  EXPECT_EQ(search.weakestLink(plain), 0);

  Labelling unsorted = plain;
  std::swap(unsorted[1], unsorted[2]);
  Labelling repeated = plain;
  repeated[5] = 5;
  Labelling withoutOne = plain;
  std::swap(withoutOne[0], withoutOne[4]);
  for (const auto& bad : {unsorted, repeated, withoutOne, Labelling(15, 1)}) {
    EXPECT_FALSE(search.isLabelling(bad));
    EXPECT_THROW(search.next(bad), std::invalid_argument);
    EXPECT_THROW(search.previous(bad), std::invalid_argument);
  }
  EXPECT_THROW(RingSearch(3, 9), std::invalid_argument);
}

}  // namespace
}  // namespace varno
