#include "search/ringsearch.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>

#include "search/completioncheck.h"

namespace varno {

namespace {

constexpr int kMaxDice = 8;
constexpr int kMaxNumbers = 64;
constexpr std::uint64_t kStopInterval = 4096;      // search steps between two stop checks
constexpr std::uint64_t kCheckStatesPerStep = 32;  // work of one search step, in check states
constexpr std::uint64_t kCheckMinimum = 64;        // smallest credit worth a check
constexpr std::uint64_t kCheapCheck = 20000;       // checks this small are always worth asking
constexpr std::uint64_t kRecheckWork = 8192;       // work below a position before it is checked again
constexpr std::uint64_t kRecheckInterval = 64;     // steps between two looks along the path
constexpr int kNoDeadNode = 1 << 20;

// Sets of numbers 1..64 as bit masks: number x is bit x-1.
std::uint64_t bitOf(int x) {
  return std::uint64_t{1} << (x - 1);
}
// Numbers smaller than x, for x in 1..65.
std::uint64_t numbersBelow(int x) {
  return x > 64 ? ~std::uint64_t{0} : bitOf(x) - 1;
}
int countOf(std::uint64_t set) {
  return __builtin_popcountll(set);
}
int lowestOf(std::uint64_t set) {
  return __builtin_ctzll(set) + 1;
}
int highestOf(std::uint64_t set) {
  return 64 - __builtin_clzll(set);
}

// One depth-first search in loop order (forward) or reverse loop order, optionally restricted to
// labellings strictly after (forward) or before (reverse) a bound.
class Walk {
 public:
  Walk(int dice, int faces, const Labelling* bound, bool forward, const RingSearch::StopCheck& stop)
      : n_(dice), k_(faces), size_(dice * faces), bound_(bound), forward_(forward), stop_(stop) {
    unused_ = numbersBelow(size_ + 1);
  }

  RingSearch::Result run() {
    RingSearch::Result result;
    if (visit(0, bound_ != nullptr)) {
      result.outcome = RingSearch::Outcome::Found;
      result.labelling.assign(value_.begin(), value_.begin() + size_);
    } else {
      result.outcome = stopped_ ? RingSearch::Outcome::Stopped : RingSearch::Outcome::None;
    }
    return result;
  }

 private:
  // Tries every number for position p in search order; `tight` while the positions before p equal the bound.
  //
  // Exact checks (CompletionCheck) are paid from credits that grow with the search steps taken, so
  // they cost at most a fixed multiple of the plain search, and they take over where the bounds leave
  // large subtrees without rings. A candidate is checked before the search descends into it once the
  // earlier candidates of its loop have earned enough; a partial labelling whose subtree keeps the
  // search busy is checked again now and then with a doubled budget. A check that runs out of budget
  // keeps the states it built and carries on from there the next time.
  bool visit(int p, bool tight) {
    work_ += kCheckStatesPerStep;
    if ((++steps_ % kStopInterval) == 0 && stop_ && stop_()) {
      stopped_ = true;
      return false;
    }
    if (steps_ % kRecheckInterval == 0 && !recheckPath(p)) return false;
    const int die = p / k_;
    const int face = p % k_;
    if (die == n_ - 1) return finish(tight);

    int low = 1;
    int high = size_;
    if (p == 0) {
      high = 1;  // the number 1 sits on the first die
    } else if (face > 0) {
      low = value_[p - 1] + 1;
    }
    if (tight) (forward_ ? low : high) = (*bound_)[p];
    const int facesAfter = k_ - 1 - face;
    const int step = forward_ ? 1 : -1;

    const std::uint64_t loopStart = work_;
    std::uint64_t loopCheckStates = 0;  // states built by the checks of this loop's candidates
    for (int x = forward_ ? low : high; x >= low && x <= high; x += step) {
      const std::uint64_t bit = bitOf(x);
      if ((unused_ & bit) == 0) continue;
      if (countOf(unused_ & ~numbersBelow(x + 1)) < facesAfter) {
        if (forward_) break;  // larger numbers leave even fewer above them
        continue;
      }
      place(p, die, x);
      // On the bound's own path the search below knows better whether anything lies beyond the bound.
      const bool stillTight = tight && x == (*bound_)[p];
      bool worthIt = promising(die, face, x);
      const Budget budget = checkBudget(p, creditFor(work_ - loopStart, loopCheckStates));
      if (worthIt && !stillTight && budget.states != 0) {
        worthIt = check(p, budget, loopCheckStates) != CompletionCheck::Verdict::Impossible;
      }
      if (worthIt && !stopped_) {
        nodeStart_[p] = work_;
        nodeRecheckAt_[p] = kRecheckWork;
        nodeCheckStates_[p] = 0;
        if (visit(p + 1, stillTight)) return true;
      }
      unplace(die, x);
      if (stopped_) return false;
      if (deadNode_ < p) return false;  // an earlier position was found hopeless
      deadNode_ = kNoDeadNode;
    }
    return false;
  }

