#pragma once

#include <functional>
#include <vector>

namespace varno {

// A labelling as Belegung(1..n*k), stored at index 0..n*k-1: position p belongs to die p div k, and
// each die's faces are ascending.
using Labelling = std::vector<int>;

// Finds rings one at a time in the order of the labelling loop: lexicographic in Belegung(1),
// Belegung(2), ..., i.e. by the first die's face set, then the second die's, and so on.
//
// The search fills the dice one after another with ascending faces and cuts off a partial labelling as
// soon as a pair between a filled die and its neighbour is lost, or a bound shows that it can no longer
// be won (a die against a die still to be filled is bounded by the best faces left for it). While two
// or more dice besides the last one are open, every partial labelling that passes these bounds is also
// checked exactly (CompletionCheck) within a small budget, and again with larger budgets if its subtree
// takes long; so the search rarely enters a subtree without rings. Calls are independent: one object
// may serve several threads.
class RingSearch {
 public:
  enum class Outcome {
    Found,    // labelling holds the ring
    None,     // there is no ring in the requested direction
    Stopped,  // the stop check asked to give up
  };
  struct Result {
    Outcome outcome = Outcome::None;
    Labelling labelling;
  };
  // Polled every few milliseconds of work or more often; true stops the search.
  using StopCheck = std::function<bool()>;

  // Throws std::invalid_argument for sizes outside 3..8 dice and 1..8 faces.
  RingSearch(int dice, int faces);

  int dice() const { return dice_; }
  int faces() const { return faces_; }

  Result first(const StopCheck& stop = {}) const;
  Result last(const StopCheck& stop = {}) const;
  // The first ring strictly after `after`, which must be a labelling of this size (not necessarily a ring).
  Result next(const Labelling& after, const StopCheck& stop = {}) const;
  // The last ring strictly before `before`.
  Result previous(const Labelling& before, const StopCheck& stop = {}) const;

  // Whether `labelling` is a labelling of this size: each number once, 1 first, faces ascending.
  bool isLabelling(const Labelling& labelling) const;
  // Smallest win count over all pairs of a die and its successor (die n-1's successor is die 0).
  int weakestLink(const Labelling& labelling) const;

 private:
  Result search(const Labelling* bound, bool forward, const StopCheck& stop) const;

  int dice_;
  int faces_;
};

}  // namespace varno
