#include "counting/ringcounter.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <new>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "counting/countplan.h"

namespace varno {

namespace {

using u128 = unsigned __int128;

bool isZeroCell(std::uint64_t value) {
  return value == 0;
}
bool isZeroCell(u128 value) {
  return value == 0;
}
bool isZeroCell(const BigCount& value) {
  return value.isZero();
}

BigCount toBigCount(std::uint64_t value) {
  return BigCount(value);
}
BigCount toBigCount(u128 value) {
  return BigCount::fromUint128(value);
}
BigCount toBigCount(const BigCount& value) {
  return value;
}

template <typename Cell>
Cell fromOne() {
  return Cell(1);
}

// Storage for the states of one layer; sized once for the largest layer and reused for all of them,
// so that its pages are mapped only once. Blocks are cleared by the thread that fills them.
template <typename Cell>
struct LayerBuffer {
  explicit LayerBuffer(std::uint64_t cells)
      : counts(std::make_unique_for_overwrite<Cell[]>(cells)),
        links(std::make_unique_for_overwrite<std::uint8_t[]>(cells)) {}
  std::unique_ptr<Cell[]> counts;
  std::unique_ptr<std::uint8_t[]> links;
};

struct CountCancelled {};

// Shared between the sweep's threads and the owning RingCounter.
struct Control {
  const std::atomic<bool>* cancel;
  std::atomic<std::uint64_t>* done;
};

// One source coordinate with at least two values, as seen by a single transfer.
struct Axis {
  int values = 0;  // leading source values that survive the step
  std::uint64_t sourceStride = 0;
  std::array<std::int64_t, 32> offset{};   // target cell offset per value
  std::array<std::uint8_t, 32> decided{};  // final losses of a pair decided by this step
};

// Per state, next to its count, the sweep keeps a "link" byte: 255 minus the smallest possible largest
// loss among the pairs already decided. Zero therefore means "not reached", like a zero count, and
// combining sources is a max.
constexpr int kLinkTop = 255;

template <typename Cell>
class Sweep {
 public:
  Sweep(const CountPlan& plan, unsigned threads, Control control)
      : plan_(plan),
        threads_(std::max(1u, threads)),
        control_(control),
        current_(plan.largestLayerCells()),
        next_(plan.largestLayerCells()) {}

  // Runs all layers; returns the number of ring words over all starting dice and the smallest
  // possible largest loss (or -1 without rings), or nothing when cancelled.
  std::optional<std::pair<BigCount, int>> run() {
    const int last = plan_.layerCount() - 1;
    if (plan_.blocks(0).empty() || plan_.blocks(last).empty()) return std::pair{BigCount(0), -1};
    current_.counts[0] = fromOne<Cell>();
    current_.links[0] = kLinkTop;
    try {
      for (int layer = 1; layer <= last; ++layer) {
        step(layer);
        std::swap(current_, next_);
      }
    } catch (const CountCancelled&) {
      return std::nullopt;
    }
    const Cell total = current_.counts[0];
    if (isZeroCell(total)) return std::pair{BigCount(0), -1};
    return std::pair{toBigCount(total), kLinkTop - current_.links[0]};
  }

 private:
  void step(int layer) {
    // Largest targets first, so that the threads finish together.
    const auto& blocks = plan_.blocks(layer);
    std::vector<std::pair<std::uint64_t, int>> order;
    order.reserve(blocks.size());
    for (int i = 0; i < static_cast<int>(blocks.size()); ++i) order.emplace_back(blocks[i].cells, i);
    std::sort(order.begin(), order.end(), std::greater<>());

    std::atomic<std::size_t> nextTarget{0};
    auto worker = [&] {
      for (std::size_t i = nextTarget++; i < order.size(); i = nextTarget++) {
        fillTarget(layer, blocks[order[i].second]);
      }
    };
    runOnThreads(worker);
  }

  template <typename F>
  void runOnThreads(F& worker) {
    if (threads_ == 1) {
      worker();
      return;
    }
    std::exception_ptr failure;
    std::mutex failureMutex;
    auto guarded = [&] {
      try {
        worker();
      } catch (...) {
        std::lock_guard lock(failureMutex);
        if (!failure) failure = std::current_exception();
      }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads_; ++t) pool.emplace_back(guarded);
    guarded();
    for (auto& thread : pool) thread.join();
    if (failure) std::rethrow_exception(failure);
  }

