#include "counting/modular.h"

#include <stdexcept>

#include "rules/ringrules.h"

namespace varno {

namespace {

void checkSize(int dice, int faces) {
  if (!isRingSize(dice, faces)) {
    throw std::invalid_argument("ring size out of range: dice must be 3..8 and faces 1..8");
  }
}

}  // namespace

mpz_class Modular::wordBound(int dice, int faces) {
  checkSize(dice, faces);
  // The multinomial (n*k)! / k!^n as a product of binomials C(i*k, k).
  mpz_class total = 1;
  mpz_class binomial;
  for (int i = 1; i <= dice; ++i) {
    mpz_bin_uiui(binomial.get_mpz_t(), static_cast<unsigned long>(i) * static_cast<unsigned long>(faces),
                 static_cast<unsigned long>(faces));
    total *= binomial;
  }
  return total;
}

mpz_class Modular::labellings(int dice, int faces) {
  return wordBound(dice, faces) / dice;
}

int Modular::primesNeeded(int dice, int faces) {
  const mpz_class bound = wordBound(dice, faces);
  mpz_class product = 1;
  for (int count = 1; count <= kMaxPrimes; ++count) {
    product *= kPrimes[count - 1];
    if (product > bound) return count;
  }
  throw std::logic_error("Modular: too few primes for this size");
}

mpz_class Modular::combine(const std::vector<std::uint32_t>& residues) {
  // Garner's form: x = r0 + p0 * (c1 + p1 * (c2 + ...)), built up one prime at a time.
  mpz_class value = 0;
  mpz_class modulus = 1;
  mpz_class step;
  mpz_class inverse;
  for (std::size_t i = 0; i < residues.size(); ++i) {
    const mpz_class prime = kPrimes[i];
    // value + modulus * t == residue (mod prime)
    step = (mpz_class(residues[i]) - value) % prime;
    if (step < 0) step += prime;
    mpz_invert(inverse.get_mpz_t(), mpz_class(modulus % prime).get_mpz_t(), prime.get_mpz_t());
    step = step * inverse % prime;
    value += modulus * step;
    modulus *= prime;
  }
  return value;
}

}  // namespace varno
