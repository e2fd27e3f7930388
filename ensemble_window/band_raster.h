// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <vector>

#include "ensemble_window/band_figures.h"

// The plot area of a panel as pixels, without the toolkit: its scales, and its bands laid over
// one another translucently, so that where two points' bands overlap both stay visible.

using Rgb = std::array<unsigned char, 3>;
// The colour of legend entry `curve`: Okabe and Ito's palette, which readers with any common
// colour-vision deficiency tell apart; yellow and black last, as thin lines on white show them
// least. Past eight entries the colours come round again with another dash (curve_dash).
Rgb curve_colour(std::size_t curve);
// 0 for a solid median line, else the length of its dashes in pixels.
int curve_dash(std::size_t curve);

// Days 0 to last_day across `width` pixels, counts 0 to top up `height` pixels.
struct PlotScale {
  int width, height;
  long long last_day;
  double top;
  double x(double day) const;   // pixel column, 0 at day 0
  double y(double count) const; // pixel row, 0 at the top
  double day(int column) const; // the day a column stands for
};

// The largest count the panel shows over its days: its bands' upper ends and its data; 1 at
// the least, so that a panel of zeros still has an axis.
double panel_top(const PanelFigures& panel, long long last_day);
// A round step (1, 2 or 5 times a power of ten) that cuts 0..range into about `parts` parts.
double tick_step(double range, int parts);

// The plot area, width x height packed RGB, on white: each curve's 5-95 band, then its 25-75
// band, mixed over what lies below at a fixed opacity. The median lines are the caller's.
std::vector<unsigned char> band_raster(const PanelFigures& panel, const PlotScale& scale);

// A curve's value on a fractional day by linear interpolation between its days; false off them.
bool band_at(const BandCurve& curve, double day, BandDay* out);
