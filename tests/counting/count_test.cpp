// The ring counter and the strongest ring against pinned values of every size, every path of a count
// on small sizes, and how a count runs: its progress and its estimates. (Keeping layers and resuming
// from them are tested with varno-count.)

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "counting/modular.h"
#include "counting/ringcounter.h"
#include "counting/ringsearch.h"
#include "counting/steploop.h"
#include "counting/strongestring.h"
#include "counting/temporarydirectory.h"
#include "counting/weakestlinkcounter.h"

namespace varno {
namespace {

using testing::TemporaryDirectory;

// The rings "rechtsrum" with the 1 on the first die (nullptr: not counted yet) and the best weakest link
// of every size, as this counter and the strongest-ring search found them; wherever the first counter
// (an exact 128-bit count per state, every number read upwards) got, its counts agree.
const std::vector<std::vector<const char*>> kRings = {
    // 3 to 8 dice of 1 to 8 faces
    {"0", "0", "5", "13", "1732", "10705", "697733", "6539451"},
    {"0", "0", "170", "2269", "3492361", "134985290", "92842921949", "6011946356029"},
    {"0", "0", "11881", "840740", "25515130947", "7071970259337", "75490816915846946",
     "40547859356626790038"},
    {"0", "0", "1625280", "761601189", "543674787973460", "1354670300032275537", "268995042414050573995656",
     "1498719708670344009763886353"},
    {"0", "0", "377851066", "1448807481956", "27465077201656414437", "739732393262675652259859",
     "3188255728436662129603990428987", nullptr},
    {"0", "0", "136237769482", "4899523892162744", "2874832725668719659248363",
     "960791241321977632568216099649", nullptr, nullptr},
};
const std::vector<std::vector<int>> kBest = {
    {0, 0, 5, 9, 15, 21, 29, 39},  {0, 0, 5, 10, 16, 24, 31, 40}, {0, 0, 5, 10, 16, 24, 33, 43},
    {0, 0, 5, 10, 16, 24, 33, 44}, {0, 0, 5, 10, 16, 24, 33, 44}, {0, 0, 5, 10, 16, 24, 33, 44},
};
// The most faces the suite counts of 3 to 8 dice in every build, and in the optimised build (seconds
// there); the rest never (minutes and gigabytes: counted once for the README).
const std::vector<std::pair<int, int>> kCounted = {{8, 8}, {8, 8}, {6, 8}, {5, 6}, {4, 5}, {4, 4}};

struct Known {
  const char* rings;
  int best;
};
Known known(int dice, int faces) {
  return {kRings.at(dice - 3).at(faces - 1), kBest.at(dice - 3).at(faces - 1)};
}

// Memory and disk as a small machine would offer them, so that no count depends on this one.
RingCounterOptions smallMachine() {
  RingCounterOptions options;
  options.threads = 2;
  options.memoryLimitBytes = std::uint64_t{2} << 30;
  options.diskLimitBytes = std::uint64_t{1} << 30;
  return options;
}

// Every size's strongest ring is a labelling and a ring whose weakest link is the pinned best, and no ring
// does better; sizes without rings have none. The sizes the suite counts count as pinned.
TEST(KnownValues, EverySizeCountsAsPinnedAndItsStrongestRingHasThePinnedLink) {
#ifdef VARNO_LONG_TESTS
  const bool longTests = true;
#else
  const bool longTests = false;
#endif
  for (int dice = 3; dice <= 8; ++dice) {
    for (int faces = 1; faces <= 8; ++faces) {
      SCOPED_TRACE(testing::sizeName(dice, faces));
      const Known size = known(dice, faces);
      const StrongestRing search(dice, faces);
      const StrongestRing::Result result = search.find();
      if (size.best == 0) {
        EXPECT_EQ(result.outcome, StrongestRing::Outcome::None);
      } else {
        ASSERT_EQ(result.outcome, StrongestRing::Outcome::Found);
        EXPECT_TRUE(RingSearch(dice, faces).isLabelling(result.ring));
        EXPECT_EQ(testing::weakestLinkOf(result.ring, dice, faces), result.link);
        EXPECT_EQ(result.link, size.best);
        EXPECT_EQ(search.reach(result.link + 1).outcome, StrongestRing::Outcome::None);
      }
      const auto [always, optimised] = kCounted[dice - 3];
      if (faces > (longTests ? optimised : always)) continue;
      const RingCount count = RingCounter(dice, faces, smallMachine()).run();
      EXPECT_EQ(count.rings.get_str(), size.rings);
      EXPECT_EQ(count.bestWeakestLink, size.best);
    }
  }
}

// The rings of every weakest link, from the least that wins to the best: at the sizes the step-by-step
// loop walks through, its rings sorted by their weakest link; beyond them they sum to the pinned ring
// count and end at the pinned best link, and two sizes' links are pinned one by one.
TEST(KnownValues, TheRingsOfEveryWeakestLinkSumToThePinnedCountUpToTheBestLink) {
  std::map<std::pair<int, int>, std::vector<std::string>> expected = {
      {{5, 6}, {"6890896219142", "179036875909", "2028753247", "8315063", "94438", "1538"}},
      {{6, 5}, {"541907105266526", "1759239861573", "8438774707", "4070654"}},
  };
  std::vector<std::pair<int, int>> sizes = {{3, 8}, {4, 7}, {5, 6}, {6, 5}, {7, 4}, {8, 3}, {8, 2}};
  for (const auto& [dice, faces] : testing::kLoopSizes) {
    std::map<int, long> byLink;
    for (const std::vector<int>& ring : testing::stepLoop(dice, faces).rings)
      ++byLink[testing::weakestLinkOf(ring, dice, faces)];
    std::vector<std::string>& links = expected[{dice, faces}];
    for (int link = faces * faces / 2 + 1; link <= known(dice, faces).best; ++link)
      links.push_back(std::to_string(byLink[link]));
    sizes.emplace_back(dice, faces);
  }
  for (const auto& [dice, faces] : sizes) {
    SCOPED_TRACE(testing::sizeName(dice, faces));
    const Spectrum spectrum = SpectrumCounter(dice, faces, smallMachine()).run();
    const Known size = known(dice, faces);
    EXPECT_EQ(spectrum.total().get_str(), size.rings);
    EXPECT_EQ(spectrum.bestWeakestLink, size.best);
    EXPECT_EQ(spectrum.leastLink, faces * faces / 2 + 1);
    EXPECT_EQ(spectrum.rings.empty() ? 0 : spectrum.linkOf(spectrum.rings.size() - 1), size.best);
    EXPECT_TRUE(spectrum.rings.empty() || spectrum.rings.back() != 0);
    std::vector<std::string> counted;
    for (const mpz_class& rings : spectrum.rings) counted.push_back(rings.get_str());
    if (expected.count({dice, faces}) != 0) {
      EXPECT_EQ(counted, expected.at({dice, faces}));
    }
  }
}

// The README's table of every size says what is pinned here, and its labellings are the engine's.
TEST(KnownValues, TheReadmeAgrees) {
  std::ifstream readme(VARNO_README);
  ASSERT_TRUE(readme) << VARNO_README;
  const std::regex row(R"(\| (\d)x(\d) \| (\d+) \| (\d+|not counted here) \| (\d+)/(\d+) \|.*)");
  std::set<std::pair<int, int>> seen;
  for (std::string line; std::getline(readme, line);) {
    std::smatch match;
    if (!std::regex_match(line, match, row)) continue;
    const int dice = std::stoi(match[1]);
    const int faces = std::stoi(match[2]);
    SCOPED_TRACE(line);
    EXPECT_TRUE(seen.emplace(dice, faces).second);
    const Known size = known(dice, faces);
    EXPECT_EQ(match[3].str(), RingCounter::labellingCount(dice, faces).get_str());
    EXPECT_EQ(match[4].str(), size.rings != nullptr ? size.rings : "not counted here");
    EXPECT_EQ(std::stoi(match[5]), size.best);
    EXPECT_EQ(std::stoi(match[6]), faces * faces);
  }
  EXPECT_EQ(seen.size(), kRings.size() * 8);
}

// Every way of counting, each option that chooses a path forced on small sizes: in memory, or on disk in
// bands as small as the largest job (sources read by several bands, given back after the last) or whole;
// 1 to 6 primes in 1 to 6 passes with a shorter last pass, or each pass alone and joined; residues negated,
// so that every sum wraps around its prime and the meeting step's products come near 2^62 as in the largest
// counts; meeting in the middle or reading upwards. Odd and even numbers of faces in all take the meeting
// step's kinds of partner; three dice repeat after one, four after two, six after two or three.
TEST(RingCounterTest, EveryPathCountsAlike) {
  const TemporaryDirectory directory;
  struct Storage {
    const char* name;
    CountMethod method;
    std::uint64_t bandBytes;
    std::uint64_t pieceBytes;  // packed on disk in pieces of this size: many in a block, or one
  };
  for (const Storage& storage :
       {Storage{"memory", CountMethod::Memory, 0, 0},
        Storage{"disk, bands of the largest job, pieces of 52 bytes", CountMethod::Disk, 1, 52},
        Storage{"disk, a band per layer", CountMethod::Disk, std::uint64_t{1} << 30, 0}}) {
    // Primes in all and at once (0: as the count chooses).
    for (const auto& [primes, atOnce] :
         {std::pair{0, 0}, std::pair{3, 1}, std::pair{3, 2}, std::pair{4, 4}, std::pair{5, 3},
          std::pair{5, 5}, std::pair{6, 4}, std::pair{6, 6}}) {
      for (const bool negate : {false, true}) {
        for (const bool meet : {true, false}) {
          RingCounterOptions options = smallMachine();
          options.threads = 3;
          options.method = storage.method;
          options.bandBytes = storage.bandBytes;
          options.pieceBytes = storage.pieceBytes;
          options.workDirectory = storage.method == CountMethod::Disk ? directory.path() : "";
          options.primes = primes;
          options.primesAtOnce = atOnce;
          options.negateResidues = negate;
          options.meet = meet;
          // With a tighter loss limit too: the rings of 4x4 whose weakest link is 10 of 16, of 3x5 14 or
          // 15 of 25.
          for (const auto& [dice, faces, limit, rings] :
               {std::tuple{4, 4, -1, known(4, 4).rings}, std::tuple{3, 5, -1, known(3, 5).rings},
                std::tuple{6, 3, -1, known(6, 3).rings}, std::tuple{4, 4, 6, "18"},
                std::tuple{3, 5, 11, "64"}}) {
            SCOPED_TRACE(std::string(storage.name) + ", " + std::to_string(primes) + " primes, " +
                         std::to_string(atOnce) + " at once" + (negate ? ", negated" : "") +
                         (meet ? ", meeting" : ", upwards") + ": " + testing::sizeName(dice, faces) +
                         ", loss limit " + std::to_string(limit));
            options.lossLimit = limit;
            const RingCounter::Estimate plan = RingCounter::estimate(dice, faces, options);
            EXPECT_EQ(plan.method, storage.method);
            if (primes != 0) {
              EXPECT_EQ(std::pair(plan.primes, plan.primesAtOnce), std::pair(primes, atOnce));
            }
            const RingCount count = RingCounter(dice, faces, options).run();
            EXPECT_EQ(count.rings.get_str(), rings);
            // The layer files never hold more than the estimate says, and hold something on disk only.
            EXPECT_LE(count.diskPeakBytes, plan.diskBytes);
            EXPECT_EQ(count.diskPeakBytes > 0, storage.method == CountMethod::Disk);
            if (atOnce != 1 || limit != -1) continue;
            // Each pass alone gives the rings modulo its prime, and the residues join into the count.
            std::vector<std::uint32_t> residues;
            for (int pass = 1; pass <= primes; ++pass) {
              RingCounterOptions alone = options;
              alone.pass = pass;
              const RingCount part = RingCounter(dice, faces, alone).run();
              EXPECT_EQ(std::tuple(part.pass, part.rings, part.bestWeakestLink),
                        std::tuple(pass, 0, known(dice, faces).best));
              residues.push_back(part.ringsResidue);
            }
            EXPECT_EQ(RingCounter::join(dice, faces, residues, known(dice, faces).best).rings.get_str(),
                      rings);
          }
        }
      }
    }
  }
  // An unnamed file vanishes with the count; nothing is left.
  EXPECT_TRUE(directory.files().empty());
}

// Joining residues is exact for every number of primes, also where every prime's step counts: for a
// number just below the product of the primes.
TEST(ModularTest, JoinsTheResiduesOfOneToSixPrimes) {
  mpz_class product = 1;
  for (int primes = 1; primes <= Modular::kMaxPrimes; ++primes) {
    product *= Modular::kPrimes[primes - 1];
    for (const mpz_class& number : {mpz_class(product - 1 - primes), mpz_class(product / 3 + primes)}) {
      std::vector<std::uint32_t> residues;
      residues.reserve(primes);
      for (int i = 0; i < primes; ++i) {
        residues.push_back(static_cast<std::uint32_t>(mpz_class(number % Modular::kPrimes[i]).get_ui()));
      }
      EXPECT_EQ(Modular::combine(residues), number) << primes << " primes";
    }
  }
  EXPECT_EQ(Modular::primesNeeded(8, 8), 6);
  EXPECT_EQ(Modular::primesNeeded(4, 4), 1);
}

// A counter's progress rises from nothing to one while it runs.
template <typename Counter>
void expectProgressRisesToOne(Counter& counter) {
  EXPECT_EQ(counter.progress(), 0.0);
  counter.start();
  double last = 0.0;
  while (counter.state() == Counter::State::Running) {
    const double now = counter.progress();
    EXPECT_GE(now, last);
    EXPECT_LE(now, 1.0);
    last = now;
  }
  counter.wait();
  EXPECT_EQ(counter.progress(), 1.0);
}

// The progress of a count and of a spectrum rises to one, and a cancel ends a spectrum without a result.
// A loss limit tighter than the best link allows counts no ring, and is no failure of the count's check.
TEST(RingCounterTest, ProgressRisesToOneCancelStopsAndLimitsBeyondTheBestCountNothing) {
  RingCounter counter(6, 5, smallMachine());
  expectProgressRisesToOne(counter);
  ASSERT_EQ(counter.state(), RingCounter::State::Finished);
  EXPECT_EQ(counter.result()->rings.get_str(), "543674787973460");
  EXPECT_THROW(counter.start(), std::logic_error);
  SpectrumCounter spectrum(6, 5, smallMachine());
  expectProgressRisesToOne(spectrum);
  EXPECT_EQ(spectrum.result()->total().get_str(), known(6, 5).rings);
  SpectrumCounter cancelled(6, 6, smallMachine());
  cancelled.start();
  cancelled.cancel();
  cancelled.wait();
  EXPECT_EQ(cancelled.state(), SpectrumCounter::State::Cancelled);
  EXPECT_FALSE(cancelled.result());
  for (const int limit : {0, 5}) {  // 4x4's best link is 10 of 16: at most 6 losses
    RingCounterOptions options = smallMachine();
    options.lossLimit = limit;
    EXPECT_EQ(RingCounter(4, 4, options).run().rings, 0) << limit;
  }
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
  // A pass alone counts one prime, however much memory there is, in a fourth of the time of all four.
  machine.memoryLimitBytes = std::uint64_t{64} << 30;
  machine.primesAtOnce = 1;
  const RingCounter::Estimate allPasses = RingCounter::estimate(7, 6, machine);
  machine.primesAtOnce = 0;
  machine.pass = 3;
  const RingCounter::Estimate third = RingCounter::estimate(7, 6, machine);
  EXPECT_EQ(std::tuple(third.primesAtOnce, third.passes, allPasses.passes), std::tuple(1, 4, 4));
  EXPECT_NEAR(third.seconds, allPasses.seconds / 4, allPasses.seconds * 1e-9);
  machine.pass = 0;
  // Of several processes, the fullest: no process needs more, one needs as much.
  const auto fullest = RingCounter::estimateFor(6, 6, 3, -1, machine);
  std::uint64_t most = 0;
  for (int rank = 0; rank < 3; ++rank)
    most = std::max(most, RingCounter::estimateFor(6, 6, 3, rank, machine)->memoryBytes);
  EXPECT_EQ(fullest->memoryBytes, most);
}

TEST(RingCounterTest, EnginesRejectSizesAndOptionsOutOfRange) {
  for (const auto& [dice, faces] : {std::pair{2, 3}, std::pair{9, 3}, std::pair{3, 0}, std::pair{3, 9}}) {
    EXPECT_THROW(RingCounter(dice, faces), std::invalid_argument);
    EXPECT_THROW(SpectrumCounter(dice, faces), std::invalid_argument);
    EXPECT_THROW(RingCounter::estimate(dice, faces), std::invalid_argument);
    EXPECT_THROW(RingCounter::labellingCount(dice, faces), std::invalid_argument);
    EXPECT_THROW(RingSearch(dice, faces), std::invalid_argument);
    EXPECT_THROW(StrongestRing(dice, faces), std::invalid_argument);
  }
  // 6x3 takes 2 to 6 primes, 1 to 6 at once.
  for (const auto& [primes, atOnce] :
       {std::pair{1, 0}, std::pair{7, 0}, std::pair{-1, 0}, std::pair{0, 7}, std::pair{0, -1}}) {
    RingCounterOptions options;
    options.primes = primes;
    options.primesAtOnce = atOnce;
    EXPECT_THROW(RingCounter(6, 3, options), std::invalid_argument) << primes << " " << atOnce;
    EXPECT_THROW(RingCounter::estimate(6, 3, options), std::invalid_argument);
  }
  // A pass alone is one of the two, of one prime, of every ring, afresh; they join from two residues
  // below their primes.
  for (const auto& [pass, atOnce, resume, limit] :
       {std::tuple{3, 0, false, -1}, std::tuple{-1, 0, false, -1}, std::tuple{1, 2, false, -1},
        std::tuple{2, 0, true, -1}, std::tuple{1, 0, false, 3}}) {
    RingCounterOptions options;
    options.pass = pass;
    options.primesAtOnce = atOnce;
    options.resume = resume;
    options.lossLimit = limit;
    EXPECT_THROW(RingCounter(6, 3, options), std::invalid_argument) << pass << " " << atOnce << " " << limit;
  }
  EXPECT_THROW(RingCounter::join(6, 3, {1625280}, 5), std::invalid_argument);
  EXPECT_THROW(RingCounter::join(6, 3, {1625280, Modular::kPrimes[1]}, 5), std::invalid_argument);
  EXPECT_EQ(RingCounter::join(6, 3, {1625280, 1625280}, 5).rings, 1625280);
  // 4x4 loses at most 7 of 16 pairs; a count of fewer rings does not resume.
  for (const auto& [limit, resume] : {std::pair{-2, false}, std::pair{8, false}, std::pair{6, true}}) {
    RingCounterOptions options;
    options.lossLimit = limit;
    options.resume = resume;
    options.workDirectory = "unused";
    EXPECT_THROW(RingCounter(4, 4, options), std::invalid_argument) << limit;
  }
}

}  // namespace
}  // namespace varno
