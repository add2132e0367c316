#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "counting/ringsearch.h"

namespace varno {

// Finds a ring whose weakest link is the best of all rings of its size, without going through rings.
//
// "Does any ring win every pair at least L times?" is "does any ring lose every pair at most k*k - L
// times?", the counter's question with a tighter loss limit, asked as yes or no. Reading the numbers
// upwards as the counter does, a state is the face counts per die and the losses per pair so far; of two
// states with the same face counts, one with at most the other's losses in every pair can do everything
// the other can, so only the states that no other state beats (a Pareto front per count vector) are
// kept. The fronts stay small: thousands of states per layer even for 8x8. Count vectors are taken up to
// rotation, like the counter's blocks.
//
// L goes down from k*k; the first L that some ring reaches is the best weakest link, and a ring reaching
// it is read back from the kept layers: from the full state, a kept state of the layer below leads to a
// state at least as good, down to the empty word.
class StrongestRing {
 public:
  enum class Outcome {
    Found,    // ring holds a ring with the best weakest link, link
    None,     // this size has no ring at all
    Stopped,  // the stop check asked to give up
  };
  struct Result {
    Outcome outcome = Outcome::None;
    Labelling ring;
    int link = 0;              // wins of the weakest pair of `ring`, out of k*k
    std::uint64_t states = 0;  // states kept over all links tried, a measure of the work
  };
  // Polled every millisecond of work or more often; true stops the search.
  using StopCheck = std::function<bool()>;
  // Told each link before it is tried, from k*k downwards.
  using Progress = std::function<void(int link)>;

  // Throws std::invalid_argument for sizes outside 3..8 dice and 1..8 faces.
  StrongestRing(int dice, int faces);

  Result find(const StopCheck& stop = {}, const Progress& progress = {}) const;
  // A ring whose every pair wins at least `link` times, if there is one (outcome None if not).
  Result reach(int link, const StopCheck& stop = {}) const;
  // Calls are independent: one object may serve several threads.

 private:
  int dice_;
  int faces_;
};

}  // namespace varno
