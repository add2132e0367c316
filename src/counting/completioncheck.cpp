#include "counting/completioncheck.h"

#include <algorithm>

#include "rules/ringrules.h"

namespace varno {

namespace {

constexpr std::uint64_t kStopInterval = 1 << 10;  // states looked at between two stop checks
constexpr std::uint64_t kFirstBudget = 1 << 10;   // budget of the first exact reading in check()
constexpr int kBeamWidth = 16;                    // least states kept per layer by the beam in check()
constexpr int kMaxBeamWidth = 512;                // most states kept per layer by the beam in check()
constexpr std::uint64_t kBeamShare = 1024;        // budget of an exact reading per state kept by the beam
// Rough costs in units of about ten nanoseconds, for lastWork().
constexpr std::uint64_t kStateWork = 12;     // a state of an exact reading
constexpr std::uint64_t kCandidateWork = 2;  // a state looked at by the beam

int countOf(std::uint32_t counts, int die) {
  return static_cast<int>((counts >> (4 * die)) & 15u);
}

std::uint32_t slotOf(std::uint32_t counts, std::uint32_t mask) {
  std::uint32_t h = counts;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h & mask;
}

}  // namespace

CompletionCheck::CompletionCheck(int dice, int faces)
    : dice_(dice), faces_(faces), size_(dice * faces), lossLimit_(varno::lossLimit(faces)) {
  for (int pair = 0; pair < dice_; ++pair) guards_ |= std::uint64_t{64} << (kPairBits * pair);
}

CompletionCheck::Verdict CompletionCheck::check(const AllowedDice& allowed, std::uint64_t budget,
                                                const StopCheck& stop) {
  start();
  // The beam grows with the budget, so that a partial labelling checked again gets a wider one.
  const int width =
      static_cast<int>(std::clamp<std::uint64_t>(budget / kBeamShare, kBeamWidth, kMaxBeamWidth));
  Verdict verdict = beam(allowed, Reading::Downward, width);
  for (std::uint64_t round = std::min(budget, kFirstBudget); verdict == Verdict::Unknown;
       round = round > budget / 4 ? budget : 4 * round) {
    for (const Reading reading : {Reading::Upward, Reading::Downward}) {
      verdict = exact(allowed, reading, round, stop);
      if (verdict != Verdict::Unknown || lastStopped_) return verdict;
    }
    if (round == budget) break;
  }
  return verdict;
}

CompletionCheck::Verdict CompletionCheck::check(const AllowedDice& allowed, Reading reading,
                                                std::uint64_t budget, const StopCheck& stop) {
  start();
  return exact(allowed, reading, budget, stop);
}

std::uint64_t CompletionCheck::quickWork() const {
  return lookaheadWork() + kCandidateWork * static_cast<std::uint64_t>(size_) * kBeamWidth * dice_ / 2;
}

std::uint64_t CompletionCheck::lookaheadWork() const {
  return static_cast<std::uint64_t>(dice_) * size_ * (faces_ + 2) * (faces_ + 2) / 8;
}

void CompletionCheck::start() {
  lastWork_ = 0;
  lastStopped_ = false;
}

CompletionCheck::Verdict CompletionCheck::exact(const AllowedDice& allowed, Reading reading,
                                                std::uint64_t budget, const StopCheck& stop) {
  const Reader& reader = prepare(allowed, reading);
  if (!reader.possible) return Verdict::Impossible;
  states_ = 0;
  const Verdict verdict = read(reader, budget, stop);
  lastWork_ += kStateWork * states_;
  return verdict;
}

CompletionCheck::Verdict CompletionCheck::beam(const AllowedDice& allowed, Reading reading, int width) {
  const Reader& reader = prepare(allowed, reading);
  if (!reader.possible) return Verdict::Impossible;
  // Keeps the states with the most room left over all pairs together. A small hash set of the states
  // already taken keeps the beam from filling up with copies; where two states collide, one of them is
  // lost, which costs the beam nothing but breadth.
  std::uint32_t slots = 16;
  while (slots < 4 * static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(dice_)) slots *= 2;
  if (seen_.size() < slots) seen_.assign(slots, 0);
  beam_.assign(1, Candidate{});
  std::array<Move, 8> moves;
  for (int layer = 0; layer < size_; ++layer) {
    candidates_.clear();
    std::fill(seen_.begin(), seen_.begin() + slots, 0);
    for (const Candidate& state : beam_) {
      const int count = movesOf(reader, layer, state.counts, moves);
      for (int i = 0; i < count; ++i) {
        const std::uint64_t losses = state.losses + moves[i].added;
        if (!fits(losses, moves[i].room)) continue;
        const std::uint64_t key = (losses * 0x9E3779B97F4A7C15ULL) ^ moves[i].counts ^ 1;
        std::uint32_t slot = static_cast<std::uint32_t>(key >> 40) & (slots - 1);
        while (seen_[slot] != 0 && seen_[slot] != key) slot = (slot + 1) & (slots - 1);
        if (seen_[slot] == key) continue;
        seen_[slot] = key;
        const std::uint64_t slack = moves[i].room - losses - guards_;
        int total = 0;
        for (int pair = 0; pair < dice_; ++pair)
          total += static_cast<int>((slack >> (kPairBits * pair)) & 127u);
        candidates_.push_back(Candidate{moves[i].counts, losses, total});
      }
    }
    lastWork_ += kCandidateWork * candidates_.size();
    if (candidates_.empty()) return Verdict::Unknown;
    if (static_cast<int>(candidates_.size()) > width) {
      std::nth_element(candidates_.begin(), candidates_.begin() + width, candidates_.end(),
                       [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
      candidates_.resize(width);
    }
    beam_.swap(candidates_);
  }
  return Verdict::Completable;
}

CompletionCheck::Reader& CompletionCheck::prepare(const AllowedDice& allowed, Reading reading) {
  Reader& reader = readers_[reading == Reading::Upward ? 0 : 1];
  AllowedDice ordered{};
  if (reading == Reading::Upward) {
    ordered = allowed;
  } else {
    // Reversing the numbers turns "die i beats die i+1" into "die i+1 beats die i"; numbering the dice
    // backwards (die d becomes die n-1-d) turns that back into the usual form.
    for (int number = 1; number <= size_; ++number) {
      const std::uint8_t dice = allowed[size_ + 1 - number];
      std::uint8_t turned = 0;
      for (int die = 0; die < dice_; ++die) {
        if ((dice >> die) & 1u) turned = static_cast<std::uint8_t>(turned | (1u << (dice_ - 1 - die)));
      }
      ordered[number] = turned;
    }
  }
  // The bounds after `layer` numbers depend on the numbers after it only: those up to the last changed
  // number are worked out again.
  int changed = size_;
  if (reader.ready) {
    while (changed > 0 && ordered[changed] == reader.allowed[changed]) --changed;
    if (changed == 0) return reader;
  }
  reader.allowed = ordered;
  reader.possible = computeLookahead(reader, reader.ready ? changed : size_);
  reader.ready = true;
  return reader;
}

bool CompletionCheck::computeLookahead(Reader& reader, int changed) {
  // For the pair (i, i+1), a face of die i loses to each face of die i+1 above it. Going down from the
  // top, cost[a][b] is the fewest losses among the numbers seen so far when die i takes a of them and
  // die i+1 takes b; a number may also be left to another die if one may take it. The dice of the pair
  // do not compete with the rest of the ring here, so this is a lower bound. Costs above the loss limit
  // all mean the same and are kept at the limit + 1.
  //
  // A die that may take exactly k numbers must take all of them. Between two such dice the losses are
  // known in advance: they are checked here, and the pair needs no bound.
  const AllowedDice& allowed = reader.allowed;
  const int width = faces_ + 2;
  const int cells = width * width;
  const auto closed = static_cast<std::uint8_t>(lossLimit_ + 1);
  unsigned fixed = 0;
  bool possible = true;
  for (int die = 0; die < dice_; ++die) {
    int numbers = 0;
    for (int number = 1; number <= size_; ++number) numbers += (allowed[number] >> die) & 1u;
    if (numbers < faces_) possible = false;
    if (numbers == faces_) fixed |= 1u << die;
  }
  if (fixed != reader.fixed || reader.fewest.empty()) {
    changed = size_;
    reader.fixed = fixed;
    reader.fewest.assign(static_cast<std::size_t>(size_ + 1) * dice_ * cells, 0);
  }
  lastWork_ += lookaheadWork() * changed / size_;
  for (int pair = 0; pair < dice_; ++pair) {
    const int low = pair;
    const int high = (pair + 1) % dice_;
    if (((fixed >> low) & 1u) != 0 && ((fixed >> high) & 1u) != 0) {
      int losses = 0;
      int highAbove = 0;
      for (int number = size_; number >= 1; --number) {
        if (((allowed[number] >> low) & 1u) != 0) losses += highAbove;
        highAbove += (allowed[number] >> high) & 1u;
      }
      if (losses > lossLimit_) possible = false;
      continue;  // its entries stay 0: the pair cannot be lost any more
    }
    const auto table = [&](int layer) {
      return &reader.fewest[(static_cast<std::size_t>(layer) * dice_ + pair) * cells];
    };
    if (changed == size_) {
      for (int layer = 0; layer <= size_; ++layer) {
        std::uint8_t* cell = table(layer);
        std::fill(cell, cell + width, closed);
        for (int row = 1; row < width; ++row) cell[row * width] = closed;
      }
      std::uint8_t* top = table(size_);
      for (int a = 0; a <= faces_; ++a) std::fill(&top[(a + 1) * width + 1], &top[(a + 2) * width], closed);
      top[width + 1] = 0;
    }
    for (int number = changed; number >= 1; --number) {
      const unsigned dice = allowed[number];
      // All ones where an option is not open, so that the minimum ignores it.
      const std::uint8_t notElsewhere = (dice & ~((1u << low) | (1u << high))) != 0 ? 0 : 0xFF;
      const std::uint8_t notLow = ((dice >> low) & 1u) != 0 ? 0 : 0xFF;
      const std::uint8_t notHigh = ((dice >> high) & 1u) != 0 ? 0 : 0xFF;
      const std::uint8_t* above = table(number);
      std::uint8_t* out = table(number - 1);
      for (int a = 0; a <= faces_; ++a) {
        const std::uint8_t* row = &above[(a + 1) * width + 1];
        const std::uint8_t* rowBelow = row - width;  // one face fewer on die i
        std::uint8_t* result = &out[(a + 1) * width + 1];
        for (int b = 0; b <= faces_; ++b) {
          // Die i takes the number: it loses to the b faces of die i+1 above it.
          const auto toLow = static_cast<std::uint8_t>((rowBelow[b] + b) | notLow);
          const auto toHigh = static_cast<std::uint8_t>(row[b - 1] | notHigh);
          const auto left = static_cast<std::uint8_t>(row[b] | notElsewhere);
          result[b] = std::min(std::min(std::min(left, toLow), toHigh), closed);
        }
      }
    }
  }
  // The empty state must be open in every pair.
  for (int pair = 0; pair < dice_; ++pair) {
    if (reader.fewest[pair * cells + (faces_ + 1) * width + faces_ + 1] > lossLimit_) possible = false;
  }
  return possible;
}

int CompletionCheck::movesOf(const Reader& reader, int layer, std::uint32_t counts,
                             std::array<Move, 8>& moves) const {
  const int width = faces_ + 2;
  const int cells = width * width;
  // Fewest losses the numbers after this one can still add, per pair and faces missing.
  const std::uint8_t* fewest = &reader.fewest[static_cast<std::size_t>(layer + 1) * dice_ * cells];
  const auto fewestOf = [&](int pair, int low, int high) {
    return static_cast<int>(fewest[pair * cells + (low + 1) * width + high + 1]);
  };
  std::array<int, 8> missing{};  // faces each die still lacks
  for (int die = 0; die < dice_; ++die) missing[die] = faces_ - countOf(counts, die);
  // Room per pair if the number went to no die of the pair; closed pairs have none.
  std::uint64_t room = 0;
  unsigned closed = 0;
  for (int pair = 0; pair < dice_; ++pair) {
    const int least = fewestOf(pair, missing[pair], missing[(pair + 1) % dice_]);
    if (least > lossLimit_) {
      closed |= 1u << pair;
    } else {
      room |= static_cast<std::uint64_t>(lossLimit_ - least) << (kPairBits * pair);
    }
  }
  int count = 0;
  for (unsigned dice = reader.allowed[layer + 1]; dice != 0; dice &= dice - 1) {
    const int die = __builtin_ctz(dice);
    if (missing[die] == 0) continue;
    // The number changes the pairs (die-1, die) and (die, die+1) only.
    const int before = (die + dice_ - 1) % dice_;
    const int after = (die + 1) % dice_;
    if ((closed & ~((1u << before) | (1u << die))) != 0) continue;
    const int leastBefore = fewestOf(before, missing[before], missing[die] - 1);
    const int leastOwn = fewestOf(die, missing[die] - 1, missing[after]);
    if (leastBefore > lossLimit_ || leastOwn > lossLimit_) continue;
    const std::uint64_t field = 127;
    Move& move = moves[count++];
    move.counts = counts + (1u << (4 * die));
    // The new face loses to every face the next die still gets.
    move.added = static_cast<std::uint64_t>(missing[after]) << (kPairBits * die);
    move.room = (room & ~((field << (kPairBits * before)) | (field << (kPairBits * die)))) |
                static_cast<std::uint64_t>(lossLimit_ - leastBefore) << (kPairBits * before) |
                static_cast<std::uint64_t>(lossLimit_ - leastOwn) << (kPairBits * die) | guards_;
  }
  return count;
}

CompletionCheck::Verdict CompletionCheck::read(const Reader& reader, std::uint64_t budget,
                                               const StopCheck& stop) {
  groups_.assign(1, Group{0, 0, 1});
  losses_.assign(1, 0);
  std::uint64_t looked = 0;
  std::array<Move, 8> moves;
  for (int layer = 0; layer < size_; ++layer) {
    startLayer(2 * groups_.size());
    for (const Group& group : groups_) {
      const int count = movesOf(reader, layer, group.counts, moves);
      for (int m = 0; m < count; ++m) {
        const Move& move = moves[m];
        std::uint32_t target = kNone;
        for (std::uint32_t i = group.begin; i < group.begin + group.size; ++i) {
          const std::uint64_t losses = losses_[i] + move.added;
          if (!fits(losses, move.room)) continue;
          if (target == kNone) target = groupOf(move.counts);
          insert(target, losses);
          if (states_ > budget) return Verdict::Unknown;
        }
      }
      looked += group.size;
      if (looked >= kStopInterval) {
        looked = 0;
        if (stop && stop()) {
          lastStopped_ = true;
          return Verdict::Unknown;
        }
      }
    }
    finishLayer();
    if (groups_.empty()) return Verdict::Impossible;
  }
  return Verdict::Completable;
}

void CompletionCheck::startLayer(std::size_t expectedGroups) {
  std::uint32_t capacity = 64;
  while (capacity < 2 * expectedGroups) capacity *= 2;
  if (table_.size() < capacity) table_.resize(capacity);
  std::fill(table_.begin(), table_.begin() + capacity, 0u);
  tableMask_ = capacity - 1;
  building_.clear();
  poolLosses_.clear();
  poolNext_.clear();
}

std::uint32_t CompletionCheck::groupOf(std::uint32_t counts) {
  std::uint32_t slot = slotOf(counts, tableMask_);
  while (table_[slot] != 0) {
    if (building_[table_[slot] - 1].counts == counts) return table_[slot] - 1;
    slot = (slot + 1) & tableMask_;
  }
  building_.push_back(Building{counts, kNone});
  table_[slot] = static_cast<std::uint32_t>(building_.size());
  if (2 * building_.size() > tableMask_ + 1) {
    // More than half full: double the table and enter every group again.
    const std::uint32_t capacity = 2 * (tableMask_ + 1);
    if (table_.size() < capacity) table_.resize(capacity);
    std::fill(table_.begin(), table_.begin() + capacity, 0u);
    tableMask_ = capacity - 1;
    for (std::uint32_t i = 0; i < building_.size(); ++i) {
      std::uint32_t free = slotOf(building_[i].counts, tableMask_);
      while (table_[free] != 0) free = (free + 1) & tableMask_;
      table_[free] = i + 1;
    }
  }
  return static_cast<std::uint32_t>(building_.size()) - 1;
}

void CompletionCheck::insert(std::uint32_t group, std::uint64_t losses) {
  // Kept losses are an antichain: a new state is either dominated (and dropped) or may dominate some.
  const std::uint64_t guarded = losses | guards_;
  std::uint32_t previous = kNone;
  for (std::uint32_t entry = building_[group].head; entry != kNone;) {
    const std::uint64_t kept = poolLosses_[entry];
    const std::uint32_t after = poolNext_[entry];
    if (((guarded - kept) & guards_) == guards_) return;  // kept <= losses
    if ((((kept | guards_) - losses) & guards_) == guards_) {
      (previous == kNone ? building_[group].head : poolNext_[previous]) = after;  // losses <= kept
    } else {
      previous = entry;
    }
    entry = after;
  }
  const auto entry = static_cast<std::uint32_t>(poolLosses_.size());
  poolLosses_.push_back(losses);
  poolNext_.push_back(kNone);
  (previous == kNone ? building_[group].head : poolNext_[previous]) = entry;
  ++states_;
}

void CompletionCheck::finishLayer() {
  nextGroups_.clear();
  nextLosses_.clear();
  for (const Building& building : building_) {
    const auto begin = static_cast<std::uint32_t>(nextLosses_.size());
    for (std::uint32_t entry = building.head; entry != kNone; entry = poolNext_[entry]) {
      nextLosses_.push_back(poolLosses_[entry]);
    }
    nextGroups_.push_back(
        Group{building.counts, begin, static_cast<std::uint32_t>(nextLosses_.size()) - begin});
  }
  groups_.swap(nextGroups_);
  losses_.swap(nextLosses_);
}

}  // namespace varno
