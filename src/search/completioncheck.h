#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace varno {

// Decides exactly whether a partial labelling can still be completed to a ring.
//
// The caller says, for every number 1..n*k, which dice may still receive it (one die for a number that
// is already placed). The check reads the numbers in order, like the ring counter, and keeps the set of
// reachable states: face counts per die and, per pair (i, i+1), the losses of die i that are already
// certain. Reading upwards, a face placed on die i will lose to every face die i+1 still gets; reading
// downwards, every face die i-1 still gets will lose to it. Either way a state dies once a pair's
// certain losses reach half of the k*k pairs.
//
// Consecutive calls usually differ in a few numbers only, so the layers of the previous call are kept,
// once for each reading direction, and reused up to the first number whose allowed dice changed; each
// call reads in the direction that keeps more.
class CompletionCheck {
 public:
  enum class Verdict { Completable, Impossible, Unknown };
  using StopCheck = std::function<bool()>;
  // allowed[x] for x in 1..n*k: bit d set if die d may hold the number x.
  using AllowedDice = std::array<std::uint8_t, 65>;

  // stateLimit bounds the states kept over all layers of one direction; beyond it the verdict is Unknown.
  CompletionCheck(int dice, int faces, std::size_t stateLimit = std::size_t{1} << 22);

  // Builds at most `budget` new states; Unknown when the budget or the state limit was exhausted, or
  // `stop` returned true. Layers completed so far are kept, so asking again continues where this left off.
  Verdict check(const AllowedDice& allowed, std::uint64_t budget, const StopCheck& stop = {});

  // States built by the last call.
  std::uint64_t lastStates() const { return lastStates_; }
  // States held by the layers the last call read, built now or before: after a Completable or
  // Impossible verdict, what a similar check would cost from scratch.
  std::uint64_t lastRunStates() const { return lastRunStates_; }

 private:
  enum class Direction { Upward, Downward };  // order in which the numbers are read
  using State = unsigned __int128;  // face counts (4 bits per die) | certain losses (5 bits per pair) << 32

  struct Run {
    AllowedDice allowed{};
    std::vector<std::vector<State>> layers;  // layers[i]: states after reading i numbers
    int valid = 0;                           // layers[0..valid-1] belong to `allowed`
    std::size_t stored = 0;                  // states held in valid layers
    std::vector<std::size_t> total;          // total[i]: states in layers[0..i]
  };

  // Number of reusable layers of `run` for `allowed`.
  int reusable(const Run& run, const AllowedDice& allowed, Direction direction) const;
  // Builds layers[step + 1] from layers[step]; false if stopped or over the budget.
  bool advance(Run& run, int step, Direction direction, std::uint64_t budget, const StopCheck& stop);
  void insert(State state, std::vector<State>& layer);

  int dice_;
  int faces_;
  int lossLimit_;
  std::size_t stateLimit_;
  Run upward_;
  Run downward_;
  // Empties the first `capacity` (a power of two) slots of the table and uses just those.
  void useTable(std::size_t capacity);

  std::vector<std::uint32_t> table_;  // open addressing set: 1 + index into the layer being built, 0 = empty
  std::size_t tableMask_ = 0;
  std::uint64_t lastStates_ = 0;
  std::uint64_t lastRunStates_ = 0;
};

}  // namespace varno
