#include "counting/ringcounter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <utility>
#include <vector>

#include "counting/countplan.h"
#include "counting/keptlayer.h"
#include "counting/modular.h"
#include "counting/partition.h"
#include "counting/storage.h"
#include "counting/strongestring.h"
#include "counting/sweep.h"
#include "rules/ringrules.h"

namespace varno {

namespace {

using Clock = std::chrono::steady_clock;

// Work units (LayerSweep::Needs::stepWork) one thread does per second with one prime at a time, as
// measured on a 2-core machine of 2024; every further prime counted at once adds a share of that.
constexpr double kWorkPerSecond = 1.2e8;
constexpr double kCostPerExtraPrime = 0.4;
constexpr double kDiskBytesPerSecond = 5e8;
// Progress is counted in whole units; the cost of a pass per work unit is scaled by this.
constexpr double kUnitScale = 16;
constexpr std::uint64_t kCellBytes = 4;

double costPerUnit(int primesAtOnce) {
  return 1 + kCostPerExtraPrime * (primesAtOnce - 1);
}

// An amount of memory or disk in the unit that suits it: "512 bytes", "3.4 MiB", "12.0 GiB".
std::string amount(std::uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  const char* units[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  double value = static_cast<double>(bytes) / 1024;
  std::size_t unit = 0;
  while (value >= 1024 && unit + 1 < std::size(units)) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
  return text;
}

void checkSize(int dice, int faces) {
  if (!isRingSize(dice, faces)) {
    throw std::invalid_argument("ring size out of range: dice must be 3..8 and faces 1..8");
  }
}

// Whether a count takes fewer rings than all: those within a tighter loss limit.
bool tightened(int faces, const RingCounterOptions& options) {
  return options.lossLimit >= 0 && options.lossLimit < lossLimit(faces);
}

// The size and the options that choose how it is counted.
void checkSetup(int dice, int faces, const RingCounterOptions& options) {
  checkSize(dice, faces);
  const int needed = Modular::primesNeeded(dice, faces);
  if (options.primes != 0 && (options.primes < needed || options.primes > Modular::kMaxPrimes)) {
    throw std::invalid_argument("a count of " + std::to_string(dice) + "x" + std::to_string(faces) +
                                " takes " + std::to_string(needed) + " to " +
                                std::to_string(Modular::kMaxPrimes) + " primes");
  }
  if (options.primesAtOnce < 0 || options.primesAtOnce > Modular::kMaxPrimes) {
    throw std::invalid_argument("a count takes 1 to 6 primes at once");
  }
  if (options.lossLimit < -1 || options.lossLimit > lossLimit(faces)) {
    throw std::invalid_argument("a count of " + std::to_string(faces) + " faces takes a loss limit of 0 to " +
                                std::to_string(lossLimit(faces)) + ", or -1 for every ring");
  }
  if (tightened(faces, options) && options.resume) {
    throw std::invalid_argument("a count with a tighter loss limit cannot resume");
  }
  const int primes = options.primes != 0 ? options.primes : needed;
  if (options.pass < 0 || options.pass > primes) {
    throw std::invalid_argument("a count of " + std::to_string(dice) + "x" + std::to_string(faces) +
                                " in passes of one prime has passes 1 to " + std::to_string(primes));
  }
  if (options.pass > 0 && (options.primesAtOnce > 1 || options.resume || tightened(faces, options))) {
    throw std::invalid_argument(
        "a count of one pass takes one prime at once, counts every ring and cannot resume");
  }
}

// A count of one pass counts one prime at a time, however much memory there is, so that every pass of
// it belongs to the same plan on any machine.
RingCounterOptions effective(RingCounterOptions options) {
  if (options.pass > 0) {
    options.primesAtOnce = 1;
    options.keepEverySeconds = -1;
  }
  return options;
}

// The residue of `words` / `dice` modulo `prime`, from that of `words`.
std::uint32_t dividedResidue(std::uint32_t words, int dice, std::uint32_t prime) {
  mpz_class inverse;
  const mpz_class modulus = prime;
  mpz_invert(inverse.get_mpz_t(), mpz_class(dice).get_mpz_t(), modulus.get_mpz_t());
  return static_cast<std::uint32_t>(mpz_class(words * inverse % modulus).get_ui());
}

int primesOf(int dice, int faces, const RingCounterOptions& options) {
  return options.primes != 0 ? options.primes : Modular::primesNeeded(dice, faces);
}

unsigned threadsOf(const RingCounterOptions& options) {
  return options.threads != 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
}

std::uint64_t diskAllowed(const RingCounterOptions& options) {
  if (options.diskLimitBytes != 0) return options.diskLimitBytes;
  if (options.workDirectory.empty()) return 0;
  return freeDiskBytes(options.workDirectory) / 10 * 9;
}

// How a count runs, and what it needs: the estimate and what the sweep is given.
struct Setup {
  RingCounter::Estimate estimate;
  Storage storage = Storage::Memory;
  std::uint64_t bandBytes = 0;
  std::vector<std::uint64_t> stepWork;  // of one pass, per step
  std::string why;                      // why it does not fit
};

// Decides method and primes per pass for one process from what the sweep needs.
Setup decide(const CountPlan& plan, const LayerSweep::Needs& needs, bool full,
             const RingCounterOptions& options) {
  Setup setup;
  RingCounter::Estimate& estimate = setup.estimate;
  const int dice = plan.dice();
  const int faces = plan.faces();
  const unsigned threads = threadsOf(options);
  const std::uint64_t memoryLimit = RingCounter::memoryAllowed(options.memoryLimitBytes);
  estimate.primes = primesOf(dice, faces, options);
  const int most =
      options.primesAtOnce > 0 ? std::min(options.primesAtOnce, estimate.primes) : estimate.primes;
  setup.stepWork = needs.stepWork;

  const std::uint64_t memoryCells = needs.memoryCells + needs.scratchCells(threads);
  auto memoryBytes = [&](int primes) {
    return memoryCells * kCellBytes * static_cast<std::uint64_t>(primes);
  };
  estimate.peakCells = needs.memoryCells;
  estimate.peakBytes = memoryBytes(1);
  estimate.totalCells = plan.allLayerCells();

  int primes = 0;
  if (options.method != CountMethod::Disk) {
    for (primes = most; primes > 0 && memoryBytes(primes) > memoryLimit; --primes) {
    }
  }
  if (primes > 0) {
    setup.storage = Storage::Memory;
    estimate.method = CountMethod::Memory;
    estimate.memoryBytes = memoryBytes(primes);
  } else if (options.method == CountMethod::Memory ||
             (options.method == CountMethod::Automatic && options.workDirectory.empty()) || !full) {
    setup.why =
        "needs about " + amount(memoryBytes(1)) + " of memory, only " + amount(memoryLimit) + " allowed";
  } else {
    // On disk: bands as large as the memory allows (or as asked), and at least one job with its sources.
    const std::uint64_t diskLimit = diskAllowed(options);
    const bool keeping = options.keepEverySeconds >= 0 && !tightened(faces, options);
    const std::uint64_t diskCells = keeping ? needs.layerCells : needs.diskCells;
    const std::uint64_t scratchCells = needs.scratchCells(threads);
    for (primes = most; primes > 0; --primes) {
      const auto bytes = kCellBytes * static_cast<std::uint64_t>(primes);
      if ((needs.jobCells + scratchCells) * bytes <= memoryLimit && diskCells * bytes <= diskLimit) break;
    }
    if (primes > 0) {
      setup.storage = Storage::Disk;
      estimate.method = CountMethod::Disk;
      const auto bytes = kCellBytes * static_cast<std::uint64_t>(primes);
      const std::uint64_t room = memoryLimit - scratchCells * bytes;
      setup.bandBytes =
          std::clamp(options.bandBytes != 0 ? options.bandBytes : room, needs.jobCells * bytes, room);
      estimate.memoryBytes = setup.bandBytes + scratchCells * bytes;
      estimate.diskBytes = diskCells * bytes;
    } else {
      setup.why = "needs about " + amount((needs.jobCells + scratchCells) * kCellBytes) + " of memory and " +
                  amount(diskCells * kCellBytes) + " of disk, only " + amount(memoryLimit) + " and " +
                  amount(diskLimit) + " allowed";
      if (options.diskLimitBytes == 0)
        setup.why += " (nine tenths of the space free in " + options.workDirectory + ")";
      estimate.diskBytes = diskCells * kCellBytes;  // what the disk method would need
    }
  }
  if (primes == 0) {
    // What the smallest count in memory would need, for the message and the figures.
    primes = 1;
    estimate.method = options.method == CountMethod::Disk ? CountMethod::Disk : CountMethod::Memory;
    estimate.memoryBytes = memoryBytes(1);
  } else {
    estimate.fits = true;
  }
  estimate.primesAtOnce = primes;
  estimate.passes = (estimate.primes + primes - 1) / primes;
  estimate.cellBits = 32 * primes;
  // A count of one pass needs the time, traffic and work of that pass only.
  const int counted = options.pass > 0 ? 1 : estimate.primes;
  estimate.receivedBytes = needs.receivedCells * kCellBytes * static_cast<std::uint64_t>(counted);

  const double speed = (options.workPerSecond > 0 ? options.workPerSecond : kWorkPerSecond) * threads;
  std::uint64_t passWork = 0;
  for (std::uint64_t work : needs.stepWork) passWork += work;
  double seconds = 0;
  for (int pass = 0; pass < estimate.passes; ++pass) {
    if (options.pass > 0 && pass != options.pass - 1) continue;
    const int atOnce = std::min(primes, estimate.primes - pass * primes);
    seconds += static_cast<double>(passWork) * costPerUnit(atOnce) / speed;
  }
  if (setup.storage == Storage::Disk) {
    const double bytes = static_cast<double>(needs.diskTraffic) * kCellBytes * counted;
    seconds += bytes / (options.diskBytesPerSecond > 0 ? options.diskBytesPerSecond : kDiskBytesPerSecond);
  }
  estimate.work = passWork * static_cast<std::uint64_t>(options.pass > 0 ? 1 : estimate.passes);
  estimate.seconds = seconds;
  return setup;
}

int lastLayerOf(int dice, int faces, bool meet) {
  return meet ? CountPlan::meetingLayer(dice, faces) : dice * faces;
}

// The plan of a count with these options.
CountPlan planOf(int dice, int faces, const RingCounterOptions& options, const CountPlan::StopCheck& stop) {
  return CountPlan(dice, faces, lastLayerOf(dice, faces, options.meet), stop,
                   options.lossLimit < 0 ? CountPlan::kRingLossLimit : options.lossLimit);
}

// The setup of this process's kept layers.
KeptSetup keptSetup(const CountPlan& plan, const Partition& partition, const RingCounterOptions& options,
                    int rank, int primes, int atOnce) {
  KeptSetup setup;
  setup.dice = plan.dice();
  setup.faces = plan.faces();
  setup.meet = options.meet;
  setup.negate = options.negateResidues;
  setup.processes = partition.processes();
  setup.rank = rank;
  setup.primes = primes;
  setup.primesAtOnce = atOnce;
  // The sweep tells when a layer below the last one is complete.
  setup.lastLayer = std::min(LayerSweep::lastStoredLayer(plan, options.meet), plan.layerCount() - 2);
  setup.plan = planPrint(plan, partition, rank, setup.lastLayer);
  setup.layerBytes = [&partition, rank, primes, atOnce](int pass, int layer) {
    return LayerSweep::keptBytes(partition, layer, rank, std::min(atOnce, primes - pass * atOnce));
  };
  return setup;
}

// What can be checked of a count before it is given out: its ring words are at most all words and a
// multiple of the number of dice, and there are rings (within the loss limit) exactly when the
// strongest-ring search finds one. A count that fails was made from states that were changed on disk or
// in memory.
void checkCount(int dice, int faces, const mpz_class& words, bool ringsExist) {
  std::string problem;
  if (words > Modular::wordBound(dice, faces)) {
    problem = "its residues do not belong to one number of rings: it would exceed the number of labellings";
  } else if (words % dice != 0) {
    problem = "its ring words are not a multiple of the number of dice";
  } else if ((words != 0) != ringsExist) {
    problem = ringsExist ? "it found no ring, but there are rings of this size"
                         : "it found rings, but there is no ring of this size";
  }
  if (!problem.empty()) {
    throw std::runtime_error("the count of " + std::to_string(dice) + "x" + std::to_string(faces) +
                             " failed its check: " + problem);
  }
}

}  // namespace

RingCounter::RingCounter(int dice, int faces, RingCounterOptions options)
    : dice_(dice), faces_(faces), options_(std::move(options)) {
  checkSetup(dice, faces, options_);
  options_ = effective(std::move(options_));
  options_.threads = threadsOf(options_);
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
  const double total = total_.load();
  if (total <= 0) return 0.0;
  return std::min(1.0, static_cast<double>(done_.load()) / total);
}

std::optional<RingCount> RingCounter::result() const {
  std::lock_guard lock(mutex_);
  return result_;
}

std::string RingCounter::errorMessage() const {
  std::lock_guard lock(mutex_);
  return error_;
}

std::optional<RingCounter::Estimate> RingCounter::plan() const {
  std::lock_guard lock(mutex_);
  return plan_;
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
  const std::uint64_t available = availableMemoryBytes();
  return available != 0 ? available / 10 * 9 : (8ULL << 30);
}

mpz_class RingCounter::labellingCount(int dice, int faces) {
  checkSize(dice, faces);
  return Modular::labellings(dice, faces);
}

RingCount RingCounter::join(int dice, int faces, const std::vector<std::uint32_t>& ringsResidues,
                            int bestWeakestLink) {
  checkSize(dice, faces);
  const int needed = Modular::primesNeeded(dice, faces);
  const int given = static_cast<int>(ringsResidues.size());
  if (given < needed || given > Modular::kMaxPrimes) {
    throw std::invalid_argument("a count of " + std::to_string(dice) + "x" + std::to_string(faces) +
                                " joins " + std::to_string(needed) + " to " +
                                std::to_string(Modular::kMaxPrimes) + " residues, not " +
                                std::to_string(given));
  }
  std::vector<std::uint32_t> words(ringsResidues.size());
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::uint64_t prime = Modular::kPrimes[i];
    if (ringsResidues[i] >= prime) {
      throw std::invalid_argument("the residue " + std::to_string(ringsResidues[i]) + " of pass " +
                                  std::to_string(i + 1) + " is not below its prime " + std::to_string(prime));
    }
    words[i] = static_cast<std::uint32_t>(ringsResidues[i] * static_cast<std::uint64_t>(dice) % prime);
  }
  RingCount count;
  count.dice = dice;
  count.faces = faces;
  count.labellings = labellingCount(dice, faces);
  const mpz_class total = Modular::combine(words);
  checkCount(dice, faces, total, bestWeakestLink > 0);
  count.rings = total / dice;
  count.bestWeakestLink = bestWeakestLink;
  return count;
}

RingCounter::Estimate RingCounter::estimate(int dice, int faces, const RingCounterOptions& options) {
  return *estimateFor(dice, faces, 1, 0, options);
}

std::optional<RingCounter::Estimate> RingCounter::estimateFor(int dice, int faces, int processes, int rank,
                                                              const RingCounterOptions& options,
                                                              const std::function<bool()>& stop,
                                                              const std::function<void(int)>& progress) {
  checkSetup(dice, faces, options);
  const RingCounterOptions counted = effective(options);
  if (processes < 1 || rank < -1 || rank >= processes) throw std::invalid_argument("no such process");
  try {
    const CountPlan plan = planOf(dice, faces, options, stop);
    // Only the disk method and several processes need to look at every step.
    const bool full = processes > 1 || options.method == CountMethod::Disk || !options.workDirectory.empty();
    const Partition partition(plan, options.meet, processes);
    std::optional<Estimate> fullest;
    for (int r = rank < 0 ? 0 : rank; r <= (rank < 0 ? processes - 1 : rank); ++r) {
      if (progress) progress(r);
      const LayerSweep::Needs needs = full ? LayerSweep::needs(plan, partition, options.meet, r, stop)
                                           : LayerSweep::quickNeeds(plan, options.meet);
      const Estimate estimate = decide(plan, needs, full, counted).estimate;
      if (!fullest) {
        fullest = estimate;
        continue;
      }
      // The partition balances the processes, but not exactly.
      fullest->memoryBytes = std::max(fullest->memoryBytes, estimate.memoryBytes);
      fullest->diskBytes = std::max(fullest->diskBytes, estimate.diskBytes);
      fullest->receivedBytes = std::max(fullest->receivedBytes, estimate.receivedBytes);
      fullest->seconds = std::max(fullest->seconds, estimate.seconds);
      fullest->fits = fullest->fits && estimate.fits;
    }
    return fullest;
  } catch (const CountPlan::Stopped&) {
    return std::nullopt;
  } catch (const CountCancelled&) {
    return std::nullopt;
  }
}

void RingCounter::work() {
  const auto started = Clock::now();
  try {
    Exchange* exchange = options_.exchange;
    const int processes = exchange != nullptr ? exchange->processes() : 1;
    const int rank = exchange != nullptr ? exchange->rank() : 0;
    const bool meet = options_.meet;
    auto stop = [&] { return cancelled(); };
    std::optional<CountPlan> plan;
    try {
      plan.emplace(planOf(dice_, faces_, options_, stop));
    } catch (const CountPlan::Stopped&) {
      throw CountCancelled{};
    }
    const Partition partition(*plan, meet, processes);
    const bool full =
        processes > 1 || options_.method == CountMethod::Disk || !options_.workDirectory.empty();
    const LayerSweep::Needs needs =
        full ? LayerSweep::needs(*plan, partition, meet, rank, stop) : LayerSweep::quickNeeds(*plan, meet);
    Setup setup = decide(*plan, needs, full, options_);
    if (exchange != nullptr) {
      // Every process must count the same way: the fewest primes at once, on disk if any needs it.
      const int most = Modular::kMaxPrimes;
      const bool anyFails = exchange->maximum(setup.estimate.fits ? 0 : 1) != 0;
      setup.estimate.primesAtOnce =
          most - static_cast<int>(exchange->maximum(most - setup.estimate.primesAtOnce));
      const bool anyDisk = exchange->maximum(setup.storage == Storage::Disk ? 1 : 0) != 0;
      if (anyFails && setup.estimate.fits) setup.why = "another process lacks memory or disk";
      setup.estimate.fits = !anyFails;
      if (anyDisk && setup.storage != Storage::Disk) {
        if (options_.workDirectory.empty()) {
          setup.why = "another process counts on disk, and this one has no work directory";
          setup.estimate.fits = false;
        }
        setup.storage = Storage::Disk;
        setup.bandBytes = memoryAllowed(options_.memoryLimitBytes);
      }
      setup.estimate.passes =
          (setup.estimate.primes + setup.estimate.primesAtOnce - 1) / setup.estimate.primesAtOnce;
    }
    if (!setup.estimate.fits) {
      throw std::runtime_error("size " + std::to_string(dice_) + "x" + std::to_string(faces_) + " " +
                               setup.why);
    }
    {
      std::lock_guard lock(mutex_);
      plan_ = setup.estimate;
    }
    const int primes = setup.estimate.primes;
    const int atOnce = setup.estimate.primesAtOnce;
    const int passes = setup.estimate.passes;

    // Progress: the work of every pass, each unit weighted by the cost of its pass.
    std::uint64_t passWork = 0;
    for (std::uint64_t work : setup.stepWork) passWork += work;
    std::vector<std::uint64_t> unit(passes);
    double total = 0;
    // A count of one pass counts that pass only.
    const int onlyPass = options_.pass - 1;
    for (int pass = 0; pass < passes; ++pass) {
      unit[pass] = static_cast<std::uint64_t>(
          std::lround(kUnitScale * costPerUnit(std::min(atOnce, primes - pass * atOnce))));
      if (onlyPass < 0 || pass == onlyPass)
        total += static_cast<double>(passWork) * static_cast<double>(unit[pass]);
    }
    total_ = total;

    // Layers kept for a later count, and the one to resume from.
    bool keeping =
        options_.keepEverySeconds >= 0 && !options_.workDirectory.empty() && !tightened(faces_, options_);
    if (keeping && setup.storage == Storage::Memory) {
      std::uint64_t largest = 0;
      for (int layer = 0; layer <= LayerSweep::lastStoredLayer(*plan, meet); ++layer) {
        largest = std::max(largest, partition.localCells(layer, rank));
      }
      keeping = largest * kCellBytes * static_cast<std::uint64_t>(setup.estimate.primesAtOnce) <=
                diskAllowed(options_);
      if (exchange != nullptr) keeping = exchange->maximum(keeping ? 0 : 1) == 0;
    }
    std::optional<KeptFiles> files;
    std::optional<KeptState> saved;
    std::optional<SavedLayer> savedLayer;  // handed to the sweep of the pass it belongs to
    if (keeping || options_.resume) {
      files.emplace(options_.workDirectory, keptSetup(*plan, partition, options_, rank, primes, atOnce));
      if (options_.resume) {
        auto [state, file] = files->resumable(&cancelRequested_);
        saved = std::move(state);
        savedLayer = SavedLayer{saved->layer, std::move(file)};
      }
    }
    if (exchange != nullptr && options_.resume) {
      const std::uint64_t at =
          static_cast<std::uint64_t>(saved->pass) * 1000 + static_cast<std::uint64_t>(saved->layer);
      if (exchange->maximum(at) != at || 1000000 - exchange->maximum(1000000 - at) != at) {
        throw std::runtime_error("the processes kept different layers; cannot resume");
      }
    }
    // What earlier counts left goes: all of it for a count afresh; for a count that goes on, a layer that
    // no note names or a note half written, left by a process killed while it kept a layer.
    if (files) files->removeEarlier(saved);

    std::vector<std::uint32_t> residues = saved ? saved->residues : std::vector<std::uint32_t>{};
    auto lastKept = started;
    std::uint64_t diskPeak = 0;
    const int firstPass = onlyPass >= 0 ? onlyPass : saved ? saved->pass : 0;
    const int endPass = onlyPass >= 0 ? onlyPass + 1 : passes;
    if (onlyPass < 0) {
      for (int pass = 0; pass < firstPass; ++pass) done_ += passWork * unit[pass];
    }
    for (int pass = firstPass; pass < endPass; ++pass) {
      SweepSettings settings;
      settings.meet = meet;
      settings.residues = std::min(atOnce, primes - pass * atOnce);
      for (int r = 0; r < settings.residues; ++r) settings.primes[r] = Modular::kPrimes[pass * atOnce + r];
      settings.negate = options_.negateResidues;
      settings.threads = options_.threads;
      settings.storage = setup.storage;
      settings.directory = options_.workDirectory;
      settings.bandBytes = setup.bandBytes;
      settings.pieceBytes = options_.pieceBytes;
      settings.exchange = exchange;
      SweepControl control;
      control.cancel = &cancelRequested_;
      control.done = &done_;
      control.unit = unit[pass];
      const std::optional<SavedLayer> from = std::exchange(savedLayer, std::nullopt);
      if (from) {
        for (int layer = 1; layer <= from->layer; ++layer) done_ += setup.stepWork[layer] * unit[pass];
      }
      const LayerSweep::LayerFinished finished = [&](int layer, const LayerSweep::Keep& keep) {
        if (keeping) {
          bool due =
              std::chrono::duration<double>(Clock::now() - lastKept).count() >= options_.keepEverySeconds;
          if (exchange != nullptr) due = exchange->maximum(due ? 1 : 0) != 0;
          if (due) {
            keep(options_.workDirectory + "/" + layerName(files->setup(), pass, layer));
            files->kept(pass, layer, residues, &cancelRequested_);
            lastKept = Clock::now();
          }
        }
        if (options_.layerDone) options_.layerDone(pass, layer);
      };
      LayerSweep sweep(*plan, partition, settings, control);
      std::vector<std::uint32_t> part = sweep.run(from, finished);
      diskPeak = std::max(diskPeak, sweep.diskPeakBytes());
      // Read upwards, the count ends in a single state, negated like every other.
      if (options_.negateResidues && !meet) {
        for (int r = 0; r < settings.residues; ++r) part[r] = part[r] == 0 ? 0 : settings.primes[r] - part[r];
      }
      residues.insert(residues.end(), part.begin(), part.end());
    }

    RingCount count;
    count.dice = dice_;
    count.faces = faces_;
    count.labellings = labellingCount(dice_, faces_);
    count.diskPeakBytes = diskPeak;
    const StrongestRing::Result strongest = StrongestRing(dice_, faces_).find(stop);
    if (strongest.outcome == StrongestRing::Outcome::Stopped) throw CountCancelled{};
    const bool found = strongest.outcome == StrongestRing::Outcome::Found;
    count.bestWeakestLink = found ? strongest.link : 0;
    // Rings within the loss limit exist when the strongest ring's weakest link is within it.
    const bool ringsExist = found && strongest.link >= faces_ * faces_ - plan->lossLimit();
    if (onlyPass >= 0) {
      // Of one residue, only this can be checked before the passes are joined.
      if (!ringsExist && residues.front() != 0) {
        throw std::runtime_error("pass " + std::to_string(options_.pass) + " of " + std::to_string(dice_) +
                                 "x" + std::to_string(faces_) +
                                 " failed its check: it found rings, but there is no ring of this size");
      }
      count.pass = options_.pass;
      count.ringsResidue = dividedResidue(residues.front(), dice_, Modular::kPrimes[onlyPass]);
    } else {
      const mpz_class words = Modular::combine(residues);
      checkCount(dice_, faces_, words, ringsExist);
      // Rotating the dice maps ring words onto ring words, so each first die has the same share.
      count.rings = words / dice_;
    }
    if (keeping) files->removeAll();
    {
      std::lock_guard lock(mutex_);
      result_ = count;
    }
    state_ = State::Finished;
  } catch (const CountCancelled&) {
    state_ = State::Cancelled;
  } catch (const std::exception& e) {
    {
      std::lock_guard lock(mutex_);
      error_ = e.what();
    }
    state_ = State::Failed;
  }
}

}  // namespace varno
