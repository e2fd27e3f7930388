// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

// The program's single random stream. Every draw of a run comes from here, in the order the
// rules make them, so that a seed reproduces a run exactly on any host: a 32-bit linear
// congruential generator yielding 0..32767 whatever the C runtime's own rand() range is.
extern uint32_t random_state;

inline void random_seed(uint32_t seed) {
  random_state = seed;
}

inline int random_draw() {
  random_state = random_state * 1103515245u + 12345u;
  return static_cast<int>((random_state >> 16) & 0x7FFF);
}

// u = r / 32767 in single precision: exactly 1 when r = 32767.
inline float unit_of(int r) {
  return static_cast<float>(r) / 32767.0f;
}
inline float unit_draw() {
  return unit_of(random_draw());
}

// 0..100, 100 only when r = 32767.
inline int percent_draw() {
  return static_cast<int>(static_cast<double>(unit_draw()) * 100.0);
}

// Not truncated: 0.0 .. 100.0.
inline double real_percent_draw() {
  return static_cast<double>(unit_draw()) * 100.0;
}

// A coordinate on a square of the given side. A unit draw of exactly 1 would land one past the
// far edge; it is kept on the edge instead.
inline int position_draw(int side) {
  int v = static_cast<int>(static_cast<float>(side) * unit_draw());
  return v == side ? side - 1 : v;
}
