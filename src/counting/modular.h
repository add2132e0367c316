// Exact counts from counts modulo a few word-sized primes.
#pragma once

#include <gmpxx.h>

#include <array>
#include <cstdint>
#include <vector>

namespace varno {

// The counter adds up words modulo primes below 2^31, so that the sum of two residues still fits
// in 32 bits, and joins the residues by the Chinese remainder theorem.
//
// Why this is exact: a count of words (dice per number) never exceeds the number of all words,
// (n*k)! / k!^n, which is n times the number of labellings. The counter uses as many primes as it
// takes for their product to exceed that bound, so the residues determine the count.
struct Modular {
  static constexpr int kMaxPrimes = 6;  // enough for 8x8, whose bound is below 2^174
  // The largest primes below 2^31.
  static constexpr std::array<std::uint32_t, kMaxPrimes> kPrimes = {2147483647u, 2147483629u, 2147483587u,
                                                                    2147483579u, 2147483563u, 2147483549u};

  // (n*k)! / k!^n: every word count of this size is at most this.
  static mpz_class wordBound(int dice, int faces);
  // (n*k)! / (k!^n * n), the number of labellings with the number 1 on the first die.
  static mpz_class labellings(int dice, int faces);
  // The fewest primes of kPrimes whose product exceeds wordBound.
  static int primesNeeded(int dice, int faces);
  // The number below the product of the first residues.size() primes with these residues.
  static mpz_class combine(const std::vector<std::uint32_t>& residues);

  static std::uint32_t add(std::uint32_t a, std::uint32_t b, std::uint32_t prime) {
    const std::uint32_t sum = a + b;
    return sum >= prime ? sum - prime : sum;
  }
};

namespace modular_detail {
constexpr bool isPrime(std::uint32_t value) {
  if (value < 2) return false;
  for (std::uint32_t d = 2; d * d <= value; ++d)
    if (value % d == 0) return false;
  return true;
}
constexpr bool primesAreDistinctPrimesBelow2To31() {
  for (std::size_t i = 0; i < Modular::kPrimes.size(); ++i) {
    if (!isPrime(Modular::kPrimes[i]) || Modular::kPrimes[i] >= (1u << 31)) return false;
    if (i > 0 && Modular::kPrimes[i] >= Modular::kPrimes[i - 1]) return false;
  }
  return true;
}
static_assert(primesAreDistinctPrimesBelow2To31());
}  // namespace modular_detail

}  // namespace varno