  // Where checks are known to be cheap they are part of the plain search: they get a few times their
  // usual size and count as work themselves. Elsewhere a check lives on the credit of the work below
  // it, and its own states do not earn credit for others, so that checks above checks cannot pile up.
  struct Budget {
    std::uint64_t states = 0;  // 0: not worth asking
    bool cheap = false;
  };
  Budget checkBudget(int p, std::uint64_t credit) const {
    if (p / k_ > n_ - 3 || p == 0) return {};
    if (typicalCost_[p] != 0 && typicalCost_[p] <= kCheapCheck) {
      return {std::max(credit, 4 * typicalCost_[p]), true};
    }
    return {credit >= kCheckMinimum ? credit : 0, false};
  }

  // Work done below a point of the search, less what its own checks used.
  static std::uint64_t creditFor(std::uint64_t work, std::uint64_t spent) {
    return work > spent ? work - spent : 0;
  }

  // Checks again the partial labellings on the current path (positions before p) whose subtrees have
  // taken long, shallowest first. False if one of them cannot become a ring (deadNode_ says which) or
  // the search was stopped.
  bool recheckPath(int p) {
    for (int d = 1; d < p; ++d) {
      const std::uint64_t spent = work_ - nodeStart_[d];
      if (spent <= nodeRecheckAt_[d]) continue;
      nodeRecheckAt_[d] *= 2;
      const Budget budget = checkBudget(d, creditFor(spent, nodeCheckStates_[d]));
      if (budget.states == 0) continue;
      const auto verdict = check(d, budget, nodeCheckStates_[d]);
      if (stopped_) return false;
      if (verdict == CompletionCheck::Verdict::Impossible) {
        deadNode_ = d;
        return false;
      }
    }
    return true;
  }

  // Exact check of the partial labelling up to position p; the states it builds are added to `used`.
  // Only asked while at least two dice besides the last one are open; elsewhere the bounds are as good.
  CompletionCheck::Verdict check(int p, Budget budget, std::uint64_t& used) {
    const int die = p / k_;
    if (die > n_ - 3 || p == 0) return CompletionCheck::Verdict::Unknown;
    // Numbers on positions 0..p keep their dice; the rest may go to the dice after `die`, or to `die`
    // itself above its last face while it is not full.
    const auto later = static_cast<std::uint8_t>(((1u << n_) - 1) & ~((2u << die) - 1));
    const auto own = static_cast<std::uint8_t>(p % k_ + 1 < k_ ? 1u << die : 0u);
    CompletionCheck::AllowedDice allowed{};
    for (int number = 1; number <= size_; ++number) {
      allowed[number] = static_cast<std::uint8_t>(later | (number > value_[p] ? own : 0u));
    }
    for (int q = 0; q <= p; ++q) allowed[value_[q]] = static_cast<std::uint8_t>(1u << (q / k_));
    if (!checks_[p]) checks_[p] = std::make_unique<CompletionCheck>(n_, k_);
    const auto verdict = checks_[p]->check(allowed, budget.states, stop_);
    used += checks_[p]->lastStates();
    if (budget.cheap) work_ += checks_[p]->lastStates();
    typicalCost_[p] = std::max(typicalCost_[p], checks_[p]->lastRunStates());
    if (verdict == CompletionCheck::Verdict::Unknown && stop_ && stop_()) stopped_ = true;
    return verdict;
  }

  // The last die takes the numbers left over; the pairs it closes were checked with the die before it.
  bool finish(bool tight) {
    if (tight) return false;  // equal to the bound, which is excluded
    int p = (n_ - 1) * k_;
    for (std::uint64_t rest = unused_; rest != 0; rest &= rest - 1) value_[p++] = lowestOf(rest);
    return true;
  }

  void place(int p, int die, int x) {
    value_[p] = x;
    unused_ &= ~bitOf(x);
    dice_[die] |= bitOf(x);
    if (die > 0) wins_[die] += countOf(dice_[die - 1] & ~numbersBelow(x + 1));
  }

  void unplace(int die, int x) {
    unused_ |= bitOf(x);
    dice_[die] &= ~bitOf(x);
    if (die > 0) wins_[die] -= countOf(dice_[die - 1] & ~numbersBelow(x + 1));
  }

  bool won(int wins) const { return 2 * wins > k_ * k_; }

  // Wins of the faces in `set` over the faces in `other`.
  static int winsOver(std::uint64_t set, std::uint64_t other) {
    int total = 0;
    for (; set != 0; set &= set - 1) total += countOf(other & numbersBelow(lowestOf(set)));
    return total;
  }

