// The ring counter and the strongest ring against the counts of the first counter, and how a count runs:
// its progress and its estimates. (Keeping layers and resuming from them are tested with varno-count.)

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "counting/ringcounter.h"
#include "counting/ringsearch.h"
#include "counting/steploop.h"
#include "counting/strongestring.h"
#include "counting/temporarydirectory.h"

namespace varno {
namespace {

using testing::TemporaryDirectory;

// Ring counts of the first counter, which kept an exact 128-bit count and a best-link byte per state and
// read every number upwards: the rings "rechtsrum" with the 1 on the first die, and the best weakest
// link (-1 where not known); every size that such a count settles within a second with sanitizers.
using KnownCount = std::tuple<int, int, const char*, int>;
const std::vector<KnownCount> kKnownCounts = {
    {3, 1, "0", 0},
    {3, 2, "0", 0},
    {3, 3, "5", 5},
    {3, 4, "13", 9},
    {3, 5, "1732", 15},
    {3, 6, "10705", 21},
    {3, 7, "697733", 29},
    {3, 8, "6539451", 39},
    {4, 2, "0", 0},
    {4, 3, "170", 5},
    {4, 4, "2269", 10},
    {4, 5, "3492361", 16},
    {4, 6, "134985290", 24},
    {4, 7, "92842921949", 31},
    {4, 8, "6011946356029", 40},
    {5, 3, "11881", 5},
    {5, 4, "840740", 10},
    {5, 5, "25515130947", 16},
    {5, 6, "7071970259337", 24},
    {6, 3, "1625280", 5},
    {6, 4, "761601189", 10},
    {6, 5, "543674787973460", 16},
    {7, 3, "377851066", 5},
    {7, 4, "1448807481956", 10},
    {8, 1, "0", 0},
    {8, 3, "136237769482", 5},
    {8, 4, "4899523892162744", 10},
};

// Memory and disk as a small machine would offer them, so that no count depends on this one.
RingCounterOptions smallMachine() {
  RingCounterOptions options;
  options.threads = 2;
  options.memoryLimitBytes = std::uint64_t{1} << 30;
  options.diskLimitBytes = std::uint64_t{1} << 30;
  return options;
}

// Every method counts every known size alike: in memory or on disk in bands of single jobs, with all
// primes at once or one per pass, meeting in the middle or reading upwards. (Counts over several
// processes are compared with those of one by the tests of varno-count under mpirun.)
TEST(RingCounterTest, EveryMethodAgreesWithTheFirstCounter) {
  // The method's name, meeting in the middle, storage, primes at once, bytes of a band, and n * k of the
  // largest size counted this way.
  for (const auto& [name, meet, storage, primesAtOnce, bandBytes, largestSize] :
       {std::tuple{"in memory", true, CountMethod::Memory, 0, 0, 64},
        std::tuple{"one prime per pass", true, CountMethod::Memory, 1, 0, 32},
        std::tuple{"on disk, one job per band", true, CountMethod::Disk, 2, 1, 32},
        std::tuple{"upwards to the end", false, CountMethod::Memory, 0, 0, 24}}) {
    const TemporaryDirectory directory;
    RingCounterOptions options = smallMachine();
    options.meet = meet;
    options.method = storage;
    options.primesAtOnce = primesAtOnce;
    options.bandBytes = bandBytes;
    if (storage == CountMethod::Disk) options.workDirectory = directory.path();
    for (const auto& [dice, faces, rings, best] : kKnownCounts) {
      if (dice * faces > largestSize) continue;
      SCOPED_TRACE(name + (" " + testing::sizeName(dice, faces)));
      const RingCount count = RingCounter(dice, faces, options).run();
      EXPECT_EQ(count.rings.get_str(), rings);
      EXPECT_EQ(count.bestWeakestLink, best);
    }
    // An unnamed file vanishes with the count; nothing is left.
    EXPECT_TRUE(directory.files().empty());
  }
}

// The ring found is a labelling and a ring whose weakest link is the one reported, the first counter's
// best where it is known, and no ring does better; sizes without rings have none, and sizes far too
// large to count are settled as well.
TEST(StrongestRingTest, FindsARingWithTheBestLink) {
  std::vector<KnownCount> sizes = kKnownCounts;
  for (const auto& [dice, faces] : {std::pair{7, 7}, std::pair{8, 7}, std::pair{7, 8}, std::pair{8, 8}})
    sizes.emplace_back(dice, faces, "", -1);
  for (const auto& [dice, faces, rings, best] : sizes) {
    SCOPED_TRACE(testing::sizeName(dice, faces));
    const StrongestRing search(dice, faces);
    const StrongestRing::Result result = search.find();
    if (std::string(rings) == "0") {
      EXPECT_EQ(result.outcome, StrongestRing::Outcome::None);
      continue;
    }
    ASSERT_EQ(result.outcome, StrongestRing::Outcome::Found);
    EXPECT_TRUE(RingSearch(dice, faces).isLabelling(result.ring));
    EXPECT_EQ(testing::weakestLinkOf(result.ring, dice, faces), result.link);
    EXPECT_GT(2 * result.link, faces * faces);
    EXPECT_TRUE(best < 0 || result.link == best) << result.link;
    EXPECT_EQ(search.reach(result.link + 1).outcome, StrongestRing::Outcome::None);
  }
}

// The search reports the links it tries, from k*k downwards, and stops when asked.
TEST(StrongestRingTest, StopsWhenAsked) {
  int polls = 0;
  std::vector<int> links;
  const StrongestRing::Result stopped =
      StrongestRing(8, 8).find([&] { return ++polls == 3; }, [&](int link) { links.push_back(link); });
  EXPECT_EQ(stopped.outcome, StrongestRing::Outcome::Stopped);
  EXPECT_EQ(polls, 3);
  EXPECT_EQ(links.empty() ? 0 : links.front(), 64);
}

TEST(RingCounterTest, ProgressRisesToOne) {
  RingCounter counter(6, 5, smallMachine());
  EXPECT_EQ(counter.progress(), 0.0);
  counter.start();
  double last = 0.0;
  while (counter.state() == RingCounter::State::Running) {
    const double now = counter.progress();
    EXPECT_GE(now, last);
    EXPECT_LE(now, 1.0);
    last = now;
  }
  counter.wait();
  ASSERT_EQ(counter.state(), RingCounter::State::Finished);
  EXPECT_EQ(counter.progress(), 1.0);
  EXPECT_EQ(counter.result()->rings.get_str(), "543674787973460");
  EXPECT_THROW(counter.start(), std::logic_error);
}

TEST(RingCounterTest, EstimatesFollowTheMachineGiven) {
  RingCounterOptions machine;
  machine.threads = 2;
  machine.memoryLimitBytes = std::uint64_t{64} << 30;
  machine.workPerSecond = 1e8;
  const RingCounter::Estimate roomy = RingCounter::estimate(7, 6, machine);
  EXPECT_EQ(std::tuple(roomy.fits, roomy.primes, roomy.passes), std::tuple(true, 4, 1));
  machine.threads = 4;
  EXPECT_NEAR(RingCounter::estimate(7, 6, machine).seconds, roomy.seconds / 2, roomy.seconds * 1e-9);
  machine.threads = 2;
  machine.memoryLimitBytes = std::uint64_t{1} << 30;
  const RingCounter::Estimate tight = RingCounter::estimate(7, 6, machine);
  EXPECT_TRUE(tight.fits);
  EXPECT_LT(tight.primesAtOnce, roomy.primesAtOnce);
  EXPECT_LE(tight.memoryBytes, machine.memoryLimitBytes);
  EXPECT_GT(tight.seconds, roomy.seconds);  // more passes
}

TEST(RingCounterTest, EnginesRejectSizesOutOfRange) {
  for (const auto& [dice, faces] : {std::pair{2, 3}, std::pair{9, 3}, std::pair{3, 0}, std::pair{3, 9}}) {
    EXPECT_THROW(RingCounter(dice, faces), std::invalid_argument);
    EXPECT_THROW(RingCounter::estimate(dice, faces), std::invalid_argument);
    EXPECT_THROW(RingCounter::labellingCount(dice, faces), std::invalid_argument);
    EXPECT_THROW(RingSearch(dice, faces), std::invalid_argument);
    EXPECT_THROW(StrongestRing(dice, faces), std::invalid_argument);
  }
}

}  // namespace
}  // namespace varno
