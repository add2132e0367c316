// varno-search-bench: times the ring search (first, last, next) for a few sizes.

#include <charconv>
#include <chrono>
#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

#include "counting/ringsearch.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void benchmark(int dice, int faces, int steps) {
  const varno::RingSearch search(dice, faces);
  auto start = Clock::now();
  varno::RingSearch::Result current = search.first();
  const double first = secondsSince(start);

  start = Clock::now();
  const varno::RingSearch::Result last = search.last();
  const double lastSeconds = secondsSince(start);

  int visited = 0;
  double slowest = 0.0;
  start = Clock::now();
  while (current.outcome == varno::RingSearch::Outcome::Found && visited < steps) {
    const auto stepStart = Clock::now();
    current = search.next(current.labelling);
    slowest = std::max(slowest, secondsSince(stepStart));
    ++visited;
  }
  const double nextSeconds = secondsSince(start);
  std::printf("n=%d k=%d first=%.4f last=%.4f next_calls=%d next_mean=%.6f next_max=%.4f last_found=%d\n",
              dice, faces, first, lastSeconds, visited, visited > 0 ? nextSeconds / visited : 0.0, slowest,
              last.outcome == varno::RingSearch::Outcome::Found ? 1 : 0);
}

}  // namespace

int main(int argc, char** argv) {
  // Usage: varno-search-bench [N K]...   (default: the sizes of the speed list)
  std::vector<std::pair<int, int>> sizes;
  for (int i = 1; i + 1 < argc; i += 2) {
    int dice = 0;
    int faces = 0;
    const std::string_view diceText(argv[i]);
    const std::string_view facesText(argv[i + 1]);
    std::from_chars(diceText.data(), diceText.data() + diceText.size(), dice);
    std::from_chars(facesText.data(), facesText.data() + facesText.size(), faces);
    if (dice < 3 || dice > 8 || faces < 1 || faces > 8) {
      std::fprintf(stderr, "varno-search-bench: sizes must be N K with N in 3..8 and K in 1..8\n");
      return 2;
    }
    sizes.emplace_back(dice, faces);
  }
  if (sizes.empty()) {
    sizes = {{4, 4}, {3, 7}, {6, 3}, {4, 5}, {3, 8}, {5, 5}, {6, 4}, {8, 3},
             {4, 6}, {4, 7}, {7, 4}, {4, 8}, {5, 6}, {6, 5}, {8, 4}};
  }
  for (const auto& [dice, faces] : sizes) benchmark(dice, faces, 10000);
  return 0;
}