  // Adds into one target block everything that reaches it with one more face.
  void fillTarget(int layer, const CountPlan::Block& target) {
    // Cleared in slices, so that a cancel is noticed in large blocks too.
    constexpr std::uint64_t kSlice = std::uint64_t{1} << 14;
    for (std::uint64_t start = target.offset; start < target.offset + target.cells; start += kSlice) {
      if (control_.cancel->load(std::memory_order_relaxed)) throw CountCancelled{};
      const std::uint64_t length = std::min(kSlice, target.offset + target.cells - start);
      std::fill_n(next_.counts.get() + start, length, Cell(0));
      std::fill_n(next_.links.get() + start, length, std::uint8_t{0});
    }
    for (int die = 0; die < plan_.dice(); ++die) {
      if (CountPlan::countOf(target.counts, die) > 0) transfer(layer, target, die);
    }
  }

  // Moves the states of the source block "target minus one face on die j" into the target block.
  void transfer(int layer, const CountPlan::Block& target, int j) {
    const int n = plan_.dice();
    const int k = plan_.faces();
    const int limit = plan_.lossLimit();
    const std::uint32_t counts = CountPlan::removeFace(target.counts, j);
    int rotation = 0;
    const CountPlan::Block* source = plan_.find(layer - 1, plan_.canonical(counts, &rotation));
    if (source == nullptr) return;

    std::array<std::int64_t, CountPlan::kMaxDice> targetStride{};
    std::int64_t stride = 1;
    for (int p = 0; p < n; ++p) {
      targetStride[p] = stride;
      stride *= target.dims[p];
    }

    // The source block is stored in canonical order: its pair q is pair (q + rotation) of `counts`.
    std::array<Axis, CountPlan::kMaxDice> axes;
    int axisCount = 0;
    std::int64_t base = static_cast<std::int64_t>(target.offset);
    int baseDecided = 0;
    std::uint64_t sourceStride = 1;
    const int before = (j + n - 1) % n;
    for (int q = 0; q < n; ++q) {
      const int p = (q + rotation) % n;
      const int a = CountPlan::countOf(counts, p);
      const int b = CountPlan::countOf(counts, (p + 1) % n);
      const int sourceValues = source->dims[q];
      Axis axis;
      axis.sourceStride = sourceStride;
      sourceStride *= static_cast<std::uint64_t>(sourceValues);
      for (int v = 0; v < sourceValues; ++v) {
        std::int64_t offset = 0;
        int decided = 0;
        if (p == before) {
          // Die j's new face beats every face of die j-1: their pair's losses grow by a.
          if (a > 0 && a < k) {
            const int losses = v + a;
            if (b + 1 == k) {
              decided = losses;
            } else {
              offset = losses * targetStride[p];
            }
          }
        } else if (p == j) {
          // Every face die j+1 still gets beats the new face: the committed losses grow by k - b.
          if (b > 0 && b < k) {
            const int committed = v + (k - b) * (a + 1);
            if (committed > limit) break;
            if (a + 1 == k) {
              decided = committed;
            } else {
              offset = v * targetStride[p];
            }
          }
        } else {
          offset = v * targetStride[p];
        }
        axis.offset[v] = offset;
        axis.decided[v] = static_cast<std::uint8_t>(decided);
        axis.values = v + 1;
      }
      if (axis.values == 0) {  // every state of the source loses a pair
        control_.done->fetch_add(source->cells, std::memory_order_relaxed);
        return;
      }
      if (sourceValues == 1) {
        base += axis.offset[0];
        baseDecided = std::max(baseDecided, static_cast<int>(axis.decided[0]));
      } else {
        axes[axisCount++] = axis;
      }
    }
    if (axisCount == 0) {
      axes[0] = Axis{};
      axes[0].values = 1;
      axes[0].sourceStride = 1;
      axisCount = 1;
    }
    const bool decides = CountPlan::countOf(target.counts, j) == k;
    if (decides) {
      move<true>(*source, axes, axisCount, base, baseDecided);
    } else {
      move<false>(*source, axes, axisCount, base, baseDecided);
    }
  }

