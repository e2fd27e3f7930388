// SPDX-License-Identifier: MIT
#pragma once
#include <FL/Fl_Widget.H>

#include <string>
#include <vector>

// The legend of the Ensemble window's panels: for each curve, its band and median line in its
// colour, and its name, in a row.
class LegendStrip : public Fl_Widget {
public:
  LegendStrip(int x, int y, int w, int h);
  void entries(std::vector<std::string> names);
  const std::vector<std::string>& entries() const { return names_; }
  void draw() override;

private:
  std::vector<std::string> names_;
};
