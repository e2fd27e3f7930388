// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "ensemble_window/band_figures.h"

// A fit's folder as the window shows it: fit.csv's bands of the best parameters' runs, one panel
// per fitted series, with the data as points.

// The most bytes of fit.csv read: years of daily rows of every series.
constexpr std::size_t kFitCsvBytes = std::size_t{16} << 20;

// fit.csv's text: "day" then, per fitted series S (a daily CSV column, none twice),
// "S_data,S_mean,S_p5,S_p25,S_median,S_p75,S_p95"; one row per day, days ascending, S_data
// empty where the data has no value, and S's other cells all empty where no run counts, else
// numbers, each as shortest_text writes it. False with "LINE: REASON"
// in *error on anything else.
bool read_fit_csv(const std::string& text, BandFigures* figures, std::string* error);
