// varno-count-bench: how well a count's progress predicts the time left, and how fast a count stops.
//
//   varno-count-bench [timeleft N K]... [stop N K]... [estimate]
//
// timeleft N K: counts N x K, looking at progress() every 10 ms as the window does, and prints the
// time left the window would show (elapsed / progress * (1 - progress)) when a tenth and when half of
// the work is done, next to the true time left.
// stop N K: starts counts of N x K and cancels each at another moment, from at once to near the end;
// prints how long it took from cancel() until state() was no longer Running and wait() returned.
// estimate: prints how long RingCounter::estimate takes for every size.
// Without arguments: timeleft 6 6, 5 8, 6 7, 8 5, 7 6; stop 6 6, 5 8, 7 6; estimate.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "counting/ringcounter.h"
#include "counting/storage.h"

namespace {

using Clock = std::chrono::steady_clock;
using varno::RingCounter;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void timeLeft(int dice, int faces) {
  varno::Arena::finishReleases();
  RingCounter counter(dice, faces);
  const auto start = Clock::now();
  counter.start();
  // (share of the work, seconds) where the window's estimate is taken.
  std::vector<std::pair<double, double>> marks = {{0.1, -1}, {0.5, -1}};
  std::vector<double> estimates(marks.size(), 0);
  while (counter.state() == RingCounter::State::Running) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const double share = counter.progress();
    const double elapsed = secondsSince(start);
    for (std::size_t i = 0; i < marks.size(); ++i) {
      if (marks[i].second < 0 && share >= marks[i].first) {
        marks[i].second = elapsed;
        estimates[i] = elapsed / share * (1 - share);
      }
    }
  }
  counter.wait();
  const double total = secondsSince(start);
  std::printf("timeleft %dx%d  total %7.2f s", dice, faces, total);
  for (std::size_t i = 0; i < marks.size(); ++i) {
    const double trueLeft = total - marks[i].second;
    std::printf("  | at %2.0f %% (%6.2f s): shown %7.2f s, true %7.2f s, ratio %.2f", 100 * marks[i].first,
                marks[i].second, estimates[i], trueLeft, trueLeft > 0 ? estimates[i] / trueLeft : 0.0);
  }
  std::printf("\n");
}

void stopLatency(int dice, int faces) {
  // How long the whole count takes, then cancels spread over that time.
  varno::Arena::finishReleases();
  const auto start = Clock::now();
  RingCounter(dice, faces).run();
  const double total = secondsSince(start);
  std::printf("stop %dx%d (a whole count takes %.2f s):", dice, faces, total);
  double worst = 0;
  for (const double share :
       {0.0, 0.001, 0.01, 0.05, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 0.95, 0.99}) {
    varno::Arena::finishReleases();
    RingCounter counter(dice, faces);
    const auto begun = Clock::now();
    counter.start();
    std::this_thread::sleep_until(begun + std::chrono::duration<double>(share * total));
    const auto asked = Clock::now();
    counter.cancel();
    while (counter.state() == RingCounter::State::Running) std::this_thread::yield();
    const double stopped = secondsSince(asked);
    counter.wait();
    const double waited = secondsSince(asked);
    worst = std::max(worst, waited);
    std::printf(" %.0f%%:%.0f/%.0fms", 100 * share, 1000 * stopped, 1000 * waited);
  }
  std::printf("  worst %.0f ms\n", 1000 * worst);
}

void estimates() {
  double worst = 0;
  std::string at;
  for (int dice = 3; dice <= 8; ++dice) {
    for (int faces = 1; faces <= 8; ++faces) {
      const auto start = Clock::now();
      RingCounter::estimate(dice, faces);
      const double seconds = secondsSince(start);
      if (seconds > worst) {
        worst = seconds;
        at = std::to_string(dice) + "x" + std::to_string(faces);
      }
    }
  }
  std::printf("estimate: slowest %s in %.1f ms\n", at.c_str(), 1000 * worst);
}

int number(std::string_view text) {
  int value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  if (args.empty()) {
    args = {"timeleft", "6", "6", "timeleft", "5", "8", "timeleft", "6", "7",
            "timeleft", "8", "5", "timeleft", "7", "6", "stop",     "6", "6",
            "stop",     "5", "8", "stop",     "7", "6", "estimate"};
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "estimate") {
      estimates();
    } else if ((args[i] == "timeleft" || args[i] == "stop") && i + 2 < args.size()) {
      const int dice = number(args[i + 1]);
      const int faces = number(args[i + 2]);
      if (args[i] == "timeleft") {
        timeLeft(dice, faces);
      } else {
        stopLatency(dice, faces);
      }
      i += 2;
    } else {
      std::fprintf(stderr, "usage: varno-count-bench [timeleft N K]... [stop N K]... [estimate]\n");
      return 2;
    }
    std::fflush(stdout);
  }
  return 0;
}
