#include "counting/steploop.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace varno::testing {

namespace {

// Every way of filling the positions from p on, each taking the free numbers in increasing order: a die's
// first face any, its later faces only those above the face before. Every labelling complete is tested.
void fill(std::size_t p, int n, int k, std::vector<int>& labelling, std::vector<bool>& used,
          StepLoopResult& result) {
  if (p == labelling.size()) {
    ++result.labellings;
    // IstRing: every die wins more than half of its pairs; the best minimum follows the weakest link.
    const int weakest = weakestLinkOf(labelling, n, k);
    if (2 * weakest > k * k) {
      result.rings.push_back(labelling);
      result.bestMinimum = std::max(result.bestMinimum, weakest);
    }
    return;
  }
  for (int z = p % k == 0 ? 1 : labelling[p - 1] + 1; z <= n * k; ++z) {
    if (used[z]) continue;
    used[z] = true;
    labelling[p] = z;
    fill(p + 1, n, k, labelling, used, result);
    used[z] = false;
  }
}

}  // namespace

const StepLoopResult& stepLoop(int n, int k) {
  static std::map<std::pair<int, int>, StepLoopResult> results;
  auto [found, fresh] = results.try_emplace({n, k});
  if (fresh) {
    std::vector<int> labelling(n * k, 1);  // the 1 stays on the first face
    std::vector<bool> used(n * k + 1, false);
    used[1] = true;
    fill(1, n, k, labelling, used, found->second);
  }
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
