// SPDX-License-Identifier: MIT
#pragma once

#include <FL/Fl_Chart.H>
#include <FL/Fl_Double_Window.H>

// One layer of a CowGraph: a toolkit chart without a box, whose draw the graph calls by itself.
class CowChart : public Fl_Chart {
public:
  CowChart(int x, int y, int w, int h, int type);
  ~CowChart() override;
  void draw() override;
};

// A subwindow holding `chart_count` chart layers that cover it exactly. Each draw folds the
// layers onto one another (a later layer weighs `blend_factor`) so that earlier series stay
// visible underneath, and finishes a pending PNG save with exactly what is then shown.
class CowGraph : public Fl_Double_Window {
public:
  CowChart** charts;   // index 0 first; owned
  int chart_count;     // fixed at construction
  double blend_factor; // 0 or less: layers are drawn straight over one another
  char* save_name;     // own copy of the pending save's file name, or null
  int save_pending;    // 1 while a save waits for the next draw

  CowGraph(int x, int y, int w, int h, int layers, double blend, const char* label);
  ~CowGraph() override;

  void draw() override;
  void resize(int x, int y, int w, int h) override;

  // Series operations; the series index must lie in 0 .. chart_count - 1.
  void add(int series, double value, const char* label = nullptr, unsigned colour = 0);
  void insert(int series, int index, double value, const char* label = nullptr,
              unsigned colour = 0);
  void replace(int series, int index, double value, const char* label = nullptr,
               unsigned colour = 0);

  // Setters apply to every layer; getters read layer 0.
  void clear();
  void bounds(double a, double b);
  void bounds(double* a, double* b);
  int size();
  void size(int w, int h);
  void maxsize(int m);
  int maxsize();
  void type(int t);
  void type(int series, int t);
  int type();
  void autosize(unsigned char n);
  unsigned char autosize();
  void textfont(int f);
  int textfont();
  void textsize(int s);
  int textsize();
  void textcolor(unsigned colour);
  unsigned textcolor();

  // Records the name and asks for a redraw; the file is written at the end of the next draw.
  void Save(const char* filename);

private:
  CowChart* layer(int series) const; // null when out of range
  template <class F> void each_layer(F f) {
    for (int n = 0; n < chart_count; ++n)
      if (charts[n])
        f(charts[n]);
  }
  void draw_layers();
  void composite(unsigned char key_r, unsigned char key_g, unsigned char key_b);
  void finish_pending_save();
};
