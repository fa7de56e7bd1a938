// The one random source of an engine, with the C library's srand/rand interface (0 to 32767).
#pragma once

#include <cstdint>

#include "base/limits.h"

namespace plotwright {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void srand(std::uint32_t seed) = 0;
  // Next value, 0 to 32767 inclusive.
  virtual int rand() = 0;
};

// The example generator of the C standard: one seed gives the same sequence on every
// platform and build.
class StandardRandom final : public RandomSource {
 public:
  void srand(std::uint32_t seed) override { next_ = seed; }
  int rand() override {
    next_ = next_ * 1103515245u + 12345u;
    return static_cast<int>((next_ / 65536u) % 32768u);
  }

 private:
  std::uint32_t next_ = 1;
};

// Picks one of k equal possibilities from a draw r: the whole part of r * k / 32768.
inline int scale_draw(int r, int k) {
  return static_cast<int>((static_cast<std::int64_t>(r) * k) / (kRandMax + 1));
}

}  // namespace plotwright
