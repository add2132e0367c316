#include "counting/ringcounter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace varno {
namespace {

RingCount countRings(int dice, int faces, unsigned threads = 0) {
  RingCounterOptions options;
  options.threads = threads;
  return RingCounter(dice, faces, options).run();
}

TEST(RingCounterTest, MatchesPublishedCountsForThreeDice) {
  const std::vector<std::uint64_t> published = {5, 13, 1732, 10705, 697733, 6539451};
  for (int faces = 3; faces <= 8; ++faces) {
    EXPECT_EQ(countRings(3, faces).rings, BigCount(published[faces - 3])) << "3x" << faces;
  }
  for (int faces = 1; faces <= 2; ++faces) {
    const RingCount count = countRings(3, faces);
    EXPECT_TRUE(count.rings.isZero());
    EXPECT_EQ(count.bestWeakestLink, 0);
  }
}

TEST(RingCounterTest, ResultDoesNotDependOnThreadCount) {
  const RingCount single = countRings(5, 5, 1);
  EXPECT_EQ(single.rings.toString(), "25515130947");
  for (unsigned threads : {2u, 3u}) {
    const RingCount parallel = countRings(5, 5, threads);
    EXPECT_EQ(parallel.rings, single.rings);
    EXPECT_EQ(parallel.bestWeakestLink, single.bestWeakestLink);
  }
}

TEST(RingCounterTest, WideCountsUseExactCells) {
  // 8x4 needs 128-bit cells; its ring count exceeds 2^52, where doubles would round.
  const RingCount count = countRings(8, 4);
  EXPECT_EQ(count.labellings.toString(), "298807728716735988750000");
  EXPECT_EQ(count.rings.toString(), "4899523892162744");
  EXPECT_EQ(count.bestWeakestLink, 10);
  EXPECT_EQ(RingCounter::estimate(8, 4).cellBits, 128);
  EXPECT_EQ(RingCounter::estimate(4, 4).cellBits, 64);
  EXPECT_EQ(RingCounter::estimate(8, 8).cellBits, 256);
}

TEST(RingCounterTest, ReportsProgressAndFinishes) {
  RingCounter counter(5, 6);
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
  ASSERT_TRUE(counter.result().has_value());
  EXPECT_EQ(counter.result()->rings.toString(), "7071970259337");
  EXPECT_THROW(counter.start(), std::logic_error);
}

TEST(RingCounterTest, CancelStopsTheWorker) {
  RingCounter counter(6, 6);
  counter.start();
  counter.cancel();
  counter.wait();
  EXPECT_EQ(counter.state(), RingCounter::State::Cancelled);
  EXPECT_FALSE(counter.result().has_value());

  RingCounter cancelledFirst(6, 6);
  cancelledFirst.cancel();
  EXPECT_THROW(cancelledFirst.run(), std::runtime_error);
}

TEST(RingCounterTest, RefusesSizesBeyondTheMemoryLimit) {
  RingCounterOptions options;
  options.memoryLimitBytes = 1024;
  RingCounter counter(4, 4, options);
  EXPECT_THROW(counter.run(), std::runtime_error);
  EXPECT_EQ(counter.state(), RingCounter::State::Failed);
  EXPECT_NE(counter.errorMessage().find("memory"), std::string::npos);
  EXPECT_GT(RingCounter::estimate(8, 8).peakBytes, std::uint64_t{1} << 40);  // far beyond any machine
}

TEST(RingCounterTest, RejectsSizesOutOfRange) {
  EXPECT_THROW(RingCounter(2, 3), std::invalid_argument);
  EXPECT_THROW(RingCounter(9, 3), std::invalid_argument);
  EXPECT_THROW(RingCounter(3, 0), std::invalid_argument);
  EXPECT_THROW(RingCounter(3, 9), std::invalid_argument);
  EXPECT_THROW(RingCounter::labellingCount(3, 9), std::invalid_argument);
}

}  // namespace
}  // namespace varno
