#include "counting/ringcounter.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "counting/knowncounts.h"
#include "counting/steploop.h"
#include "counting/threadexchange.h"

namespace varno {
namespace {

namespace fs = std::filesystem;
using testing::KnownCount;
using testing::knownCounts;

// A directory of its own for a test, removed afterwards.
class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    path_ = fs::temp_directory_path() /
            ("varno-counter-test-" + std::to_string(::getpid()) + "-" + std::to_string(next_++));
    fs::create_directories(path_);
  }
  ~TemporaryDirectory() { fs::remove_all(path_); }
  std::string path() const { return path_.string(); }
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  static inline int next_ = 0;
  fs::path path_;
};

// Memory and disk as a small machine would offer them, so that no count depends on this one.
RingCounterOptions smallMachine() {
  RingCounterOptions options;
  options.threads = 2;
  options.memoryLimitBytes = std::uint64_t{1} << 30;
  options.diskLimitBytes = std::uint64_t{1} << 30;
  return options;
}

struct Method {
  const char* name;
  int processes;
  bool meet;
  CountMethod storage;
  int primesAtOnce;
  std::uint64_t bandBytes;
  int largestSize;  // n * k of the largest size counted this way
};

void PrintTo(const Method& method, std::ostream* out) {
  *out << method.name;
}

// Runs a count with `processes` processes (threads with an exchange each when more than one); they all
// must give the same count.
RingCount countWith(const Method& method, int dice, int faces, const std::string& directory) {
  RingCounterOptions options = smallMachine();
  options.meet = method.meet;
  options.method = method.storage;
  options.primesAtOnce = method.primesAtOnce;
  options.bandBytes = method.bandBytes;
  if (method.storage == CountMethod::Disk) options.workDirectory = directory;
  if (method.processes == 1) return RingCounter(dice, faces, options).run();
  auto exchanges = testing::ThreadExchange::group(method.processes);
  std::vector<std::unique_ptr<RingCounter>> counters;
  for (auto& exchange : exchanges) {
    options.threads = 1;
    options.exchange = exchange.get();
    counters.push_back(std::make_unique<RingCounter>(dice, faces, options));
  }
  for (auto& counter : counters) counter->start();
  for (auto& counter : counters) counter->wait();
  for (auto& counter : counters) {
    if (!counter->result()) throw std::runtime_error(counter->errorMessage());
    EXPECT_EQ(counter->result()->rings, counters[0]->result()->rings);
  }
  return *counters[0]->result();
}

class CountByMethod : public ::testing::TestWithParam<Method> {};

