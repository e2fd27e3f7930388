// SPDX-License-Identifier: MIT
#include "ensemble_window/band_raster.h"

#include <algorithm>
#include <cmath>

namespace {

const Rgb kPalette[] = {{0, 114, 178}, {213, 94, 0},   {0, 158, 115},  {204, 121, 167},
                        {230, 159, 0}, {86, 180, 233}, {240, 228, 66}, {0, 0, 0}};
constexpr std::size_t kPaletteSize = sizeof kPalette / sizeof kPalette[0];
// Light enough that a median line reads through two bands, and another point's band through it:
// 0.2, in 256ths for whole-number mixing.
constexpr int kOpacity256 = 51;

void mix_span(std::vector<unsigned char>* px, int width, int column, int from, int to,
              const Rgb& colour) {
  for (int row = from; row <= to; ++row) {
    unsigned char* p = &(*px)[3 * (static_cast<std::size_t>(row) * width + column)];
    for (int k = 0; k < 3; ++k)
      p[k] = static_cast<unsigned char>(p[k] + (kOpacity256 * (colour[k] - p[k]) + 128) / 256);
  }
}

// The rows between two counts, inside the area.
bool rows_between(const PlotScale& s, double low, double high, int* from, int* to) {
  *from = std::max(0, static_cast<int>(std::lround(s.y(high))));
  *to = std::min(s.height - 1, static_cast<int>(std::lround(s.y(low))));
  return *from <= *to;
}

} // namespace

Rgb curve_colour(std::size_t curve) {
  return kPalette[curve % kPaletteSize];
}

int curve_dash(std::size_t curve) {
  return static_cast<int>((curve / kPaletteSize) % 4) * 3;
}

double PlotScale::x(double d) const {
  return d * (width - 1) / static_cast<double>(std::max(last_day, 1LL));
}

double PlotScale::y(double count) const {
  return (height - 1) * (1.0 - count / top);
}

double PlotScale::day(int column) const {
  return width > 1 ? static_cast<double>(column) * static_cast<double>(last_day) / (width - 1) : 0;
}

double panel_top(const PanelFigures& panel, long long last_day) {
  double top = 1;
  for (const BandCurve& c : panel.curves)
    for (const BandDay& d : c.days)
      if (d.day <= last_day)
        top = std::max(top, d.p95);
  for (const DataPoint& p : panel.data)
    if (p.day <= last_day)
      top = std::max(top, p.value);
  return top;
}

double tick_step(double range, int parts) {
  const double raw = range / std::max(parts, 1);
  const double power = std::pow(10.0, std::floor(std::log10(std::max(raw, 1e-9))));
  for (const double m : {1.0, 2.0, 5.0})
    if (m * power >= raw)
      return m * power;
  return 10 * power;
}

bool band_at(const BandCurve& curve, double day, BandDay* out) {
  const auto later = std::lower_bound(curve.days.begin(), curve.days.end(), day,
                                      [](const BandDay& d, double t) { return d.day < t; });
  if (later == curve.days.end())
    return false;
  if (later->day == day) {
    *out = *later;
    return true;
  }
  if (later == curve.days.begin())
    return false;
  const BandDay& a = *(later - 1);
  const BandDay& b = *later;
  const double t = (day - a.day) / (b.day - a.day);
  const auto mix = [t](double u, double v) { return u + t * (v - u); };
  *out = {static_cast<int>(day),   mix(a.p5, b.p5),   mix(a.p25, b.p25),
          mix(a.median, b.median), mix(a.p75, b.p75), mix(a.p95, b.p95)};
  return true;
}

std::vector<unsigned char> band_raster(const PanelFigures& panel, const PlotScale& s) {
  std::vector<unsigned char> px(3 * static_cast<std::size_t>(s.width) * s.height, 255);
  for (std::size_t c = 0; c < panel.curves.size(); ++c)
    for (int column = 0; column < s.width; ++column) {
      BandDay d{};
      if (!band_at(panel.curves[c], s.day(column), &d))
        continue;
      int from = 0, to = 0;
      if (rows_between(s, d.p5, d.p95, &from, &to))
        mix_span(&px, s.width, column, from, to, curve_colour(c));
      if (rows_between(s, d.p25, d.p75, &from, &to))
        mix_span(&px, s.width, column, from, to, curve_colour(c));
    }
  return px;
}
