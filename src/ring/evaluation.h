// The evaluation of the ring after every change: sums, winning fractions and probabilities, ties,
// Max(P) and Min(P), the verdict, and the hit counter.
#pragma once

#include <string>

namespace varno {

class Form;

// Evaluates the current ring and writes the results into the display fields.
void RingAuswerten(Form& form);

// The text of a counter advanced by one: its value read by the leading-number rule and rounded, plus one,
// as plain digits. Counting goes on past 2147483647 and stops at 2^53 - 1, the largest whole number that
// the counter's text can be read back exactly as.
std::string advancedCounter(const std::string& text);

// The verdicts.
inline constexpr const char* kRechtsrum = " ja, rechtsrum";
inline constexpr const char* kLinksrum = " ja, linksrum";
inline constexpr const char* kNein = " nein";

}  // namespace varno
