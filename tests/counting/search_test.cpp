// The ring search and its completion check against the plain step-by-step loop at the sizes it walks
// through.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

#include "counting/completioncheck.h"
#include "counting/ringcounter.h"
#include "counting/ringsearch.h"
#include "counting/steploop.h"

namespace varno {
namespace {

using Outcome = RingSearch::Outcome;

// The ring found, or nothing.
Labelling ringOf(const RingSearch::Result& result) {
  return result.outcome == Outcome::Found ? result.labelling : Labelling{};
}

using Verdict = CompletionCheck::Verdict;
using Reading = CompletionCheck::Reading;
constexpr std::uint64_t kNoLimit = ~std::uint64_t{0};

// Allowed dice when the first `fixed` positions are placed as in `labelling` and the rest is open, as the
// ring search asks: the open die may take numbers above its last face, later dice anything.
CompletionCheck::AllowedDice allowedFor(const std::vector<int>& labelling, int dice, int faces, int fixed) {
  const int open = (fixed - 1) / faces;
  CompletionCheck::AllowedDice allowed{};
  for (int number = 1; number <= dice * faces; ++number) {
    for (int die = open + 1; die < dice; ++die) allowed[number] |= static_cast<std::uint8_t>(1u << die);
    if (fixed % faces != 0 && number > labelling[fixed - 1])
      allowed[number] |= static_cast<std::uint8_t>(1u << open);
  }
  for (int p = 0; p < fixed; ++p) allowed[labelling[p]] = static_cast<std::uint8_t>(1u << (p / faces));
  return allowed;
}

// The loop examines every labelling once; the search finds exactly the loop's rings, in order both ways,
// from each ring and from labellings that are mostly no rings, and judges their weakest links alike. A
// labelling cut short can be completed exactly when one of the loop's rings starts with it, in either
// reading of the completion check alone and in the check that tries a beam first; half of them are rings.
TEST(RingSearchTest, AndItsCompletionCheckAgreeWithTheLoop) {
  for (const auto& [dice, faces] : testing::kLoopSizes) {
    SCOPED_TRACE(testing::sizeName(dice, faces));
    const auto& reference = testing::stepLoop(dice, faces);
    const auto& rings = reference.rings;
    EXPECT_EQ(RingCounter::labellingCount(dice, faces), reference.labellings);
    const RingSearch search(dice, faces);
    EXPECT_EQ(ringOf(search.first()), rings.empty() ? Labelling{} : rings.front());
    EXPECT_EQ(ringOf(search.last()), rings.empty() ? Labelling{} : rings.back());
    for (std::size_t i = 0; i < rings.size(); ++i) {
      ASSERT_EQ(ringOf(search.next(rings[i])), i + 1 < rings.size() ? rings[i + 1] : Labelling{});
      ASSERT_EQ(ringOf(search.previous(rings[i])), i > 0 ? rings[i - 1] : Labelling{});
      EXPECT_EQ(search.weakestLink(rings[i]), testing::weakestLinkOf(rings[i], dice, faces));
    }
    std::mt19937 random(dice * 10 + faces);
    for (int i = 0; i < 200; ++i) {
      const Labelling start = testing::randomLabelling(dice, faces, random);
      const auto after = std::upper_bound(rings.begin(), rings.end(), start);
      const auto before = std::lower_bound(rings.begin(), rings.end(), start);
      EXPECT_EQ(ringOf(search.next(start)), after == rings.end() ? Labelling{} : *after);
      EXPECT_EQ(ringOf(search.previous(start)), before == rings.begin() ? Labelling{} : *(before - 1));
    }
    CompletionCheck check(dice, faces);
    int completable = 0;
    for (int i = 0; i < 400; ++i) {
      const std::vector<int> labelling = i % 2 == 1 && !rings.empty()
                                             ? rings[random() % rings.size()]
                                             : testing::randomLabelling(dice, faces, random);
      const int fixed = 1 + static_cast<int>(random() % ((dice - 1) * faces - 1));
      const CompletionCheck::AllowedDice allowed = allowedFor(labelling, dice, faces, fixed);
      const bool extends = std::any_of(rings.begin(), rings.end(), [&](const std::vector<int>& ring) {
        return std::equal(ring.begin(), ring.begin() + fixed, labelling.begin());
      });
      completable += extends;
      const Verdict expected = extends ? Verdict::Completable : Verdict::Impossible;
      EXPECT_EQ(check.check(allowed, Reading::Upward, kNoLimit), expected) << i;
      EXPECT_EQ(check.check(allowed, Reading::Downward, kNoLimit), expected) << i;
      EXPECT_EQ(check.check(allowed, kNoLimit), expected) << i;
    }
    EXPECT_EQ(completable > 0, !rings.empty());
    EXPECT_LT(completable, 400);
  }
}

// A search stops when asked and refuses what is no labelling. The completion check of open labellings,
// only the 1 placed: a stop ends a reading at its first look; a budget too small then gives up in either
// reading, not stopped; the beam settles even the largest sizes within a small budget.
TEST(RingSearchTest, StopsWhenAskedGivesUpWhenToldAndRefusesWhatIsNoLabelling) {
  EXPECT_EQ(RingSearch(8, 4).last([] { return true; }).outcome, Outcome::Stopped);
  const RingSearch search(3, 2);
  // A die unsorted, a number twice, the 1 not first, one number short, a number too large.
  for (const Labelling& bad :
       {Labelling{1, 2, 4, 3, 5, 6}, Labelling{1, 2, 3, 3, 5, 6}, Labelling{2, 3, 1, 4, 5, 6},
        Labelling{1, 2, 3, 4, 5}, Labelling{1, 2, 3, 4, 5, 7}}) {
    EXPECT_FALSE(search.isLabelling(bad));
    EXPECT_THROW(search.next(bad), std::invalid_argument);
    EXPECT_THROW(search.previous(bad), std::invalid_argument);
  }
  auto open = [](int dice, int faces) { return allowedFor(std::vector<int>{1}, dice, faces, 1); };
  CompletionCheck check(5, 5);
  int calls = 0;
  EXPECT_EQ(check.check(open(5, 5), Reading::Upward, kNoLimit, [&calls] { return ++calls >= 1; }),
            Verdict::Unknown);
  EXPECT_TRUE(check.lastStopped());
  EXPECT_EQ(calls, 1);
  for (const Reading reading : {Reading::Upward, Reading::Downward}) {
    EXPECT_EQ(check.check(open(5, 5), reading, 100), Verdict::Unknown);
    EXPECT_FALSE(check.lastStopped());
    EXPECT_EQ(check.check(open(5, 5), reading, kNoLimit), Verdict::Completable);
  }
  for (const auto& [dice, faces] : {std::pair{6, 6}, std::pair{8, 8}, std::pair{4, 8}}) {
    CompletionCheck large(dice, faces);
    EXPECT_EQ(large.check(open(dice, faces), 1000), Verdict::Completable) << testing::sizeName(dice, faces);
  }
}

}  // namespace
}  // namespace varno
