// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

#include "ensemble/workers.h"
#include "fileio/file_set.h"

// fit.png, 1600 x 1200, drawn by gnuplot from fit.csv (already written into `set`) through
// fit.gp, which it leaves beside it: one panel per fitted series, titled by `names` in fit.csv's
// order, the data as points over the median of the best point's fresh runs and their 25-75 and
// 5-95 % bands, by data day. `heading` is the plot's title. False with a one-line reason, or on a
// stop signal (children->stop_signal()).
bool write_fit_plot(FileSet* set, Workers* children, const std::vector<std::string>& names,
                    const std::string& heading, std::string* error);
