#include "search/completioncheck.h"

#include <algorithm>

namespace varno {

namespace {

constexpr int kLossShift = 32;  // certain losses sit above the face counts
constexpr int kLossBits = 5;
constexpr std::size_t kStopInterval = 1 << 16;  // states between two stop checks

// 64-bit finaliser (from MurmurHash3) over both halves, so that the low bits used as slot depend on all.
std::uint64_t mix(unsigned __int128 state) {
  std::uint64_t h =
      static_cast<std::uint64_t>(state) ^ (static_cast<std::uint64_t>(state >> 64) * 0x9E3779B97F4A7C15ULL);
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDULL;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ULL;
  h ^= h >> 33;
  return h;
}

}  // namespace

CompletionCheck::CompletionCheck(int dice, int faces, std::size_t stateLimit)
    : dice_(dice), faces_(faces), lossLimit_((faces * faces - 1) / 2), stateLimit_(stateLimit) {}

int CompletionCheck::reusable(const Run& run, const AllowedDice& allowed, Direction direction) const {
  const int size = dice_ * faces_;
  int keep = 1;
  while (keep < run.valid) {
    const int number = direction == Direction::Upward ? keep : size + 1 - keep;
    if (run.allowed[number] != allowed[number]) break;
    ++keep;
  }
  return keep;
}

CompletionCheck::Verdict CompletionCheck::check(const AllowedDice& allowed, std::uint64_t budget,
                                                const StopCheck& stop) {
  const int size = dice_ * faces_;
  for (Run* run : {&upward_, &downward_}) {
    if (run->layers.empty()) {
      run->layers.assign(size + 1, {});
      run->layers[0].assign(1, State{0});
      run->valid = 1;
      run->stored = 1;
      run->total.assign(size + 1, 0);
      run->total[0] = 1;
    }
  }
  // Read in the direction that keeps more of the states built before.
  const int upKeep = reusable(upward_, allowed, Direction::Upward);
  const int downKeep = reusable(downward_, allowed, Direction::Downward);
  const bool up = upward_.total[upKeep - 1] >= downward_.total[downKeep - 1];
  const Direction direction = up ? Direction::Upward : Direction::Downward;
  Run& run = up ? upward_ : downward_;
  const int keep = up ? upKeep : downKeep;

  for (int step = keep; step < run.valid; ++step) {
    run.stored -= run.layers[step].size();
    run.layers[step].clear();
  }
  run.valid = keep;
  // Numbers beyond the kept layers take the new allowed dice.
  for (int step = keep; step <= size; ++step) {
    const int number = direction == Direction::Upward ? step : size + 1 - step;
    run.allowed[number] = allowed[number];
  }
  if (run.layers[keep - 1].empty()) {
    lastStates_ = 0;
    lastRunStates_ = run.total[keep - 1];
    return Verdict::Impossible;
  }

  lastStates_ = 0;
  for (int step = keep - 1; step < size; ++step) {
    if (!advance(run, step, direction, budget, stop) ||
        run.stored + run.layers[step + 1].size() > stateLimit_) {
      // An incomplete layer cannot be reused.
      run.layers[step + 1].clear();
      lastRunStates_ = run.total[step];
      return Verdict::Unknown;
    }
    run.stored += run.layers[step + 1].size();
    ++run.valid;
    run.total[step + 1] = run.total[step] + run.layers[step + 1].size();
    if (run.layers[step + 1].empty()) {
      lastRunStates_ = run.total[step + 1];
      return Verdict::Impossible;
    }
  }
  lastRunStates_ = run.total[size];
  return Verdict::Completable;
}

bool CompletionCheck::advance(Run& run, int step, Direction direction, std::uint64_t budget,
                              const StopCheck& stop) {
  const int number = direction == Direction::Upward ? step + 1 : dice_ * faces_ - step;
  const std::vector<State>& current = run.layers[step];
  std::vector<State>& next = run.layers[step + 1];
  next.clear();

  // Size the table for about as many states as the current layer; insert() grows it when needed.
  std::size_t capacity = 64;
  while (capacity < 2 * current.size()) capacity *= 2;
  useTable(capacity);

  std::size_t visited = 0;
  for (const State state : current) {
    const auto counts = static_cast<std::uint32_t>(state);
    for (std::uint8_t dice = run.allowed[number]; dice != 0; dice &= dice - 1) {
      const int die = __builtin_ctz(dice);
      if (static_cast<int>((counts >> (4 * die)) & 15u) == faces_) continue;
      // Upwards the new face loses to all later faces of die+1 (pair die); downwards it beats all later
      // faces of die-1 (pair die-1).
      const int pair = direction == Direction::Upward ? die : (die + dice_ - 1) % dice_;
      const int other = direction == Direction::Upward ? (die + 1) % dice_ : pair;
      const int added = faces_ - static_cast<int>((counts >> (4 * other)) & 15u);
      const int shift = kLossShift + kLossBits * pair;
      if (static_cast<int>((state >> shift) & 31u) + added > lossLimit_) continue;
      insert(state + (State{1} << (4 * die)) + (State(added) << shift), next);
    }
    if (lastStates_ > budget) return false;
    if (++visited % kStopInterval == 0 && stop && stop()) return false;
  }
  return true;
}

void CompletionCheck::useTable(std::size_t capacity) {
  if (table_.size() < capacity) table_.resize(capacity);
  std::fill(table_.begin(), table_.begin() + static_cast<std::ptrdiff_t>(capacity), 0);
  tableMask_ = capacity - 1;
}

void CompletionCheck::insert(State state, std::vector<State>& layer) {
  for (std::size_t slot = mix(state) & tableMask_;; slot = (slot + 1) & tableMask_) {
    const std::uint32_t entry = table_[slot];
    if (entry == 0) {
      layer.push_back(state);
      table_[slot] = static_cast<std::uint32_t>(layer.size());
      ++lastStates_;
      break;
    }
    if (layer[entry - 1] == state) return;
  }
  if (2 * layer.size() <= tableMask_ + 1) return;
  // More than half full: double the table and re-enter every state of the layer.
  useTable(2 * (tableMask_ + 1));
  for (std::size_t i = 0; i < layer.size(); ++i) {
    std::size_t slot = mix(layer[i]) & tableMask_;
    while (table_[slot] != 0) slot = (slot + 1) & tableMask_;
    table_[slot] = static_cast<std::uint32_t>(i + 1);
  }
}

}  // namespace varno
