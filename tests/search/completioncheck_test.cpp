#include "search/completioncheck.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "steploop.h"

namespace varno {
namespace {

using Verdict = CompletionCheck::Verdict;
constexpr std::uint64_t kNoLimit = ~std::uint64_t{0};

// Allowed dice when the first `fixed` positions are placed as in `labelling` and the rest is open:
// the open die may take numbers above its last face, later dice anything.
CompletionCheck::AllowedDice allowedFor(const std::vector<int>& labelling, int dice, int faces, int fixed) {
  const int open = (fixed - 1) / faces;
  const bool openHasRoom = fixed % faces != 0;
  CompletionCheck::AllowedDice allowed{};
  for (int number = 1; number <= dice * faces; ++number) {
    for (int die = open + 1; die < dice; ++die) allowed[number] |= static_cast<std::uint8_t>(1u << die);
    if (openHasRoom && number > labelling[fixed - 1])
      allowed[number] |= static_cast<std::uint8_t>(1u << open);
  }
  for (int p = 0; p < fixed; ++p) allowed[labelling[p]] = static_cast<std::uint8_t>(1u << (p / faces));
  return allowed;
}

TEST(CompletionCheckTest, AgreesWithTheRingsOfTheLoop) {
  // For every prefix of every labelling of 4x3: completable exactly when some ring starts with it.
  const int dice = 4;
  const int faces = 3;
  const auto& rings = testing::stepLoop(dice, faces).rings;
  for (int fixed = 1; fixed <= 2 * faces; ++fixed) {
    std::set<std::vector<int>> ringPrefixes;
    for (const auto& ring : rings) ringPrefixes.emplace(ring.begin(), ring.begin() + fixed);
    std::set<std::vector<int>> seen;
    CompletionCheck check(dice, faces);
    testing::runStepLoop(dice, faces, [&](const std::vector<int>& labelling) {
      const std::vector<int> prefix(labelling.begin(), labelling.begin() + fixed);
      if (!seen.insert(prefix).second) return;
      const Verdict verdict = check.check(allowedFor(labelling, dice, faces, fixed), kNoLimit);
      EXPECT_EQ(verdict, ringPrefixes.count(prefix) ? Verdict::Completable : Verdict::Impossible)
          << "prefix of " << fixed;
    });
  }
}

TEST(CompletionCheckTest, ContinuesWhereTheBudgetRanOut) {
  std::vector<int> start(20, 0);
  start[0] = 1;
  const auto allowed = allowedFor(start, 4, 5, 1);

  CompletionCheck fresh(4, 5);
  ASSERT_EQ(fresh.check(allowed, kNoLimit), Verdict::Completable);
  const std::uint64_t wholeCheck = fresh.lastStates();

  CompletionCheck stepwise(4, 5);
  EXPECT_EQ(stepwise.check(allowed, 100), Verdict::Unknown);
  std::uint64_t built = stepwise.lastStates();
  Verdict verdict = Verdict::Unknown;
  for (std::uint64_t budget = 200; verdict == Verdict::Unknown; budget *= 2) {
    verdict = stepwise.check(allowed, budget);
    built += stepwise.lastStates();
  }
  EXPECT_EQ(verdict, Verdict::Completable);
  EXPECT_EQ(stepwise.lastRunStates(), fresh.lastRunStates());
  // Work lost to interrupted layers stays small against starting over each time.
  EXPECT_LT(built, 3 * wholeCheck);

  // Asking again for the same numbers reuses everything.
  EXPECT_EQ(stepwise.check(allowed, kNoLimit), Verdict::Completable);
  EXPECT_EQ(stepwise.lastStates(), 0u);
}

TEST(CompletionCheckTest, StopsWhenAsked) {
  std::vector<int> start(36, 0);
  start[0] = 1;
  CompletionCheck check(6, 6);
  EXPECT_EQ(check.check(allowedFor(start, 6, 6, 1), kNoLimit, [] { return true; }), Verdict::Unknown);
}

TEST(CompletionCheckTest, SizesWithoutRingsAreImpossible) {
  for (int faces = 1; faces <= 2; ++faces) {
    const std::vector<int> start(4 * faces, 1);
    CompletionCheck check(4, faces);
    EXPECT_EQ(check.check(allowedFor(start, 4, faces, 1), kNoLimit), Verdict::Impossible);
  }
}

}  // namespace
}  // namespace varno