  // False when the partial labelling (x just placed as face `face` of `die`) cannot become a ring.
  bool promising(int die, int face, int x) const {
    const int facesAfter = k_ - 1 - face;
    const bool dieDone = facesAfter == 0;
    // The previous die against this one: later faces of this die are larger than x.
    if (die > 0 && !won(wins_[die] + facesAfter * countOf(dice_[die - 1] & ~numbersBelow(x + 1))))
      return false;

    // This die against the next one, which will be taken from the unused numbers.
    if (die + 1 == n_ - 1 && dieDone) {
      if (!won(winsOver(dice_[die], unused_))) return false;
    } else {
      int best = facesAfter * k_;
      for (std::uint64_t set = dice_[die]; set != 0; set &= set - 1) {
        best += std::min(k_, countOf(unused_ & numbersBelow(lowestOf(set))));
      }
      if (!won(best)) return false;
    }

    // The last die against the first one.
    if (die == n_ - 2 && dieDone) return won(winsOver(unused_, dice_[0]));
    std::uint64_t top = 0;  // the k largest unused numbers: the best the last die could get
    std::uint64_t rest = unused_;
    for (int i = 0; i < k_ && rest != 0; ++i) {
      const std::uint64_t bit = bitOf(highestOf(rest));
      top |= bit;
      rest &= ~bit;
    }
    int best = winsOver(top, dice_[0]);
    if (die == 0) {
      // Later faces of the first die are at least x + 1.
      best += facesAfter * countOf(top & ~numbersBelow(x + 2));
    }
    return won(best);
  }

  const int n_;
  const int k_;
  const int size_;
  const Labelling* bound_;
  const bool forward_;
  const RingSearch::StopCheck& stop_;

  std::uint64_t unused_ = 0;
  std::array<std::uint64_t, kMaxDice> dice_{};  // faces placed per die
  std::array<int, kMaxDice> wins_{};            // wins of die d-1 over die d so far
  std::array<int, kMaxNumbers> value_{};
  std::array<std::unique_ptr<CompletionCheck>, kMaxNumbers> checks_;  // one per position, keeping its layers

  std::uint64_t steps_ = 0;
  std::uint64_t work_ = 0;  // search steps (weighted) plus states built by checks
  // Per position of the current path: steps when the search went below it, the step count of its next
  // check, and the states its checks built.
  std::array<std::uint64_t, kMaxNumbers> nodeStart_{};
  std::array<std::uint64_t, kMaxNumbers> nodeRecheckAt_{};
  std::array<std::uint64_t, kMaxNumbers> nodeCheckStates_{};
  int deadNode_ = kNoDeadNode;  // position whose partial labelling was found hopeless, while unwinding
  std::array<std::uint64_t, kMaxNumbers> typicalCost_{};  // largest check seen per position, in states
  bool stopped_ = false;
};

}  // namespace

RingSearch::RingSearch(int dice, int faces) : dice_(dice), faces_(faces) {
  if (dice < 3 || dice > kMaxDice || faces < 1 || faces > 8) {
    throw std::invalid_argument("ring size out of range: dice must be 3..8 and faces 1..8");
  }
}

RingSearch::Result RingSearch::first(const StopCheck& stop) const {
  return search(nullptr, true, stop);
}

RingSearch::Result RingSearch::last(const StopCheck& stop) const {
  return search(nullptr, false, stop);
}

RingSearch::Result RingSearch::next(const Labelling& after, const StopCheck& stop) const {
  if (!isLabelling(after)) throw std::invalid_argument("RingSearch::next: not a labelling of this size");
  return search(&after, true, stop);
}

RingSearch::Result RingSearch::previous(const Labelling& before, const StopCheck& stop) const {
  if (!isLabelling(before)) throw std::invalid_argument("RingSearch::previous: not a labelling of this size");
  return search(&before, false, stop);
}

RingSearch::Result RingSearch::search(const Labelling* bound, bool forward, const StopCheck& stop) const {
  return Walk(dice_, faces_, bound, forward, stop).run();
}

bool RingSearch::isLabelling(const Labelling& labelling) const {
  const int size = dice_ * faces_;
  if (static_cast<int>(labelling.size()) != size || labelling[0] != 1) return false;
  std::vector<bool> seen(size + 1, false);
  for (int p = 0; p < size; ++p) {
    const int x = labelling[p];
    if (x < 1 || x > size || seen[x]) return false;
    seen[x] = true;
    if (p % faces_ != 0 && x < labelling[p - 1]) return false;
  }
  return true;
}

int RingSearch::wins(const Labelling& labelling, int die) const {
  const int other = (die + 1) % dice_;
  int total = 0;
  for (int i = 0; i < faces_; ++i) {
    for (int j = 0; j < faces_; ++j) {
      if (labelling[die * faces_ + i] > labelling[other * faces_ + j]) ++total;
    }
  }
  return total;
}

bool RingSearch::isRing(const Labelling& labelling) const {
  for (int die = 0; die < dice_; ++die) {
    if (2 * wins(labelling, die) <= faces_ * faces_) return false;
  }
  return true;
}

int RingSearch::weakestLink(const Labelling& labelling) const {
  int weakest = faces_ * faces_;
  for (int die = 0; die < dice_; ++die) weakest = std::min(weakest, wins(labelling, die));
  return weakest;
}

}  // namespace varno
