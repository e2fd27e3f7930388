// SPDX-License-Identifier: MIT
#include "ensemble_window/legend_strip.h"

#include <FL/fl_draw.H>

#include "ensemble_window/band_raster.h"

LegendStrip::LegendStrip(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}

void LegendStrip::entries(std::vector<std::string> names) {
  names_ = std::move(names);
  redraw();
}

// Entries that do not fit the row are left out rather than drawn over one another.
void LegendStrip::draw() {
  fl_color(FL_WHITE);
  fl_rectf(x(), y(), w(), h());
  fl_font(FL_HELVETICA, 12);
  int at = x() + 4;
  const int mid = y() + h() / 2;
  for (std::size_t c = 0; c < names_.size(); ++c) {
    const int width = 34 + static_cast<int>(fl_width(names_[c].c_str())) + 16;
    if (at + width > x() + w())
      break;
    const Rgb rgb = curve_colour(c);
    const Fl_Color colour = fl_rgb_color(rgb[0], rgb[1], rgb[2]);
    fl_color(fl_color_average(colour, FL_WHITE, 0.35f));
    fl_rectf(at, mid - 6, 28, 12);
    fl_color(colour);
    const int dash = curve_dash(c);
    char dashes[] = {static_cast<char>(dash), static_cast<char>(dash), 0};
    fl_line_style(dash ? FL_DASH : FL_SOLID, 2, dash ? dashes : nullptr);
    fl_line(at, mid, at + 28, mid);
    fl_line_style(FL_SOLID);
    fl_color(FL_BLACK);
    fl_draw(names_[c].c_str(), at + 34, mid + 4);
    at += width;
  }
}
