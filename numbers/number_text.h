// SPDX-License-Identifier: MIT
#pragma once
#include <string>

// Real numbers written as text, so that every file either program writes reads back exactly.

// The shortest decimal text that reads back as `v`, without an exponent wherever that fits
// ("100000", not "1e+05"); only magnitudes far beyond any count of a run take one. 0 is "0",
// whatever its sign.
std::string shortest_text(double v);

// The shortest decimal text that reads back as `v` (finite), as one types a real number: without
// an exponent from 1e-5 to below 1e17 ("20.0", "0.00002"), with one beyond ("1e-07"), and always
// with a '.' or an exponent, so that a reader never takes it for a whole number. 0 is "0.0".
std::string real_literal(double v);
