// The counters and the strongest ring against pinned values of every size, every path of a count on small
// sizes, and a count's plans. (Keeping layers and resuming from them are tested with varno-count.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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
#include "counting/partition.h"
#include "counting/ringcounter.h"
#include "counting/ringsearch.h"
#include "counting/steploop.h"
#include "counting/strongestring.h"
#include "counting/sweepstep.h"
#include "counting/temporarydirectory.h"
#include "counting/weakestlinkcounter.h"

namespace varno {
namespace {

using testing::TemporaryDirectory;

// The most faces the suite counts of 3 to 8 dice, more in the optimised build (seconds there); the rest
// never (minutes and gigabytes: counted once for the README).
#ifdef VARNO_LONG_TESTS
const std::vector<int> kCountedFaces = {8, 8, 8, 6, 5, 4};
#else
const std::vector<int> kCountedFaces = {8, 8, 6, 5, 4, 4};
#endif

// A row of the README's table of every size: its labellings, the rings "rechtsrum" with the 1 on the first
// die ("not counted here" beyond what the suite counts), and the best weakest link of its pairs.
struct Known {
  std::string labellings;
  std::string rings;
  int best = 0;
  int pairs = 0;
};
const std::map<std::pair<int, int>, Known>& readmeTable() {
  static const std::map<std::pair<int, int>, Known> table = [] {
    std::map<std::pair<int, int>, Known> rows;
    std::ifstream readme(VARNO_README);
    const std::regex row(R"(\| (\d)x(\d) \| (\d+) \| (\d+|not counted here) \| (\d+)/(\d+) \|.*)");
    for (std::string line; std::getline(readme, line);) {
      std::smatch m;
      if (!std::regex_match(line, m, row)) continue;
      const Known known{m[3], m[4], std::stoi(m[5]), std::stoi(m[6])};
      if (!rows.emplace(std::pair(std::stoi(m[1]), std::stoi(m[2])), known).second)
        throw std::runtime_error("a size given twice in the README: " + line);
    }
    return rows;
  }();
  return table;
}
const Known& known(int dice, int faces) {
  return readmeTable().at({dice, faces});
}

// Memory and disk as a small machine would offer them, so that no count depends on this one.
RingCounterOptions smallMachine() {
  RingCounterOptions options;
  options.threads = 2;
  options.memoryLimitBytes = std::uint64_t{2} << 30;
  options.diskLimitBytes = std::uint64_t{1} << 30;
  return options;
}

// A counter's result, its progress watched to rise from nothing to one while it runs.
template <typename Counter>
auto watched(Counter& counter) {
  EXPECT_EQ(counter.progress(), 0.0);
  counter.start();
  for (double last = 0.0; counter.state() == Counter::State::Running;) {
    const double now = counter.progress();
    EXPECT_GE(now, last);
    EXPECT_LE(now, 1.0);
    last = now;
  }
  counter.wait();
  EXPECT_EQ(counter.state(), Counter::State::Finished);
  EXPECT_EQ(counter.progress(), 1.0);
  return *counter.result();
}

// Every size's labellings and k*k pairs are the README's; its strongest ring is a labelling whose weakest
// link is the pinned best, and no ring does better (none at all without rings); counted sizes count so,
// their progress rising to one, and a count runs once.
// The rings of every weakest link, from the least that wins to the best, sum to the pinned count and end
// at the pinned best link: at the sizes the step-by-step loop walks through, they are its rings sorted by
// their weakest link, and two sizes' links are pinned one by one.
TEST(KnownValues, EverySizeAgreesWithTheReadmeInEachCountAndItsStrongestRingHasThePinnedLink) {
  std::set<std::pair<int, int>> spectra = {{3, 8}, {4, 7}, {5, 6}, {6, 5}, {7, 4}, {8, 3}, {8, 2}};
  std::map<std::pair<int, int>, std::vector<std::string>> byLink = {
      {{5, 6}, {"6890896219142", "179036875909", "2028753247", "8315063", "94438", "1538"}},
      {{6, 5}, {"541907105266526", "1759239861573", "8438774707", "4070654"}}};
  for (const auto& [dice, faces] : testing::kLoopSizes) {
    std::map<int, long> rings;
    for (const std::vector<int>& ring : testing::stepLoop(dice, faces).rings)
      ++rings[testing::weakestLinkOf(ring, dice, faces)];
    for (int link = faces * faces / 2 + 1; link <= known(dice, faces).best; ++link)
      byLink[{dice, faces}].push_back(std::to_string(rings[link]));
    spectra.emplace(dice, faces);
  }
  ASSERT_EQ(readmeTable().size(), 48u) << VARNO_README;
  for (int dice = 3; dice <= 8; ++dice) {
    for (int faces = 1; faces <= 8; ++faces) {
      SCOPED_TRACE(testing::sizeName(dice, faces));
      const Known& size = known(dice, faces);
      EXPECT_EQ(size.labellings, RingCounter::labellingCount(dice, faces).get_str());
      EXPECT_EQ(size.pairs, faces * faces);
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
      if (spectra.count({dice, faces}) != 0) {
        SpectrumCounter counter(dice, faces, smallMachine());
        const Spectrum spectrum = watched(counter);
        EXPECT_EQ(spectrum.total().get_str(), size.rings);
        EXPECT_EQ(spectrum.bestWeakestLink, size.best);
        EXPECT_EQ(spectrum.leastLink, faces * faces / 2 + 1);
        EXPECT_EQ(spectrum.rings.empty() ? 0 : spectrum.linkOf(spectrum.rings.size() - 1), size.best);
        EXPECT_TRUE(spectrum.rings.empty() || spectrum.rings.back() != 0);
        std::vector<std::string> counted;
        for (const mpz_class& rings : spectrum.rings) counted.push_back(rings.get_str());
        if (byLink.count({dice, faces}) != 0) {
          EXPECT_EQ(counted, byLink.at({dice, faces}));
        }
      }
      if (faces > kCountedFaces[dice - 3]) continue;
      RingCounter counter(dice, faces, smallMachine());
      const RingCount count = watched(counter);
      EXPECT_EQ(count.rings.get_str(), size.rings);
      EXPECT_EQ(count.bestWeakestLink, size.best);
      EXPECT_THROW(counter.start(), std::logic_error);
    }
  }
}

// Every path of a count forced on small sizes: in memory, or on disk in bands as small as the largest job
// (sources read by several bands, given back after the last) or whole; 1 to 6 primes in 1 to 6 passes with
// a shorter last pass, or each pass alone and joined; residues negated, so that every sum wraps around its
// prime and the meeting step's products come near 2^62; meeting in the middle or reading upwards. Odd and
// even faces take the meeting step's kinds of partner; 3 dice repeat after 1, 4 after 2, 6 after 2 or 3.
TEST(RingCounterTest, EveryPathCountsAlike) {
  const TemporaryDirectory directory;
  // How and where: bands of so many bytes, packed on disk in pieces of so many (many in a block, or one).
  for (const auto& [storage, method, bandBytes, pieceBytes] :
       {std::tuple{"memory", CountMethod::Memory, std::uint64_t{0}, std::uint64_t{0}},
        std::tuple{"disk, bands of the largest job, pieces of 52 bytes", CountMethod::Disk, std::uint64_t{1},
                   std::uint64_t{52}},
        std::tuple{"disk, a band per layer", CountMethod::Disk, std::uint64_t{1} << 30, std::uint64_t{0}}}) {
    // Primes in all and at once (0: as the count chooses).
    for (const auto& [primes, atOnce] :
         {std::pair{0, 0}, std::pair{3, 1}, std::pair{3, 2}, std::pair{4, 4}, std::pair{5, 3},
          std::pair{5, 5}, std::pair{6, 4}, std::pair{6, 6}}) {
      for (const bool negate : {false, true}) {
        for (const bool meet : {true, false}) {
          RingCounterOptions options = smallMachine();
          options.threads = 3;
          options.method = method;
          options.bandBytes = bandBytes;
          options.pieceBytes = pieceBytes;
          options.workDirectory = method == CountMethod::Disk ? directory.path() : "";
          options.primes = primes;
          options.primesAtOnce = atOnce;
          options.negateResidues = negate;
          options.meet = meet;
          // With a tighter loss limit too: 4x4's rings of link 10/16 (none at all beyond), 3x5's of 14 or
          // 15/25.
          for (const auto& [dice, faces, limit, rings] :
               {std::tuple{4, 4, -1, known(4, 4).rings.c_str()},
                std::tuple{3, 5, -1, known(3, 5).rings.c_str()},
                std::tuple{6, 3, -1, known(6, 3).rings.c_str()}, std::tuple{4, 4, 6, "18"},
                std::tuple{4, 4, 5, "0"}, std::tuple{4, 4, 0, "0"}, std::tuple{3, 5, 11, "64"}}) {
            SCOPED_TRACE(std::string(storage) + ", " + std::to_string(primes) + " primes, " +
                         std::to_string(atOnce) + " at once" + (negate ? ", negated" : "") +
                         (meet ? ", meeting" : ", upwards") + ": " + testing::sizeName(dice, faces) +
                         ", loss limit " + std::to_string(limit));
            options.lossLimit = limit;
            const RingCounter::Estimate plan = RingCounter::estimate(dice, faces, options);
            EXPECT_EQ(plan.method, method);
            if (primes != 0) {
              EXPECT_EQ(std::pair(plan.primes, plan.primesAtOnce), std::pair(primes, atOnce));
            }
            const RingCount count = RingCounter(dice, faces, options).run();
            EXPECT_EQ(count.rings.get_str(), rings);
            // The layer files never hold more than the estimate says, and hold something on disk only.
            EXPECT_LE(count.diskPeakBytes, plan.diskBytes);
            EXPECT_EQ(count.diskPeakBytes > 0, method == CountMethod::Disk);
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
      for (int i = 0; i < primes; ++i)
        residues.push_back(static_cast<std::uint32_t>(mpz_class(number % Modular::kPrimes[i]).get_ui()));
      EXPECT_EQ(Modular::combine(residues), number) << primes << " primes";
    }
  }
}

TEST(RingCounterTest, EstimatesFollowTheMachineGiven) {
  RingCounterOptions machine;
  machine.threads = 2;
  machine.memoryLimitBytes = std::uint64_t{64} << 30;
  machine.workPerSecond = 1e8;
  const RingCounter::Estimate roomy = RingCounter::estimate(7, 6, machine);
  EXPECT_EQ(std::tuple(roomy.fits, roomy.primes, roomy.passes), std::tuple(true, 4, 1));
  machine.memoryLimitBytes = std::uint64_t{1} << 30;
  const RingCounter::Estimate tight = RingCounter::estimate(7, 6, machine);
  EXPECT_TRUE(tight.fits);
  EXPECT_LT(tight.primesAtOnce, roomy.primesAtOnce);
  EXPECT_LE(tight.memoryBytes, machine.memoryLimitBytes);
  EXPECT_GT(tight.seconds, roomy.seconds);  // more passes
  // A pass alone counts one prime of the four, however much memory there is.
  machine.memoryLimitBytes = std::uint64_t{64} << 30;
  machine.pass = 3;
  const RingCounter::Estimate third = RingCounter::estimate(7, 6, machine);
  EXPECT_EQ(std::tuple(third.primesAtOnce, third.passes), std::tuple(1, 4));
  machine.pass = 0;
  // Of several processes, the fullest: no process needs more, one needs as much.
  const auto fullest = RingCounter::estimateFor(6, 6, 3, -1, machine);
  std::uint64_t most = 0;
  for (int rank = 0; rank < 3; ++rank)
    most = std::max(most, RingCounter::estimateFor(6, 6, 3, rank, machine)->memoryBytes);
  EXPECT_EQ(fullest->memoryBytes, most);
}

// Four processes share each layer nearly equally, and read less of each other's blocks than the three
// fourths that blocks spread by size alone would have them read: a block reads the blocks one face less,
// which lie near it in the order of face counts from die 0.
TEST(RingCounterTest, ProcessesHoldEqualSharesOfBlocksThatReadEachOther) {
  constexpr int kProcesses = 4;
  for (const auto& [dice, faces] : {std::pair{6, 6}, std::pair{5, 7}}) {
    const int meeting = CountPlan::meetingLayer(dice, faces);
    const CountPlan plan(dice, faces, meeting);
    const Partition partition(plan, true, kProcesses);
    std::uint64_t read = 0;
    std::uint64_t foreign = 0;
    for (int layer = 1; layer <= meeting; ++layer) {
      std::uint64_t largest = 0;
      for (const CountPlan::Block& block : plan.blocks(layer)) largest = std::max(largest, block.cells);
      for (int rank = 0; rank < kProcesses; ++rank) {
        if (layer < meeting) {
          EXPECT_LE(partition.localCells(layer, rank), plan.cells(layer) / kProcesses + largest) << layer;
        }
        for (std::uint32_t source : sweep::sourcesOf(sweep::buildStep(plan, partition, true, layer, rank))) {
          read += plan.blocks(layer - 1)[source].cells;
          if (partition.owner(layer - 1, source) != rank) foreign += plan.blocks(layer - 1)[source].cells;
        }
      }
    }
    EXPECT_LT(static_cast<double>(foreign) / static_cast<double>(read), 0.7) << dice << "x" << faces;
  }
}

TEST(RingCounterTest, EnginesRejectSizesAndResiduesOutOfRange) {
  for (const auto& [dice, faces] : {std::pair{2, 3}, std::pair{9, 3}, std::pair{3, 0}, std::pair{3, 9}}) {
    EXPECT_THROW(RingCounter(dice, faces), std::invalid_argument);
    EXPECT_THROW(SpectrumCounter(dice, faces), std::invalid_argument);
    EXPECT_THROW(RingCounter::estimate(dice, faces), std::invalid_argument);
    EXPECT_THROW(RingCounter::labellingCount(dice, faces), std::invalid_argument);
    EXPECT_THROW(RingSearch(dice, faces), std::invalid_argument);
    EXPECT_THROW(StrongestRing(dice, faces), std::invalid_argument);
  }
  // The passes of 6x3 join from two residues below their primes.
  EXPECT_THROW(RingCounter::join(6, 3, {1625280}, 5), std::invalid_argument);
  EXPECT_THROW(RingCounter::join(6, 3, {1625280, Modular::kPrimes[1]}, 5), std::invalid_argument);
  EXPECT_EQ(RingCounter::join(6, 3, {1625280, 1625280}, 5).rings, 1625280);
}

}  // namespace
}  // namespace varno
