// SPDX-License-Identifier: MIT
#pragma once
#include <climits>
#include <cmath>

// Truncation toward zero into an int, as a cast would do, but defined for every double: a
// schedule value or a ramp can be typed far outside the int range.
inline int trunc_to_int(double v) {
  if (std::isnan(v))
    return 0;
  if (v >= static_cast<double>(INT_MAX))
    return INT_MAX;
  if (v <= static_cast<double>(INT_MIN))
    return INT_MIN;
  return static_cast<int>(v);
}