  template <bool kDecides>
  void move(const CountPlan::Block& source, const std::array<Axis, CountPlan::kMaxDice>& axes, int axisCount,
            std::int64_t base, int baseDecided) {
    const Cell* sourceCounts = current_.counts.get() + source.offset;
    const std::uint8_t* sourceLinks = current_.links.get() + source.offset;
    Cell* targetCounts = next_.counts.get();
    std::uint8_t* targetLinks = next_.links.get();
    const Axis& inner = axes[0];

    std::uint64_t outerRuns = 1;
    for (int d = 1; d < axisCount; ++d) outerRuns *= static_cast<std::uint64_t>(axes[d].values);
    std::uint64_t reported = 0;
    std::uint64_t run = 0;

    std::array<int, CountPlan::kMaxDice> index{};
    for (;;) {
      std::int64_t outer = base;
      int outerDecided = baseDecided;
      std::uint64_t first = 0;
      for (int d = 1; d < axisCount; ++d) {
        outer += axes[d].offset[index[d]];
        outerDecided = std::max(outerDecided, static_cast<int>(axes[d].decided[index[d]]));
        first += static_cast<std::uint64_t>(index[d]) * axes[d].sourceStride;
      }
      for (int v = 0; v < inner.values; ++v) {
        const Cell& value = sourceCounts[first + v];
        if (isZeroCell(value)) continue;
        const std::uint64_t cell = static_cast<std::uint64_t>(outer + inner.offset[v]);
        targetCounts[cell] += value;
        int link = sourceLinks[first + v];
        if constexpr (kDecides) {
          link = std::min(link, kLinkTop - std::max(outerDecided, static_cast<int>(inner.decided[v])));
        }
        if (link > targetLinks[cell]) targetLinks[cell] = static_cast<std::uint8_t>(link);
      }

      if ((++run & 63) == 0) {
        if (control_.cancel->load(std::memory_order_relaxed)) throw CountCancelled{};
        const std::uint64_t share = source.cells * run / outerRuns;
        control_.done->fetch_add(share - reported, std::memory_order_relaxed);
        reported = share;
      }
      int d = 1;
      while (d < axisCount && ++index[d] == axes[d].values) index[d++] = 0;
      if (d == axisCount) break;
    }
    control_.done->fetch_add(source.cells - reported, std::memory_order_relaxed);
  }

  const CountPlan& plan_;
  unsigned threads_;
  Control control_;
  LayerBuffer<Cell> current_;  // states of the layer being read
  LayerBuffer<Cell> next_;     // states of the layer being filled
};

// Counts with the given cell type. A cancellation is reported before the layer buffers are released,
// which takes a while for large sizes.
template <typename Cell>
std::optional<std::pair<BigCount, int>> countWords(const CountPlan& plan, unsigned threads, Control control,
                                                   std::atomic<RingCounter::State>& state) {
  Sweep<Cell> sweep(plan, threads, control);
  auto words = sweep.run();
  if (!words) state = RingCounter::State::Cancelled;
  return words;
}

// Bits needed per count: every state count is at most the number of words, dice times labellings.
int cellBitsFor(int dice, int faces) {
  const int bits = (RingCounter::labellingCount(dice, faces) * static_cast<std::uint64_t>(dice)).bitWidth();
  if (bits <= 64) return 64;
  if (bits <= 128) return 128;
  return 256;
}

std::uint64_t cellBytes(int cellBits) {
  return cellBits / 8 + 1;
}

// MemAvailable from /proc/meminfo, or 0 if unknown.
std::uint64_t availableMemory() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  std::uint64_t kilobytes = 0;
  std::string unit;
  while (meminfo >> key >> kilobytes >> unit) {
    if (key == "MemAvailable:") return kilobytes * 1024;
  }
  return 0;
}

std::string gibibytes(std::uint64_t bytes) {
  std::ostringstream text;
  text.precision(1);
  text << std::fixed << static_cast<double>(bytes) / (1024.0 * 1024.0 * 1024.0) << " GiB";
  return text.str();
}

void checkSize(int dice, int faces) {
  if (!isRingSize(dice, faces)) {
    throw std::invalid_argument("ring size out of range: dice must be 3..8 and faces 1..8");
  }
}

}  // namespace

RingCounter::RingCounter(int dice, int faces, RingCounterOptions options)
    : dice_(dice), faces_(faces), options_(options) {
  checkSize(dice, faces);
  if (options_.threads == 0) options_.threads = std::max(1u, std::thread::hardware_concurrency());
}

RingCounter::~RingCounter() {
  cancel();
  wait();
}

