#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ensemble/summary.h"

// The runs behind every point's bands, which the plot's title names.
struct BandsRuns {
  int per_point;
  uint32_t first_seed, last_seed;
};

// Writes DIR/bands.dat and DIR/bands.gp and runs gnuplot (no shell) to render DIR/bands.png
// (at least 1200 x 900), under a temporary name renamed when whole. labels[p] names point p by
// its varied values (e.g. "infection-rate=10"), rows[p] are its summary rows. On failure returns
// false with a one-line reason in *error.
bool write_bands_plot(const std::string& dir, const BandsRuns& runs,
                      const std::vector<std::string>& labels,
                      const std::vector<std::vector<SummaryRow>>& rows, std::string* error);
