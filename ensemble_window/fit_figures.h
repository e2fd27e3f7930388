// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "ensemble_window/band_figures.h"
#include "fit/fit_bands.h"

// A fit's folder as the window shows it: fit.csv's bands of the best parameters' runs, one panel
// per fitted series, with the data as points.

// fit.csv's text, read by the fit's own reader (fit/fit_bands.h), as the window's figures. False
// with "LINE: REASON" in *error on anything the fit does not write.
bool read_fit_csv(const std::string& text, BandFigures* figures, std::string* error);
