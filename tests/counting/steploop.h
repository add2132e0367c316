// The step-by-step loop over all labellings in the program's order: each position takes the free numbers
// in turn, the 1 always first and each die's faces rising, and every complete labelling is tested for a
// ring. Slow, and kept that way on purpose: it is the reference the ring search and the window's searches
// are held against.
#pragma once

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace varno::testing {

struct StepLoopResult {
  long labellings = 0;                  // complete labellings examined
  std::vector<std::vector<int>> rings;  // Belegung(1..n*k) of every ring, in the loop's order
  int bestMinimum = 0;                  // BestesMinimum at the end
};

// Every size the loop walks through within seconds, including sizes without any ring.
inline const std::vector<std::pair<int, int>> kLoopSizes = {{3, 1}, {4, 1}, {8, 1}, {3, 2}, {4, 2},
                                                            {5, 2}, {6, 2}, {3, 3}, {3, 4}, {3, 5},
                                                            {4, 3}, {3, 6}, {4, 4}, {5, 3}};

// The result of the whole loop for n dice of k faces, run once per test program and kept.
const StepLoopResult& stepLoop(int n, int k);

// The smallest wins of a die (from 0) over its successor, over all pairs; a ring's is above k*k/2.
int weakestLinkOf(const std::vector<int>& labelling, int n, int k);

// "4x3" for four dice of three faces, for test names and traces.
std::string sizeName(int n, int k);

// A uniformly drawn labelling in the loop's form: numbers 2..n*k shuffled after the 1, each die sorted.
std::vector<int> randomLabelling(int n, int k, std::mt19937& random);

}  // namespace varno::testing
