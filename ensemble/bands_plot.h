#pragma once
#include <string>
#include <vector>

#include "ensemble/summary.h"

// Writes DIR/bands.dat and DIR/bands.gp and runs gnuplot (no shell) to render DIR/bands.png
// (at least 1200 x 900), under a temporary name renamed when whole. labels[p] names point p by
// its varied values (e.g. "infection-rate=10"), rows[p] are its summary rows. On failure returns
// false with a one-line reason in *error.
bool write_bands_plot(const std::string& dir, const std::vector<std::string>& labels,
                      const std::vector<std::vector<SummaryRow>>& rows, std::string* error);
