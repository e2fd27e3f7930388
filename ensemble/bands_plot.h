// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ensemble/summary.h"
#include "ensemble/workers.h"
#include "fileio/file_set.h"

// The runs behind every point's bands, which the plot's title names.
struct BandsRuns {
  int per_point;
  uint32_t first_seed, last_seed;
};

// Writes bands.dat and bands.gp into `set`, whose names must include them and bands.png, and
// runs gnuplot (no shell) as one of `children` to render bands.png (1600 x 1200) there; the
// caller commits the set. labels[p] names point p by its varied values (e.g.
// "infection-rate=10"), rows[p] are its summary rows. On failure, or when a stop signal ended
// gnuplot (children->stop_signal()), returns false with a one-line reason in *error.
bool write_bands_plot(FileSet* set, Workers* children, const BandsRuns& runs,
                      const std::vector<std::string>& labels,
                      const std::vector<std::vector<SummaryRow>>& rows, std::string* error);
