// The window's random generator: uniform numbers in [0, 1), seeded from the time of day at start.
#pragma once

#include <cstdint>
#include <random>

namespace varno {

class Random {
 public:
  explicit Random(std::uint64_t seed = 0) : engine_(seed) {}
  void seed(std::uint64_t seed) { engine_.seed(seed); }
  // 53 random bits, the same on every platform for the same seed.
  double next() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

 private:
  std::mt19937_64 engine_;
};

}  // namespace varno
