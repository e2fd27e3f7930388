#pragma once
#include <cstdint>
#include <functional>

#include "sim/random_stream.h"

// Steering the random stream from tests: the state that makes the next draw a given value,
// or a seed under which the next draws satisfy a condition.
inline uint32_t lcg_inverse_multiplier() {
  uint32_t inv = 1;
  for (int i = 0; i < 5; ++i) // Newton's iteration doubles the correct low bits each time
    inv *= 2u - 1103515245u * inv;
  return inv;
}

inline void prime_next_draw(int r) {
  const uint32_t next = static_cast<uint32_t>(r) << 16;
  random_state = (next - 12345u) * lcg_inverse_multiplier();
}

// Seeds the stream so that the next `count` draws satisfy `accept`.
inline void prime_draws(int count, const std::function<bool(const int*)>& accept) {
  int draws[8];
  for (uint32_t seed = 1;; ++seed) {
    random_seed(seed);
    for (int i = 0; i < count; ++i)
      draws[i] = random_draw();
    if (accept(draws)) {
      random_seed(seed);
      return;
    }
  }
}
