#include "counting/completioncheck.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "counting/steploop.h"

namespace varno {
namespace {

using Verdict = CompletionCheck::Verdict;
using Reading = CompletionCheck::Reading;
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

// Whether the labelling gives every number a die it may take.
bool fits(const std::vector<int>& labelling, int faces, const CompletionCheck::AllowedDice& allowed) {
  for (int p = 0; p < static_cast<int>(labelling.size()); ++p) {
    if (((allowed[labelling[p]] >> (p / faces)) & 1u) == 0) return false;
  }
  return true;
}

// Both readings alone and the combined check, without a budget; the beam alone may fail to decide,
// but must not contradict.
void expectVerdict(CompletionCheck& check, const CompletionCheck::AllowedDice& allowed, Verdict expected) {
  EXPECT_EQ(check.check(allowed, Reading::Upward, kNoLimit), expected);
  EXPECT_EQ(check.check(allowed, Reading::Downward, kNoLimit), expected);
  EXPECT_EQ(check.check(allowed, kNoLimit), expected);
  for (const Reading reading : {Reading::Upward, Reading::Downward}) {
    for (const int width : {1, 16}) {
      const Verdict beam = check.findCompletion(allowed, reading, width);
      if (beam != Verdict::Unknown) {
        EXPECT_EQ(beam, expected) << "beam of " << width;
      }
    }
  }
}

class CompletionCheckPrefixTest : public ::testing::TestWithParam<std::pair<int, int>> {};

// For every prefix of every labelling: completable exactly when some ring starts with it.
TEST_P(CompletionCheckPrefixTest, AgreesWithTheRingsOfTheLoop) {
  // Plain variables: Clang 14 cannot capture a structured binding in a lambda.
  const int dice = GetParam().first;
  const int faces = GetParam().second;
  const auto& rings = testing::stepLoop(dice, faces).rings;
  for (int fixed = 1; fixed < (dice - 1) * faces; ++fixed) {
    SCOPED_TRACE("prefix of " + std::to_string(fixed));
    std::set<std::vector<int>> ringPrefixes;
    for (const auto& ring : rings) ringPrefixes.emplace(ring.begin(), ring.begin() + fixed);
    std::set<std::vector<int>> seen;
    CompletionCheck check(dice, faces);
    testing::runStepLoop(dice, faces, [&](const std::vector<int>& labelling) {
      const std::vector<int> prefix(labelling.begin(), labelling.begin() + fixed);
      if (!seen.insert(prefix).second) return;
      expectVerdict(check, allowedFor(labelling, dice, faces, fixed),
                    ringPrefixes.count(prefix) ? Verdict::Completable : Verdict::Impossible);
    });
  }
}

INSTANTIATE_TEST_SUITE_P(SmallSizes, CompletionCheckPrefixTest,
                         ::testing::Values(std::pair{4, 3}, std::pair{3, 4}, std::pair{5, 2}),
                         [](const auto& info) {
                           return testing::sizeName(info.param.first, info.param.second);
                         });

// Allowed dice of any shape, not only those of a prefix: random subsets per number.
TEST(CompletionCheckTest, AgreesWithTheRingsOfTheLoopOnAnyAllowedDice) {
  for (const auto& [dice, faces] : {std::pair{4, 3}, std::pair{3, 4}, std::pair{3, 5}, std::pair{3, 6}}) {
    SCOPED_TRACE(testing::sizeName(dice, faces));
    const auto& rings = testing::stepLoop(dice, faces).rings;
    std::mt19937 random(dice * 10 + faces);
    CompletionCheck check(dice, faces);
    int completable = 0;
    for (int i = 0; i < 400; ++i) {
      CompletionCheck::AllowedDice allowed{};
      allowed[1] = 1;  // the loop keeps the number 1 on the first die
      const unsigned all = (1u << dice) - 1;
      for (int number = 2; number <= dice * faces; ++number) {
        // Mostly open numbers, some narrowed down, a few pinned to one die.
        const unsigned draw = random() % 8;
        allowed[number] = static_cast<std::uint8_t>(draw < 4   ? all
                                                    : draw < 7 ? random() & all
                                                               : 1u << (random() % dice));
      }
      bool expected = false;
      for (const auto& ring : rings) expected = expected || fits(ring, faces, allowed);
      completable += expected;
      expectVerdict(check, allowed, expected ? Verdict::Completable : Verdict::Impossible);
    }
    EXPECT_GT(completable, 0);
  }
}

TEST(CompletionCheckTest, GivesUpBeyondTheBudget) {
  std::vector<int> start(25, 0);
  start[0] = 1;
  const auto allowed = allowedFor(start, 5, 5, 1);
  CompletionCheck check(5, 5);
  for (const Reading reading : {Reading::Upward, Reading::Downward}) {
    EXPECT_EQ(check.check(allowed, reading, 100), Verdict::Unknown);
    EXPECT_FALSE(check.lastStopped());
    EXPECT_EQ(check.lastStates(), 101u);
    EXPECT_EQ(check.check(allowed, reading, kNoLimit), Verdict::Completable);
    EXPECT_GT(check.lastStates(), 10000u);
  }
}

TEST(CompletionCheckTest, BeamFindsCompletionsOfOpenLabellings) {
  // Rings are plentiful here, and the beam settles these at once, far below what reading costs.
  for (const auto& [dice, faces] : {std::pair{5, 5}, std::pair{6, 6}, std::pair{8, 8}, std::pair{4, 8}}) {
    std::vector<int> start(dice * faces, 0);
    start[0] = 1;
    CompletionCheck check(dice, faces);
    EXPECT_EQ(check.check(allowedFor(start, dice, faces, 1), 1000), Verdict::Completable);
    EXPECT_LT(check.lastStates(), 48u * dice * faces);
  }
}

TEST(CompletionCheckTest, StopsWhenAsked) {
  std::vector<int> start(36, 0);
  start[0] = 1;
  CompletionCheck check(6, 6);
  int calls = 0;
  EXPECT_EQ(
      check.check(allowedFor(start, 6, 6, 1), Reading::Upward, kNoLimit, [&calls] { return ++calls >= 1; }),
      Verdict::Unknown);
  EXPECT_TRUE(check.lastStopped());
  EXPECT_EQ(calls, 1);
}

TEST(CompletionCheckTest, SizesWithoutRingsAreImpossible) {
  for (int faces = 1; faces <= 2; ++faces) {
    const std::vector<int> start(4 * faces, 1);
    CompletionCheck check(4, faces);
    expectVerdict(check, allowedFor(start, 4, faces, 1), Verdict::Impossible);
  }
}

}  // namespace
}  // namespace varno
