#include "counting/steploop.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace varno::testing {

namespace {

// NächsteZahl: the next candidate number for position p, or 0.
int nextNumber(int p, int n, int k, const std::vector<int>& belegung, const std::vector<int>& vergeben) {
  if (belegung[p] == 0 && (p - 1) % k == 0) {
    int j = 1;
    while (vergeben[j] != 0) ++j;
    return j;
  }
  const int from = belegung[p] == 0 ? belegung[p - 1] + 1 : belegung[p] + 1;
  for (int j = from; j <= n * k; ++j)
    if (vergeben[j] == 0) return j;
  return 0;
}

}  // namespace

StepLoopResult runStepLoop(int n, int k) {
  StepLoopResult result;
  std::vector<int> belegung(n * k + 1, 0), vergeben(n * k + 1, 0);
  int p = 1;
  for (;;) {
    const int z = nextNumber(p, n, k, belegung, vergeben);
    if (z != 0) {
      vergeben[belegung[p]] = 0;
      belegung[p] = z;
      vergeben[z] = 1;
      ++p;
      if (p <= n * k) continue;
      const std::vector<int> labelling(belegung.begin() + 1, belegung.end());
      ++result.labellings;
      // IstRing: every die wins more than half of its pairs; the best minimum follows the weakest link.
      const int weakest = weakestLinkOf(labelling, n, k);
      if (2 * weakest > k * k) {
        result.rings.push_back(labelling);
        result.bestMinimum = std::max(result.bestMinimum, weakest);
      }
      vergeben[belegung[p - 1]] = 0;
      p = p - 1;
    } else {
      vergeben[belegung[p]] = 0;
      belegung[p] = 0;
      p = p - 1;
      if (p == 1) break;
    }
  }
  return result;
}

const StepLoopResult& stepLoop(int n, int k) {
  static std::map<std::pair<int, int>, StepLoopResult> results;
  auto found = results.find({n, k});
  if (found == results.end()) found = results.emplace(std::make_pair(n, k), runStepLoop(n, k)).first;
  return found->second;
}

int weakestLinkOf(const std::vector<int>& labelling, int n, int k) {
  int weakest = k * k;
  for (int die = 0; die < n; ++die) {
    int wins = 0;
    for (int a = 0; a < k; ++a)
      for (int b = 0; b < k; ++b) wins += labelling[die * k + a] > labelling[(die + 1) % n * k + b];
    weakest = std::min(weakest, wins);
  }
  return weakest;
}

std::vector<int> randomLabelling(int n, int k, std::mt19937& random) {
  std::vector<int> labelling(n * k);
  std::iota(labelling.begin(), labelling.end(), 1);
  std::shuffle(labelling.begin() + 1, labelling.end(), random);
  for (int die = 0; die < n; ++die) std::sort(labelling.begin() + die * k, labelling.begin() + (die + 1) * k);
  return labelling;
}

std::string sizeName(int n, int k) {
  return std::to_string(n) + "x" + std::to_string(k);
}

}  // namespace varno::testing
