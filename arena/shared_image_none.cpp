// SPDX-License-Identifier: MIT
#include "arena/shared_image.h"

// Built where the X11 shared-memory extension is not available: the painter then draws through
// the toolkit alone.
std::unique_ptr<SharedImage> make_shared_image(int, int) {
  return nullptr;
}
