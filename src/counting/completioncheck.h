#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace varno {

// Decides whether a partial labelling can still be completed to a ring.
//
// The caller says, for every number 1..n*k, which dice may still receive it (one die for a number that
// is already placed). The check reads the numbers in order, like the ring counter, and keeps the
// reachable states: face counts per die and, per pair (i, i+1), the losses of die i that are already
// certain. Reading upwards, a face placed on die i loses to every face die i+1 still gets. A state dies
// once a pair's certain losses, plus the fewest losses the numbers still unread can add to that pair
// (a bound per pair, worked out beforehand), exceed the limit.
//
// Only the best states are kept: of two states with the same face counts, one whose losses are at least
// those of the other in every pair cannot do better and is dropped. Reading downwards is the same
// problem mirrored (numbers reversed, the ring turned round), and often far smaller when the fixed
// numbers sit at the top.
//
// check() first looks for a completion along a narrow beam of the most promising states, which settles
// most completable labellings at once, then reads exactly in both directions in turn with growing
// budgets. A budget counts the states built; the work per state is bounded, so it bounds the time.
class CompletionCheck {
 public:
  enum class Verdict { Completable, Impossible, Unknown };
  enum class Reading { Upward, Downward };
  using StopCheck = std::function<bool()>;
  // allowed[x] for x in 1..n*k: bit d set if die d may hold the number x.
  using AllowedDice = std::array<std::uint8_t, 65>;

  CompletionCheck(int dice, int faces);

  // Beam search, then exact readings both ways in turn, each time with four times the budget, up to
  // `budget` states for one reading. Unknown when every reading ran out of budget, or `stop` returned
  // true.
  Verdict check(const AllowedDice& allowed, std::uint64_t budget, const StopCheck& stop = {});
  // One exact reading with at most `budget` states.
  Verdict check(const AllowedDice& allowed, Reading reading, std::uint64_t budget,
                const StopCheck& stop = {});
  // Rough cost of the last call, in units of about ten nanoseconds.
  std::uint64_t lastWork() const { return lastWork_; }
  // Rough cost of a check() that the beam settles, in the same units.
  std::uint64_t quickWork() const;
  // Whether the last call gave up because `stop` asked to.
  bool lastStopped() const { return lastStopped_; }

 private:
  // Losses per pair, 7 bits each: 6 for the count and the guard bit 64 above them, so that one
  // subtraction compares all pairs at once. A kept state has at most 31 losses in a pair, and one
  // placement adds at most 8, so a count stays below 40 and never reaches the guard.
  static constexpr int kPairBits = 7;
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  // The numbers of one reading direction, in reading order, and the bounds worked out for them.
  struct Reader {
    AllowedDice allowed{};
    bool ready = false;     // the rest belongs to `allowed`
    bool possible = false;  // false if the bounds alone rule the labelling out
    unsigned fixed = 0;     // dice that may take exactly k numbers
    // fewest[((layer * dice + pair) * (faces + 2) + a + 1) * (faces + 2) + b + 1]: the fewest losses the
    // pair (i, i+1) can still collect after `layer` numbers were read, with a faces missing on die i and
    // b on die i+1; the loss limit + 1 where it cannot be won. Row and column -1 hold that, too.
    std::vector<std::uint8_t> fewest;
  };
  // Placing the number being read on one die: the new face counts, the losses it adds, and the largest
  // losses per pair (with guard bits) that leave the state alive.
  struct Move {
    std::uint32_t counts = 0;
    std::uint64_t added = 0;
    std::uint64_t room = 0;
  };
  struct Group {  // the states of one face-count vector in a finished layer
    std::uint32_t counts = 0;
    std::uint32_t begin = 0;
    std::uint32_t size = 0;
  };
  struct Building {  // the same while its layer is built: a list of losses in the pool
    std::uint32_t counts = 0;
    std::uint32_t head = kNone;
  };
  struct Candidate {  // a state of the beam
    std::uint32_t counts = 0;
    std::uint64_t losses = 0;
    int score = 0;
  };

  void start();  // resets what the last call reports
  std::uint64_t lookaheadWork() const;
  Verdict exact(const AllowedDice& allowed, Reading reading, std::uint64_t budget, const StopCheck& stop);
  Verdict beam(const AllowedDice& allowed, Reading reading, int width);
  // The reader of a direction, set up for `allowed` (given in the order of the numbers).
  Reader& prepare(const AllowedDice& allowed, Reading reading);
  // Works out reader.fewest again for the layers below `changed`, the last number whose allowed dice
  // changed (all of them if the dice that are fixed changed); false if the labelling is ruled out.
  bool computeLookahead(Reader& reader, int changed);
  // The moves open to the states with face counts `counts` for the number read after `layer` numbers.
  int movesOf(const Reader& reader, int layer, std::uint32_t counts, std::array<Move, 8>& moves) const;
  bool fits(std::uint64_t losses, std::uint64_t room) const { return ((room - losses) & guards_) == guards_; }

  Verdict read(const Reader& reader, std::uint64_t budget, const StopCheck& stop);
  void startLayer(std::size_t expectedGroups);
  // Index in building_ of the group of a face-count vector, created if new.
  std::uint32_t groupOf(std::uint32_t counts);
  // Adds a state to a group of the layer being built unless a kept state is at least as good.
  void insert(std::uint32_t group, std::uint64_t losses);
  void finishLayer();

  int dice_;
  int faces_;
  int size_;
  int lossLimit_;
  std::uint64_t guards_ = 0;  // the guard bit of every pair

  std::array<Reader, 2> readers_;  // upward, downward

  std::vector<Group> groups_;  // the current layer
  std::vector<std::uint64_t> losses_;
  std::vector<Building> building_;    // the layer being built
  std::vector<std::uint32_t> table_;  // open addressing: 1 + index into building_, 0 = empty
  std::uint32_t tableMask_ = 0;
  std::vector<std::uint64_t> poolLosses_;
  std::vector<std::uint32_t> poolNext_;
  std::vector<Group> nextGroups_;
  std::vector<std::uint64_t> nextLosses_;
  std::vector<Candidate> beam_;
  std::vector<Candidate> candidates_;
  std::vector<std::uint64_t> seen_;  // hash set of the beam's new states

  std::uint64_t states_ = 0;  // states built by the current reading
  std::uint64_t lastWork_ = 0;
  bool lastStopped_ = false;
};

}  // namespace varno