// Every method counts every known size alike: in memory or on disk in bands of single jobs, with all
// primes at once or one per pass, in one process or several, meeting in the middle or reading upwards.
TEST_P(CountByMethod, AgreesWithTheFirstCounter) {
  const Method& method = GetParam();
  const TemporaryDirectory directory;
  for (const KnownCount& known : knownCounts()) {
    if (known.dice * known.faces > method.largestSize) continue;
    SCOPED_TRACE(testing::sizeName(known.dice, known.faces));
    const RingCount count = countWith(method, known.dice, known.faces, directory.path());
    EXPECT_EQ(count.rings.get_str(), known.rings);
    EXPECT_EQ(count.bestWeakestLink, known.bestWeakestLink);
    EXPECT_EQ(count.labellings, RingCounter::labellingCount(known.dice, known.faces));
  }
  // An unnamed file vanishes with the count; nothing is left.
  EXPECT_TRUE(directory.files().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Methods, CountByMethod,
    ::testing::Values(Method{"Memory", 1, true, CountMethod::Memory, 0, 0, 64},
                      Method{"MemoryOnePrimePerPass", 1, true, CountMethod::Memory, 1, 0, 32},
                      Method{"DiskOneJobPerBand", 1, true, CountMethod::Disk, 2, 1, 32},
                      Method{"UpwardsToTheEnd", 1, false, CountMethod::Memory, 0, 0, 24},
                      Method{"TwoProcesses", 2, true, CountMethod::Memory, 0, 0, 32},
                      Method{"ThreeProcessesOnDisk", 3, true, CountMethod::Disk, 0, 1 << 16, 32}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RingCounterTest, LabellingsOfLargeSizes) {
  const std::vector<std::pair<std::pair<int, int>, std::string>> known = {
      {{4, 4}, "15765750"},
      {{3, 8}, "3155170590"},
      {{8, 4}, "298807728716735988750000"},
      {{8, 5}, "2371947721374335357596277975040"}};
  for (const auto& [size, text] : known)
    EXPECT_EQ(RingCounter::labellingCount(size.first, size.second).get_str(), text);
}

TEST(RingCounterTest, ProgressRisesToOneAndACancelStopsTheCount) {
  RingCounter counter(6, 5, smallMachine());
  EXPECT_EQ(counter.state(), RingCounter::State::Ready);
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

  // Cancelled after its first layer, and before it began.
  RingCounterOptions options = smallMachine();
  RingCounter* self = nullptr;
  options.layerDone = [&](int, int) { self->cancel(); };
  RingCounter cancelled(6, 6, options);
  self = &cancelled;
  cancelled.start();
  cancelled.wait();
  EXPECT_EQ(cancelled.state(), RingCounter::State::Cancelled);
  EXPECT_FALSE(cancelled.result().has_value());
  RingCounter cancelledFirst(6, 6, smallMachine());
  cancelledFirst.cancel();
  EXPECT_THROW(cancelledFirst.run(), std::runtime_error);
}

TEST(RingCounterTest, ResumesFromTheLastKeptLayer) {
  for (const CountMethod storage : {CountMethod::Memory, CountMethod::Disk}) {
    const TemporaryDirectory directory;
    RingCounterOptions options = smallMachine();
    options.method = storage;
    options.workDirectory = directory.path();
    options.keepEverySeconds = 0;
    options.primesAtOnce = 1;
    RingCounter* self = nullptr;
    options.layerDone = [&](int pass, int layer) {
      if (pass == 1 && layer == 7) self->cancel();
    };
    RingCounter interrupted(5, 6, options);
    self = &interrupted;
    interrupted.start();
    interrupted.wait();
    ASSERT_EQ(interrupted.state(), RingCounter::State::Cancelled);
    // What is left is the last complete layer and a note of where the count stood.
    EXPECT_EQ(directory.files(), (std::vector<std::string>{"varno-count-5x6-1p0-pass1-layer7.states",
                                                           "varno-count-5x6-1p0-resume"}));

    options.resume = true;
    std::vector<std::pair<int, int>> layers;
    options.layerDone = [&](int pass, int layer) { layers.emplace_back(pass, layer); };
    const RingCount resumed = RingCounter(5, 6, options).run();
    EXPECT_EQ(resumed.rings.get_str(), "7071970259337");
    ASSERT_FALSE(layers.empty());
    EXPECT_EQ(layers.front(), std::make_pair(1, 8));
    EXPECT_TRUE(directory.files().empty());
    EXPECT_THROW(RingCounter(5, 6, options).run(), std::runtime_error);  // nothing left to resume
  }
}

TEST(RingCounterTest, RefusesWhatDoesNotFitTheMachine) {
  RingCounterOptions options = smallMachine();
  options.memoryLimitBytes = 1024;
  RingCounter counter(4, 4, options);
  EXPECT_THROW(counter.run(), std::runtime_error);
  EXPECT_EQ(counter.state(), RingCounter::State::Failed);
  EXPECT_NE(counter.errorMessage().find("memory"), std::string::npos);

  const TemporaryDirectory directory;
  options = smallMachine();
  options.method = CountMethod::Disk;
  options.workDirectory = directory.path();
  options.diskLimitBytes = 1024;
  RingCounter onDisk(5, 5, options);
  EXPECT_THROW(onDisk.run(), std::runtime_error);
  EXPECT_NE(onDisk.errorMessage().find("disk"), std::string::npos);
}

TEST(RingCounterTest, EstimatesFollowTheMachineGiven) {
  RingCounterOptions large;
  large.threads = 2;
  large.memoryLimitBytes = std::uint64_t{64} << 30;
  large.workPerSecond = 1e8;
  RingCounterOptions small = large;
  small.memoryLimitBytes = std::uint64_t{1} << 30;
  const RingCounter::Estimate roomy = RingCounter::estimate(7, 6, large);
  const RingCounter::Estimate tight = RingCounter::estimate(7, 6, small);
  EXPECT_TRUE(roomy.fits);
  EXPECT_EQ(roomy.primes, 4);
  EXPECT_EQ(roomy.passes, 1);
  EXPECT_TRUE(tight.fits);
  EXPECT_LT(tight.primesAtOnce, roomy.primesAtOnce);
  EXPECT_LE(tight.memoryBytes, small.memoryLimitBytes);
  EXPECT_GT(tight.seconds, roomy.seconds);  // more passes
  large.threads = 4;
  EXPECT_NEAR(RingCounter::estimate(7, 6, large).seconds, roomy.seconds / 2, roomy.seconds * 1e-9);

  // 8x8 fits in no memory, and on disk only with petabytes.
  const RingCounter::Estimate largest = RingCounter::estimate(8, 8, large);
  EXPECT_FALSE(largest.fits);
  EXPECT_GT(largest.peakBytes, std::uint64_t{1} << 40);
  RingCounterOptions disk = large;
  disk.method = CountMethod::Disk;
  disk.workDirectory = "/nowhere";
  disk.diskLimitBytes = std::uint64_t{1} << 50;
  disk.memoryLimitBytes = std::uint64_t{1} << 40;
  const RingCounter::Estimate onDisk = RingCounter::estimate(8, 8, disk);
  EXPECT_TRUE(onDisk.fits);
  EXPECT_EQ(onDisk.method, CountMethod::Disk);
  EXPECT_GT(onDisk.diskBytes, std::uint64_t{1} << 42);
}

TEST(RingCounterTest, RejectsSizesOutOfRange) {
  EXPECT_THROW(RingCounter(2, 3), std::invalid_argument);
  EXPECT_THROW(RingCounter(9, 3), std::invalid_argument);
  EXPECT_THROW(RingCounter(3, 0), std::invalid_argument);
  EXPECT_THROW(RingCounter(3, 9), std::invalid_argument);
  EXPECT_THROW(RingCounter::labellingCount(3, 9), std::invalid_argument);
  EXPECT_THROW(RingCounter::estimate(9, 9), std::invalid_argument);
}

}  // namespace
}  // namespace varno
