// Ring counts of the first counter, which kept an exact 128-bit count and a best-link byte per state and
// read every number upwards: the rings "rechtsrum" with the 1 on the first die, and the best weakest link.
#pragma once

#include <vector>

namespace varno::testing {

struct KnownCount {
  int dice = 0;
  int faces = 0;
  const char* rings = "";
  int bestWeakestLink = 0;
};

// Every size that such a count settles within a second with sanitizers.
inline const std::vector<KnownCount>& knownCounts() {
  static const std::vector<KnownCount> counts = {
      {3, 1, "0", 0},
      {3, 2, "0", 0},
      {3, 3, "5", 5},
      {3, 4, "13", 9},
      {3, 5, "1732", 15},
      {3, 6, "10705", 21},
      {3, 7, "697733", 29},
      {3, 8, "6539451", 39},
      {4, 2, "0", 0},
      {4, 3, "170", 5},
      {4, 4, "2269", 10},
      {4, 5, "3492361", 16},
      {4, 6, "134985290", 24},
      {4, 7, "92842921949", 31},
      {4, 8, "6011946356029", 40},
      {5, 3, "11881", 5},
      {5, 4, "840740", 10},
      {5, 5, "25515130947", 16},
      {5, 6, "7071970259337", 24},
      {6, 3, "1625280", 5},
      {6, 4, "761601189", 10},
      {6, 5, "543674787973460", 16},
      {7, 3, "377851066", 5},
      {7, 4, "1448807481956", 10},
      {8, 1, "0", 0},
      {8, 3, "136237769482", 5},
      {8, 4, "4899523892162744", 10},
  };
  return counts;
}

}  // namespace varno::testing