void RingCounter::start() {
  State expected = State::Ready;
  if (!state_.compare_exchange_strong(expected, State::Running)) {
    throw std::logic_error("RingCounter::start: already started");
  }
  worker_ = std::thread(&RingCounter::work, this);
}

void RingCounter::cancel() {
  cancelRequested_ = true;
}

void RingCounter::wait() {
  if (worker_.joinable()) worker_.join();
}

double RingCounter::progress() const {
  if (state_ == State::Finished) return 1.0;
  const std::uint64_t total = workTotal_.load();
  if (total == 0) return 0.0;
  return std::min(1.0, static_cast<double>(workDone_.load()) / static_cast<double>(total));
}

std::optional<RingCount> RingCounter::result() const {
  std::lock_guard lock(mutex_);
  return result_;
}

std::string RingCounter::errorMessage() const {
  std::lock_guard lock(mutex_);
  return error_;
}

RingCount RingCounter::run() {
  start();
  wait();
  if (state_ == State::Finished) return *result();
  if (state_ == State::Cancelled) throw std::runtime_error("count cancelled");
  throw std::runtime_error(errorMessage());
}

std::uint64_t RingCounter::memoryAllowed(std::uint64_t limit) {
  if (limit != 0) return limit;
  const std::uint64_t available = availableMemory();
  return available != 0 ? available / 10 * 9 : (8ULL << 30);
}

void RingCounter::work() {
  try {
    const CountPlan plan(dice_, faces_);
    workTotal_ = std::max<std::uint64_t>(1, plan.totalWork());
    const int bits = cellBitsFor(dice_, faces_);
    const std::uint64_t needed = plan.peakCells() * cellBytes(bits);
    const std::uint64_t allowed = memoryAllowed(options_.memoryLimitBytes);
    if (needed > allowed) {
      throw std::runtime_error("size " + std::to_string(dice_) + "x" + std::to_string(faces_) +
                               " needs about " + gibibytes(needed) + " of memory, only " +
                               gibibytes(allowed) + " allowed");
    }

    const Control control{&cancelRequested_, &workDone_};
    std::optional<std::pair<BigCount, int>> words;
    if (bits == 64) {
      words = countWords<std::uint64_t>(plan, options_.threads, control, state_);
    } else if (bits == 128) {
      words = countWords<u128>(plan, options_.threads, control, state_);
    } else {
      words = countWords<BigCount>(plan, options_.threads, control, state_);
    }
    if (!words) return;  // cancelled

    RingCount count;
    count.dice = dice_;
    count.faces = faces_;
    count.labellings = labellingCount(dice_, faces_);
    count.rings = words->first;
    // Rotating the dice maps ring words onto ring words, so each first die has the same share.
    if (count.rings.divideBy(static_cast<std::uint64_t>(dice_)) != 0) {
      throw std::logic_error("ring words not divisible by the number of dice");
    }
    count.bestWeakestLink = words->second < 0 ? 0 : faces_ * faces_ - words->second;
    {
      std::lock_guard lock(mutex_);
      result_ = count;
    }
    state_ = State::Finished;
  } catch (const std::exception& e) {
    {
      std::lock_guard lock(mutex_);
      error_ = e.what();
    }
    state_ = State::Failed;
  }
}

RingCounter::Estimate RingCounter::estimate(int dice, int faces) {
  checkSize(dice, faces);
  const CountPlan plan(dice, faces);
  Estimate estimate;
  estimate.peakCells = plan.peakCells();
  estimate.totalCells = plan.totalCells();
  estimate.cellBits = cellBitsFor(dice, faces);
  estimate.peakBytes = plan.peakCells() * cellBytes(estimate.cellBits);
  return estimate;
}

BigCount RingCounter::labellingCount(int dice, int faces) {
  checkSize(dice, faces);
  // Multinomial (n*k)! / k!^n as a product of binomials C(i*k, k), then one n-th for the fixed first face.
  BigCount total(1);
  for (int i = 1; i <= dice; ++i) {
    std::uint64_t binomial = 1;
    const int top = i * faces;
    for (int t = 1; t <= faces; ++t) binomial = binomial * static_cast<std::uint64_t>(top - faces + t) / t;
    total *= binomial;
  }
  total.divideBy(static_cast<std::uint64_t>(dice));
  return total;
}

}  // namespace varno
