#include "counting/strongestring.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "counting/knowncounts.h"
#include "counting/ringsearch.h"
#include "counting/steploop.h"

namespace varno {
namespace {

using Outcome = StrongestRing::Outcome;

// The ring found is a labelling and a ring whose weakest link is the one reported, and no ring does
// better.
void expectStrongest(int dice, int faces, const StrongestRing::Result& result) {
  const RingSearch rules(dice, faces);
  ASSERT_EQ(result.outcome, Outcome::Found);
  EXPECT_TRUE(rules.isLabelling(result.ring));
  EXPECT_TRUE(rules.isRing(result.ring));
  EXPECT_EQ(rules.weakestLink(result.ring), result.link);
  EXPECT_EQ(StrongestRing(dice, faces).reach(result.link + 1).outcome, Outcome::None);
}

TEST(StrongestRingTest, ReachesTheFirstCountersBestLink) {
  for (const testing::KnownCount& known : testing::knownCounts()) {
    SCOPED_TRACE(testing::sizeName(known.dice, known.faces));
    const StrongestRing::Result result = StrongestRing(known.dice, known.faces).find();
    if (std::string(known.rings) == "0") {
      EXPECT_EQ(result.outcome, Outcome::None);
      continue;
    }
    expectStrongest(known.dice, known.faces, result);
    EXPECT_EQ(result.link, known.bestWeakestLink);
  }
}

// Sizes far too large to count are settled as well.
TEST(StrongestRingTest, FindsRingsOfTheLargestSizes) {
  for (const auto& [dice, faces] : std::vector<std::pair<int, int>>{{7, 7}, {8, 7}, {7, 8}, {8, 8}}) {
    SCOPED_TRACE(testing::sizeName(dice, faces));
    expectStrongest(dice, faces, StrongestRing(dice, faces).find());
  }
}

TEST(StrongestRingTest, ReachAsksForOneLinkAndStopsWhenAsked) {
  const StrongestRing search(6, 6);
  const StrongestRing::Result weaker = search.reach(20);
  ASSERT_EQ(weaker.outcome, Outcome::Found);
  EXPECT_GE(RingSearch(6, 6).weakestLink(weaker.ring), 20);
  EXPECT_EQ(search.reach(37).outcome, Outcome::None);  // more than all 36 face pairs
  EXPECT_EQ(search.reach(18).outcome, Outcome::None);  // a link of 18 of 36 is no win

  int polls = 0;
  std::vector<int> links;
  const StrongestRing::Result stopped =
      StrongestRing(8, 8).find([&] { return ++polls == 3; }, [&](int link) { links.push_back(link); });
  EXPECT_EQ(stopped.outcome, Outcome::Stopped);
  EXPECT_EQ(polls, 3);
  ASSERT_FALSE(links.empty());
  EXPECT_EQ(links.front(), 64);
}

}  // namespace
}  // namespace varno
