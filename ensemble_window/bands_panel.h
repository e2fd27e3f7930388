// SPDX-License-Identifier: MIT
#pragma once
#include <FL/Fl_Widget.H>

#include <memory>
#include <string>

#include "ensemble_window/band_figures.h"

// One panel of the Ensemble window: a series' bands over the days, with its title, a count axis
// and a day axis. A right-button press offers "Save Image" and "Save Data".
class BandsPanel : public Fl_Widget {
public:
  BandsPanel(int x, int y, int w, int h);
  // The figures shown, shared with the window (which replaces them as runs come in), and which
  // of their panels this one is.
  void show_figures(std::shared_ptr<const BandFigures> figures, std::size_t panel);
  const PanelFigures* figures() const; // null while it shows nothing
  const std::shared_ptr<const BandFigures>& shown() const { return figures_; }
  std::size_t index() const { return panel_; }

  void draw() override;
  int handle(int event) override;
  void RightClick();

  // The panel drawn at (x, y) of the current drawing surface, as draw() does on screen.
  void draw_at(int x, int y) const;
  // Writes the panel as drawn, w() x h(), as a PNG; false with the reason alone in *reason.
  bool save_image(const std::string& path, std::string* reason);

private:
  std::shared_ptr<const BandFigures> figures_;
  std::size_t panel_ = 0;
};

// Loads the fonts the panels draw with, so that the first panels drawn during a run do not hold
// the event loop up while the font system starts (it may take a good part of a second).
void load_panel_fonts();

// "Save Data"'s CSV of panel `panel`, written whole; false with the reason alone in *reason.
bool save_panel_csv(const BandFigures& figures, std::size_t panel, const std::string& path,
                    std::string* reason);

// The menu's entries; the user data is the BandsPanel.
void save_panel_image_cb(Fl_Widget* widget, void* panel);
void save_panel_data_cb(Fl_Widget* widget, void* panel);
