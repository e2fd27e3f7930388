// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

#include "chart/cow_graph.h"
#include "results/chart_data.h"

struct Fl_Menu_Item;
class Fl_Widget;

// The chart shown on screen: a four-layer CowGraph blended at 0.5, with a title box above it,
// a grid and caption when it has no frame box, and a right-click menu: "Save Image", and
// "Save Data" on a chart that keeps its data table (the result charts; the live chart mixes the
// series it is given into one layer and has no such table).
class MyChart : public CowGraph {
public:
  double max_value;                // largest value the results window added; shown in the caption
  std::unique_ptr<ChartData> data; // what the results window drew, for "Save Data"; or null

  MyChart(int x, int y, int w, int h, const char* label);
  ~MyChart() override;

  void draw() override;
  int handle(int event) override;
  void RightClick();

private:
  void draw_background();
};

// "Save Image": asks for a file name and has the chart (user data, a CowGraph) save itself.
void save_image_cb(Fl_Widget* widget, void* chart);
// "Save Data": asks for a file name and writes the chart's (user data, a CowGraph that is a
// MyChart) data table there as CSV.
void save_data_cb(Fl_Widget* widget, void* chart);

// The two modal dialogs the menu goes through; tests swap them so nothing blocks.
extern const Fl_Menu_Item* (*chart_menu_popup)(const Fl_Menu_Item* menu, int x, int y);
extern const char* (*chart_file_chooser)(const char* title, const char* pattern);
