// The evaluation of the ring after every change: sums, winning fractions and probabilities, ties,
// Max(P) and Min(P), the verdict, and the hit counter.
#pragma once

#include <array>

#include "rules/ringrules.h"

namespace varno {

class Form;
struct Ring;

// The verdicts.
inline constexpr const char* kRechtsrum = " ja, rechtsrum";
inline constexpr const char* kLinksrum = " ja, linksrum";
inline constexpr const char* kNein = " nein";

// What the evaluation finds for a ring, before anything is written.
struct Evaluation {
  std::array<PairScore, kMaxDice> pairs{};  // die i against die i+1, the last die against the first
  int max = 0;                              // the most wins of a pair
  int min = 0;                              // the fewest wins of a pair
  // " ja, rechtsrum" when every die beats the next, " ja, linksrum" when every die is beaten by the next,
  // " nein" otherwise.
  const char* verdict = kNein;
};

Evaluation evaluate(const Ring& ring);

// The winning probability of a pair cut to hundredths, computed in exactly this order in double
// precision: wins / k, / k, * 100, rounded down, / 100 (14 of 25 gives .55, 7 of 25 gives .27).
double winProbability(int wins, int k);

// Evaluates the ring the fields show and writes the results into the display fields: sums, ties,
// fractions and probabilities always; Max(P), Min(P), the verdict and the hit counter while evaluation
// is enabled.
void RingAuswerten(Form& form);

}  // namespace varno
