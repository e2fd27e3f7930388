// SPDX-License-Identifier: MIT
#include "ensemble_window/bands_panel.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cmath>

#include "chart/my_png.h"
#include "chart/save_alert.h"
#include "ensemble_window/band_raster.h"
#include "fileio/whole_file.h"
#include "numbers/number_text.h"
#include "results/my_chart.h"

namespace {

// Room for the title above, the counts' labels to the left and the days' below.
constexpr int kTop = 22, kLeft = 52, kBottom = 30, kRight = 12;

Fl_Color colour_of(const Rgb& c) {
  return fl_rgb_color(c[0], c[1], c[2]);
}

void draw_count_axis(int left, int top, const PlotScale& s) {
  const double step = std::max(1.0, tick_step(s.top, 4)); // persons come whole
  fl_font(FL_HELVETICA, 10);
  for (double v = 0; v <= s.top + 1e-9; v += step) {
    const int y = top + static_cast<int>(std::lround(s.y(v)));
    fl_color(fl_rgb_color(225, 225, 225));
    fl_line(left, y, left + s.width - 1, y);
    fl_color(FL_BLACK);
    fl_line(left - 4, y, left - 1, y);
    const std::string text = shortest_text(v);
    fl_draw(text.c_str(), left - 6 - static_cast<int>(fl_width(text.c_str())), y + 4);
  }
  fl_line(left - 1, top, left - 1, top + s.height);
}

void draw_day_axis(int left, int top, const PlotScale& s) {
  const double step = std::max(1.0, tick_step(static_cast<double>(s.last_day), 8));
  const int base = top + s.height;
  fl_color(FL_BLACK);
  fl_font(FL_HELVETICA, 10);
  fl_line(left - 1, base, left + s.width - 1, base);
  for (double d = 0; d <= static_cast<double>(s.last_day) + 1e-9; d += step) {
    const int x = left + static_cast<int>(std::lround(s.x(d)));
    fl_line(x, base, x, base + 4);
    const std::string text = shortest_text(d);
    fl_draw(text.c_str(), x - static_cast<int>(fl_width(text.c_str()) / 2), base + 15);
  }
  fl_draw("day", left + s.width - static_cast<int>(fl_width("day")), base + 27);
}

void draw_medians(const PanelFigures& panel, int left, int top, const PlotScale& s) {
  for (std::size_t c = 0; c < panel.curves.size(); ++c) {
    fl_color(colour_of(curve_colour(c)));
    const int dash = curve_dash(c);
    char dashes[] = {static_cast<char>(dash), static_cast<char>(dash), 0};
    fl_line_style(dash ? FL_DASH : FL_SOLID, 2, dash ? dashes : nullptr);
    fl_begin_line();
    for (const BandDay& d : panel.curves[c].days)
      if (d.day <= s.last_day)
        fl_vertex(left + s.x(d.day), top + s.y(d.median));
    fl_end_line();
  }
  fl_line_style(FL_SOLID);
}

void draw_data(const PanelFigures& panel, int left, int top, const PlotScale& s) {
  fl_color(FL_BLACK);
  for (const DataPoint& p : panel.data)
    if (p.day <= s.last_day)
      fl_pie(left + static_cast<int>(std::lround(s.x(p.day))) - 2,
             top + static_cast<int>(std::lround(s.y(p.value))) - 2, 5, 5, 0, 360);
}

} // namespace

void load_panel_fonts() {
  fl_open_display();
  for (const auto& [font, size] : {std::pair{FL_HELVETICA, 10},
                                   {FL_HELVETICA, 12},
                                   {FL_HELVETICA_BOLD, 12},
                                   {FL_HELVETICA_BOLD, 13}}) {
    fl_font(font, size);
    fl_width("0");
  }
}

