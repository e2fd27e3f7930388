// SPDX-License-Identifier: MIT
#include "sim/random_stream.h"

uint32_t random_state = 1;
