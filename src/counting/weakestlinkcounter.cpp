#include "counting/weakestlinkcounter.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "counting/strongestring.h"
#include "rules/ringrules.h"

namespace varno {

namespace {

struct Stopped {};

// The count of the rings whose weakest link is at least `link`.
RingCounterOptions atLeast(RingCounterOptions options, int faces, int link) {
  options.lossLimit = faces * faces - link;
  options.keepEverySeconds = -1;
  options.resume = false;
  return options;
}

int leastLinkOf(int faces) {
  return faces * faces - lossLimit(faces);
}

// The best weakest link of a size, 0 without rings; throws Stopped.
int bestLinkOf(int dice, int faces, const std::function<bool()>& stop) {
  const StrongestRing::Result strongest = StrongestRing(dice, faces).find(stop);
  if (strongest.outcome == StrongestRing::Outcome::Stopped) throw Stopped{};
  return strongest.outcome == StrongestRing::Outcome::Found ? strongest.link : 0;
}

}  // namespace

mpz_class Spectrum::total() const {
  mpz_class sum = 0;
  for (const mpz_class& count : rings) sum += count;
  return sum;
}

SpectrumCounter::SpectrumCounter(int dice, int faces, RingCounterOptions options)
    : dice_(dice), faces_(faces), options_(std::move(options)) {
  options_.lossLimit = -1;
  // Refuses what a count refuses.
  const RingCounter check(dice, faces, atLeast(options_, faces, leastLinkOf(faces)));
}

SpectrumCounter::~SpectrumCounter() {
  cancel();
  wait();
}

void SpectrumCounter::start() {
  State expected = State::Ready;
  if (!state_.compare_exchange_strong(expected, State::Running)) {
    throw std::logic_error("SpectrumCounter::start: already started");
  }
  worker_ = std::thread(&SpectrumCounter::work, this);
}

void SpectrumCounter::cancel() {
  cancelRequested_ = true;
  std::lock_guard lock(mutex_);
  if (current_ != nullptr) current_->cancel();
}

void SpectrumCounter::wait() {
  if (worker_.joinable()) worker_.join();
}

double SpectrumCounter::progress() const {
  if (state_ == State::Finished) return 1.0;
  std::lock_guard lock(mutex_);
  const double running = current_ != nullptr ? currentWeight_ * current_->progress() : 0.0;
  return std::min(1.0, doneWeight_ + running);
}

std::optional<Spectrum> SpectrumCounter::result() const {
  std::lock_guard lock(mutex_);
  return result_;
}

std::string SpectrumCounter::errorMessage() const {
  std::lock_guard lock(mutex_);
  return error_;
}

Spectrum SpectrumCounter::run() {
  start();
  wait();
  if (state_ == State::Finished) return *result();
  if (state_ == State::Cancelled) throw std::runtime_error("count cancelled");
  throw std::runtime_error(errorMessage());
}

std::optional<RingCounter::Estimate> SpectrumCounter::estimate(int dice, int faces,
                                                               const RingCounterOptions& options,
                                                               const std::function<bool()>& stop) {
  try {
    const int least = leastLinkOf(faces);
    // The ring count needs the most memory and disk of all.
    std::optional<RingCounter::Estimate> whole =
        RingCounter::estimateFor(dice, faces, 1, 0, atLeast(options, faces, least), stop);
    if (!whole || !whole->fits) return whole;
    const int best = bestLinkOf(dice, faces, stop);
    const RingCounter::Estimate ringCount = *whole;
    whole->work = 0;
    whole->seconds = 0;
    for (int link = least; link <= best; ++link) {
      const std::optional<RingCounter::Estimate> part =
          link == least ? ringCount
                        : RingCounter::estimateFor(dice, faces, 1, 0, atLeast(options, faces, link), stop);
      if (!part) return std::nullopt;
      whole->work += part->work;
      whole->seconds += part->seconds;
    }
    return whole;
  } catch (const Stopped&) {
    return std::nullopt;
  }
}

void SpectrumCounter::work() {
  try {
    auto stop = [this] { return cancelRequested_.load(); };
    Spectrum spectrum;
    spectrum.dice = dice_;
    spectrum.faces = faces_;
    spectrum.leastLink = leastLinkOf(faces_);
    spectrum.bestWeakestLink = bestLinkOf(dice_, faces_, stop);
    const int least = spectrum.leastLink;
    const int best = spectrum.bestWeakestLink;
    // Each count's share of the time, from the work its plan foresees (in memory, where it is quick to
    // foresee; on disk the shares are much the same).
    std::vector<double> weights;
    for (int link = least; link <= best; ++link) {
      RingCounterOptions quick = atLeast(options_, faces_, link);
      quick.workDirectory.clear();
      quick.method = CountMethod::Automatic;
      const auto estimate = RingCounter::estimateFor(dice_, faces_, 1, 0, quick, stop);
      if (!estimate) throw Stopped{};
      weights.push_back(std::max(1e-9, estimate->seconds));
    }
    double sum = 0;
    for (double weight : weights) sum += weight;
    for (double& weight : weights) weight /= sum;

    // The rings whose weakest link is at least `link`, from the ring count up.
    std::vector<mpz_class> counts;
    for (int link = least; link <= best; ++link) {
      RingCounter counter(dice_, faces_, atLeast(options_, faces_, link));
      {
        std::lock_guard lock(mutex_);
        current_ = &counter;
        currentWeight_ = weights[link - least];
      }
      if (cancelRequested_) counter.cancel();
      counter.start();
      counter.wait();
      {
        std::lock_guard lock(mutex_);
        current_ = nullptr;
        doneWeight_ += currentWeight_;
      }
      if (counter.state() == State::Cancelled) throw Stopped{};
      if (counter.state() != State::Finished) throw std::runtime_error(counter.errorMessage());
      counts.push_back(counter.result()->rings);
    }
    // No ring reaches one more than the best link.
    counts.emplace_back(0);
    for (std::size_t i = 0; i + 1 < counts.size(); ++i) {
      if (counts[i] < counts[i + 1] || (i + 2 == counts.size() && counts[i] == 0)) {
        throw std::runtime_error("the counts of " + std::to_string(dice_) + "x" + std::to_string(faces_) +
                                 " by weakest link contradict each other");
      }
      spectrum.rings.push_back(counts[i] - counts[i + 1]);
    }
    {
      std::lock_guard lock(mutex_);
      result_ = std::move(spectrum);
    }
    state_ = State::Finished;
  } catch (const Stopped&) {
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