BandsPanel::BandsPanel(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {
  box(FL_NO_BOX);
}

void BandsPanel::show_figures(std::shared_ptr<const BandFigures> figures, std::size_t panel) {
  figures_ = std::move(figures);
  panel_ = panel;
  redraw();
}

const PanelFigures* BandsPanel::figures() const {
  return figures_ && panel_ < figures_->panels.size() ? &figures_->panels[panel_] : nullptr;
}

void BandsPanel::draw_at(int x, int y) const {
  fl_color(FL_WHITE);
  fl_rectf(x, y, w(), h());
  const PanelFigures* panel = figures();
  if (!panel)
    return;
  fl_color(FL_BLACK);
  fl_font(FL_HELVETICA_BOLD, 12);
  fl_draw(panel->title.c_str(), x + kLeft, y + 15);
  fl_font(FL_HELVETICA, 10);
  fl_draw("persons", x + 4, y + 15);
  const PlotScale s{w() - kLeft - kRight, h() - kTop - kBottom, figures_->last_day,
                    panel_top(*panel, figures_->last_day) * 1.05};
  if (s.width < 2 || s.height < 2)
    return;
  const int left = x + kLeft, top = y + kTop;
  const std::vector<unsigned char> px = band_raster(*panel, s);
  fl_draw_image(px.data(), left, top, s.width, s.height, 3);
  draw_count_axis(left, top, s);
  draw_day_axis(left, top, s);
  fl_push_clip(left, top, s.width, s.height);
  draw_medians(*panel, left, top, s);
  draw_data(*panel, left, top, s);
  fl_pop_clip();
}

void BandsPanel::draw() {
  draw_at(x(), y());
}

int BandsPanel::handle(int event) {
  if (event == FL_PUSH && Fl::event_button() == FL_RIGHT_MOUSE) {
    RightClick();
    return 1;
  }
  return Fl_Widget::handle(event);
}

// The popup and the chooser after it run event loops of their own, in which the window's timer
// goes on: the callbacks ask first whether the panel is still there.
void BandsPanel::RightClick() {
  const Fl_Menu_Item items[] = {{"Save Image", 0, save_panel_image_cb, this, 0, 0, 0, 11, 0},
                                {"Save Data", 0, save_panel_data_cb, this, 0, 0, 0, 11, 0},
                                {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0}};
  Fl_Widget_Tracker alive(this);
  const Fl_Menu_Item* picked = chart_menu_popup(items, Fl::event_x(), Fl::event_y());
  if (picked && picked->callback() && !alive.deleted())
    picked->do_callback(this, this);
}

// Drawn offscreen, so that what covers the window on screen is not in the picture.
bool BandsPanel::save_image(const std::string& path, std::string* reason) {
  if (!window() || !window()->shown()) {
    *reason = "the window is not shown";
    return false;
  }
  window()->make_current();
  const Fl_Offscreen off = fl_create_offscreen(w(), h());
  fl_begin_offscreen(off);
  draw_at(0, 0);
  unsigned char* px = fl_read_image(nullptr, 0, 0, w(), h());
  fl_end_offscreen();
  fl_delete_offscreen(off);
  if (!px) {
    *reason = "the panel's pixels could not be read";
    return false;
  }
  _RGBBitmap bitmap = packed_bitmap(px, w(), h(), 3);
  const bool saved = save_png_to_file(&bitmap, path.c_str(), reason);
  delete[] px;
  return saved;
}

bool save_panel_csv(const BandFigures& figures, std::size_t panel, const std::string& path,
                    std::string* reason) {
  return write_whole_file(
      path,
      [&](std::FILE* out) {
        return write_panel_csv(figures.panels.at(panel), figures.legend, out);
      },
      reason);
}

void save_panel_image_cb(Fl_Widget*, void* data) {
  auto* panel = static_cast<BandsPanel*>(data);
  Fl_Widget_Tracker alive(panel);
  const char* name = chart_file_chooser("Save a PNG image", "*.png");
  if (!name)
    return;
  const std::string path = name;
  std::string reason = kChartClosed;
  if (alive.deleted() || !panel->save_image(path, &reason))
    alert_later(failed_save_text(kImageNotSavedTo + path, reason));
}

// The figures are held before the chooser opens: the file gets what the panel showed then.
void save_panel_data_cb(Fl_Widget*, void* data) {
  const auto* panel = static_cast<BandsPanel*>(data);
  const std::shared_ptr<const BandFigures> shown = panel->shown();
  const std::size_t index = panel->index();
  if (!panel->figures())
    return;
  const char* name = chart_file_chooser("Save the panel's data", "*.csv");
  if (!name)
    return;
  const std::string path = name;
  std::string reason;
  if (!save_panel_csv(*shown, index, path, &reason))
    alert_later(failed_save_text("The data could not be saved to " + path, reason));
}
