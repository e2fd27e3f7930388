// SPDX-License-Identifier: MIT
#include "results/my_chart.h"

#include "chart/save_alert.h"
#include "results/accumulation_store.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/fl_draw.H>

#include <climits>
#include <cstdio>
#include <string>

namespace {

const Fl_Menu_Item* popup_menu(const Fl_Menu_Item* menu, int x, int y) {
  return menu->popup(x, y, nullptr, nullptr, nullptr);
}

const char* choose_file(const char* title, const char* pattern) {
  return fl_file_chooser(title, pattern, nullptr, 0);
}

// The caption shows whole numbers; a value beyond int is shown at the limit instead of being
// converted out of range.
int truncated(double v) {
  if (!(v > INT_MIN))
    return INT_MIN;
  if (v >= INT_MAX)
    return INT_MAX;
  return static_cast<int>(v);
}

// A run's days spread over the chart width; a long run packs them too tightly for a grid.
double day_spacing(int width) {
  if (last_accumulation_cnt <= 0)
    return 10.0;
  return static_cast<double>(width / last_accumulation_cnt);
}

void draw_grid(int width, int height) {
  fl_color(fl_rgb_color(240, 240, 240));
  for (double y = 10.0; y < height; y += 10.0)
    fl_line(0, static_cast<int>(y), width, static_cast<int>(y));
  const double spacing = day_spacing(width);
  if (spacing < 5.0)
    return;
  for (int k = 1; k * spacing < width; ++k) {
    const int x = static_cast<int>(k * spacing);
    fl_color(x % 10 == 0 ? fl_rgb_color(200, 200, 200) : fl_rgb_color(240, 240, 240));
    fl_line(x, 0, x, height);
  }
}

} // namespace

const Fl_Menu_Item* (*chart_menu_popup)(const Fl_Menu_Item* menu, int x, int y) = popup_menu;
const char* (*chart_file_chooser)(const char* title, const char* pattern) = choose_file;

MyChart::MyChart(int x, int y, int w, int h, const char* label)
    : CowGraph(x, y, w, h, 4, 0.5, label), max_value(0.0) {
  // The title sits above the chart in the chart's own parent, which owns it.
  if (label) {
    Fl_Box* title = new Fl_Box(x, y - 18, 100, 20);
    title->copy_label(label);
    title->labelsize(12);
    title->box(FL_NO_BOX);
    title->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
  }
  box(FL_NO_BOX);
}

MyChart::~MyChart() = default;

void MyChart::draw_background() {
  fl_color(FL_WHITE);
  fl_rectf(0, 0, w(), h());
  draw_grid(w(), h());
  char caption[64];
  snprintf(caption, sizeof caption, "Days: %d Max Value: %d", last_accumulation_cnt,
           truncated(max_value));
  fl_color(FL_BLACK);
  fl_font(FL_HELVETICA, 8);
  fl_draw(caption, 10, 20);
}

// Only a chart without a frame box gets the grid; the live chart keeps a plain background.
void MyChart::draw() {
  if (box() == FL_NO_BOX)
    draw_background();
  CowGraph::draw();
}

// The press goes on to the window after the menu closes, so the menu never swallows it; unless
// the chart is gone by then (a run ended under the menu or a dialog and rebuilt the charts).
int MyChart::handle(int event) {
  if (event == FL_PUSH && Fl::event_state(FL_BUTTON3)) {
    Fl_Widget_Tracker alive(this);
    RightClick();
    if (alive.deleted())
      return 1;
  }
  return Fl_Double_Window::handle(event);
}

// The menu and the dialogs after it run event loops of their own, in which the run's timer goes
// on; a run that ends there rebuilds the results window and deletes this chart. Everything after
// such a loop therefore asks first whether the chart is still there.
void MyChart::RightClick() {
  const int x = Fl::event_x(), y = Fl::event_y();
  // Kept out of whatever group happens to be open: the choice only carries the menu.
  Fl_Group* open_group = Fl_Group::current();
  Fl_Group::current(nullptr);
  Fl_Choice* choice = new Fl_Choice(x, y, 100, 10);
  Fl_Group::current(open_group);
  choice->textsize(11);
  CowGraph* self = this;
  choice->add("Save Image", 0, save_image_cb, self, 0);
  if (data)
    choice->add("Save Data", 0, save_data_cb, self, 0);
  // add() copied the entries into the choice's own array, which is ours to restyle.
  for (auto* item = const_cast<Fl_Menu_Item*>(choice->menu()); item && item->text; ++item)
    item->labelsize(11);
  Fl_Widget_Tracker alive(this);
  const Fl_Menu_Item* picked = chart_menu_popup(choice->menu(), Fl::event_x(), Fl::event_y());
  if (picked && picked->callback()) {
    if (alive.deleted())
      alert_later(kChartClosed);
    else
      picked->do_callback(choice, self);
  }
  delete choice;
}

void save_image_cb(Fl_Widget*, void* chart) {
  if (!chart)
    return;
  auto* graph = static_cast<CowGraph*>(chart);
  Fl_Widget_Tracker alive(graph);
  const char* name = chart_file_chooser("Save a PNG image", "*.png");
  if (!name)
    return;
  if (alive.deleted()) {
    alert_later(failed_save_text(kImageNotSavedTo + std::string(name), kChartClosed));
    return;
  }
  graph->Save(name);
}

void save_data_cb(Fl_Widget*, void* chart) {
  auto* owner = chart ? dynamic_cast<MyChart*>(static_cast<CowGraph*>(chart)) : nullptr;
  if (!owner || !owner->data)
    return;
  // Copied before the chooser opens, so the file holds what the chart showed when it was asked
  // even if the chart is gone by the time a name is chosen.
  const ChartData shown = *owner->data;
  const char* name = chart_file_chooser("Save the chart's data", "*.csv");
  if (!name)
    return;
  const std::string path = name;
  std::string reason;
  if (!save_chart_csv(shown, path, &reason))
    alert_later(failed_save_text("The data could not be saved to " + path, reason));
}
