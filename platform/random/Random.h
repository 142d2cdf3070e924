#pragma once
// The program's one shared pseudo-random generator.
//
// The show reseeds it "from the clock" before it draws; the transition styles
// draw from it without reseeding. Reseeding mixes a base seed with the clock
// reading, so a run with a fixed base seed and a virtual clock repeats itself
// exactly, while the real player gets a base seed from the time of day.

#include <cstdint>
#include <random>

namespace ls {

class Random {
 public:
  explicit Random(uint64_t baseSeed = 1) { SetBaseSeed(baseSeed); }

  // Sets the base seed and starts the sequence from it.
  void SetBaseSeed(uint64_t seed) {
    base_ = seed;
    engine_.seed(seed);
  }
  uint64_t BaseSeed() const { return base_; }

  // Reseeds from the clock (milliseconds of the program's clock).
  void ReseedFromClock(uint32_t tickCount) {
    engine_.seed(base_ * 0x9E3779B97F4A7C15ull + tickCount);
  }

  // A uniform integer r with 0 <= r < n; 0 when n <= 1.
  int Next(int n) {
    if (n <= 1) return 0;
    return static_cast<int>(engine_() % static_cast<uint64_t>(n));
  }

 private:
  uint64_t base_ = 1;
  std::mt19937_64 engine_;
};

// The shared generator of the program.
inline Random& SharedRandom() {
  static Random random;
  return random;
}

}  // namespace ls
