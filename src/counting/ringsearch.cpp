#include "counting/ringsearch.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>

#include "counting/completioncheck.h"
#include "rules/ringrules.h"

namespace varno {

namespace {

constexpr int kMaxNumbers = 64;
constexpr std::uint64_t kPollWork = 50000;    // work between two stop checks, about half a millisecond
constexpr std::uint64_t kLookInterval = 128;  // placements between two looks along the path
// The cost of a placement, in the units of CompletionCheck::lastWork().
constexpr std::uint64_t kPlacementWork = 4;
constexpr std::uint64_t kNodeBudget = 1 << 15;  // states per reading in the first check of a position
constexpr std::uint64_t kMaxBudget = 1 << 21;   // states per reading in any check
constexpr std::uint64_t kRecheckFactor = 4;  // work below an undecided position, in checks, before the next
constexpr int kNoDeadNode = 1 << 20;

// Sets of numbers 1..64 as bit masks: number x is bit x-1. The mask keeps the shift defined for
// every int; callers pass 1..64.
std::uint64_t bitOf(int x) {
  return std::uint64_t{1} << (static_cast<unsigned>(x - 1) & 63u);
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
      : n_(dice),
        k_(faces),
        size_(dice * faces),
        bound_(bound),
        forward_(forward),
        stop_(stop),
        check_(dice, faces),
        dueFirst_(check_.quickWork()) {
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
  // A candidate that passes the quick bounds is searched at once. Once its subtree has cost about as
  // much as an exact check (CompletionCheck), it is checked; most partial labellings without rings are
  // refuted within a small budget, most others are settled by the check's quick search for a
  // completion. One that stays undecided is checked again with larger budgets while its subtree keeps
  // the search busy (see checkPath).
  bool visit(int p, bool tight) {
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

    std::uint64_t earned = 0;  // work below the earlier candidates, less what checks ahead of them cost
    for (int x = forward_ ? low : high; x >= low && x <= high; x += step) {
      const std::uint64_t bit = bitOf(x);
      if ((unused_ & bit) == 0) continue;
      if (countOf(unused_ & ~numbersBelow(x + 1)) < facesAfter) {
        if (forward_) break;  // larger numbers leave even fewer above them
        continue;
      }
      if (!tick(p)) return false;
      place(p, die, x);
      // A position on the bound's own path is checked, too: a check cannot say whether a ring lies
      // beyond the bound, but when no labelling at all extends the position, none beyond it does.
      const bool stillTight = tight && x == (*bound_)[p];
      bool worthIt = promising(die, face, x);
      Node& node = path_[p];
      node = Node{work_, dueFirst_, kNodeBudget, !checkable(p)};
      if (worthIt && !node.settled && earned >= dueFirst_) {
        // The loop has been expensive so far: check before searching.
        const auto verdict = check(p, node.budget);
        earned -= std::min(earned, check_.lastWork());
        worthIt = verdict != CompletionCheck::Verdict::Impossible && !stopped_;
        node.start = work_;
      }
      if (worthIt && visit(p + 1, stillTight)) return true;
      earned += work_ - node.start;
      unplace(die, x);
      if (stopped_) return false;
      if (deadNode_ < p) return false;  // an earlier position was found hopeless
      deadNode_ = kNoDeadNode;
    }
    return false;
  }

  // Counts a placement; polls the stop check and now and then looks along the path. False to give up
  // the current position: stopped, or a position on the path was found hopeless.
  bool tick(int p) {
    work_ += kPlacementWork;
    ++placements_;
    if (work_ >= nextPoll_) {
      nextPoll_ = work_ + kPollWork;
      if (stop_ && stop_()) {
        stopped_ = true;
        return false;
      }
    }
    if (placements_ % kLookInterval == 0 && !checkPath(p)) return false;
    return true;
  }

  // Checks a partial labelling on the path (positions before p) that is due: one whose subtree has cost
  // the search about as much as checking it would, or, after an undecided check, a few times that
  // check's cost more. The path holds completable labellings above hopeless ones, so of the due ones
  // the middle is checked, as in a binary search for the shallowest hopeless labelling. False if it
  // cannot become a ring (deadNode_ says where), or the search was stopped.
  bool checkPath(int p) {
    std::array<int, kMaxNumbers> due{};
    int count = 0;
    for (int d = 1; d < p; ++d) {
      const Node& node = path_[d];
      if (!node.settled && work_ - node.start >= node.due) due[count++] = d;
    }
    if (count == 0) return true;
    const int d = due[count / 2];
    const auto verdict = check(d, path_[d].budget);
    if (stopped_) return false;
    if (verdict == CompletionCheck::Verdict::Impossible) {
      deadNode_ = d;
      return false;
    }
    return true;
  }

  // Exact check of the partial labelling up to position p, which is on the path; notes the outcome on
  // the path. A completion settles the positions before p as well. An undecided check makes the
  // positions before p, which are less constrained, wait for at least as large a budget.
  CompletionCheck::Verdict check(int p, std::uint64_t budget) {
    const auto verdict = checkNow(p, budget);
    const std::uint64_t cost = check_.lastWork();
    work_ += cost;
    if (verdict == CompletionCheck::Verdict::Completable) {
      for (int d = 1; d <= p; ++d) path_[d].settled = true;
    } else if (verdict == CompletionCheck::Verdict::Unknown) {
      const std::uint64_t next = std::min(4 * budget, kMaxBudget);
      for (int d = p; d >= 1; --d) {
        Node& node = path_[d];
        if (node.settled) continue;
        node.budget = std::max(node.budget, next);
        node.due = std::max(node.due, work_ - node.start + kRecheckFactor * cost);
      }
      if (budget == kMaxBudget) path_[p].settled = true;
    }
    return verdict;
  }

  // Exact checks pay off while at least two dice besides the last one are open; below that the bounds
  // of promising() are as good.
  bool checkable(int p) const { return p > 0 && p / k_ <= n_ - 3; }

  // Exact check of the partial labelling up to position p.
  CompletionCheck::Verdict checkNow(int p, std::uint64_t budget) {
    const int die = p / k_;
    // Numbers on positions 0..p keep their dice; the rest may go to the dice after `die`, or to `die`
    // itself above its last face while it is not full.
    const auto later = static_cast<std::uint8_t>(((1u << n_) - 1) & ~((2u << die) - 1));
    const auto own = static_cast<std::uint8_t>(p % k_ + 1 < k_ ? 1u << die : 0u);
    CompletionCheck::AllowedDice allowed{};
    for (int number = 1; number <= size_; ++number) {
      allowed[number] = static_cast<std::uint8_t>(later | (number > value_[p] ? own : 0u));
    }
    for (int q = 0; q <= p; ++q) allowed[value_[q]] = static_cast<std::uint8_t>(1u << (q / k_));
    const auto verdict = check_.check(allowed, budget, stop_);
    if (check_.lastStopped()) stopped_ = true;
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

  bool won(int wins) const { return dieBeats(wins, k_ * k_ - wins); }  // a labelling has no ties

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
  CompletionCheck check_;

  std::uint64_t unused_ = 0;
  std::array<std::uint64_t, kMaxDice> dice_{};  // faces placed per die
  std::array<int, kMaxDice> wins_{};            // wins of die d-1 over die d so far
  std::array<int, kMaxNumbers> value_{};

  // Per position of the current path: the work done when the search went below it, the work below it
  // at which it is checked next, the budget of that check, and whether it needs no further check
  // (decided, or too deep).
  struct Node {
    std::uint64_t start = 0;
    std::uint64_t due = 0;
    std::uint64_t budget = 0;
    bool settled = true;
  };
  std::array<Node, kMaxNumbers> path_{};

  std::uint64_t placements_ = 0;
  std::uint64_t work_ = 0;      // placements and checks, in the units of CompletionCheck::lastWork()
  std::uint64_t dueFirst_ = 0;  // work below a new position before it is checked
  std::uint64_t nextPoll_ = 0;  // work at which the stop check is asked next
  int deadNode_ = kNoDeadNode;  // position whose partial labelling was found hopeless, while unwinding
  bool stopped_ = false;
};

}  // namespace

RingSearch::RingSearch(int dice, int faces) : dice_(dice), faces_(faces) {
  if (!isRingSize(dice, faces)) {
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

int RingSearch::weakestLink(const Labelling& labelling) const {
  int weakest = faces_ * faces_;
  for (int die = 0; die < dice_; ++die) {
    const int other = (die + 1) % dice_;
    weakest = std::min(weakest, pairScore(&labelling[die * faces_], &labelling[other * faces_], faces_).wins);
  }
  return weakest;
}

}  // namespace varno
