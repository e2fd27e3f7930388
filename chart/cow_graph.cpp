// SPDX-License-Identifier: MIT
#include "chart/cow_graph.h"

#include "chart/image_combine.h"
#include "chart/my_png.h"
#include "chart/save_alert.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Read-backs come from the toolkit (new[]), blends from ImageCombine (malloc); each buffer goes
// back the way it came.
struct Picture {
  unsigned char* pixels = nullptr;
  bool from_toolkit = false;

  void release() {
    if (from_toolkit)
      delete[] pixels;
    else
      free(pixels);
    pixels = nullptr;
  }
};

} // namespace

CowChart::CowChart(int x, int y, int w, int h, int chart_type) : Fl_Chart(x, y, w, h, nullptr) {
  box(FL_NO_BOX);
  Fl_Chart::type(static_cast<uchar>(chart_type));
}

CowChart::~CowChart() = default;

void CowChart::draw() {
  Fl_Chart::draw();
}

CowGraph::CowGraph(int x, int y, int w, int h, int layers, double blend, const char* label)
    : Fl_Double_Window(x, y, w, h, label), charts(nullptr), chart_count(0), blend_factor(blend),
      save_name(nullptr), save_pending(0) {
  // Without the table there are no layers at all: every loop then runs zero times and the
  // getters read 0, rather than walking a table that is not there.
  if (layers > 0)
    charts = static_cast<CowChart**>(malloc(sizeof(CowChart*) * static_cast<size_t>(layers)));
  if (charts) {
    chart_count = layers;
    for (int n = 0; n < layers; ++n)
      charts[n] = new CowChart(0, 0, w, h, 0);
  }
  end();
}

// A save still waiting for its draw dies with the chart; the user is told rather than left to
// look for a file that never comes.
CowGraph::~CowGraph() {
  if (save_pending && save_name)
    alert_later(failed_save_text(kImageNotSavedTo + std::string(save_name), kChartClosed));
  for (int n = 0; n < chart_count; ++n)
    delete charts[n];
  free(charts);
  free(save_name);
}

CowChart* CowGraph::layer(int series) const {
  if (series < 0 || series >= chart_count)
    return nullptr;
  return charts[series];
}

void CowGraph::draw() {
  Fl_Window::draw();
  uchar key_r = 0, key_g = 0, key_b = 0;
  Fl::get_color(color(), key_r, key_g, key_b);
  fl_draw_box(box(), 0, 0, w(), h(), color());
  if (blend_factor > 0)
    composite(key_r, key_g, key_b);
  else
    draw_layers();
  finish_pending_save();
}

void CowGraph::draw_layers() {
  each_layer([&](CowChart* c) { c->draw(); });
}

// Each layer is drawn alone and read back, then folded into the picture of the layers before
// it. A layer that cannot be read back, or whose blend finds no memory, is left out: the picture
// keeps what it has rather than showing a buffer that was never filled.
void CowGraph::composite(unsigned char key_r, unsigned char key_g, unsigned char key_b) {
  const int W = w(), H = h();
  Picture acc;
  for (int n = 0; n < chart_count; ++n) {
    if (!charts[n])
      continue;
    fl_draw_box(box(), 0, 0, W, H, color());
    charts[n]->draw();
    Picture current{fl_read_image(nullptr, 0, 0, W, H, 0), true};
    if (!current.pixels)
      continue;
    if (!acc.pixels) {
      acc = current;
      continue;
    }
    unsigned char* mixed =
        ImageCombine(blend_factor, acc.pixels, W, H, current.pixels, W, H, key_r, key_g, key_b);
    current.release();
    if (!mixed)
      continue;
    acc.release();
    acc = Picture{mixed, false};
  }
  if (!acc.pixels) { // nothing could be read back: show the layers unblended
    draw_layers();
    return;
  }
  fl_draw_image(acc.pixels, 0, 0, W, H, 3, 0);
  acc.release();
}

void CowGraph::finish_pending_save() {
  if (!save_pending || !save_name)
    return;
  unsigned char* pixels = fl_read_image(nullptr, 0, 0, w(), h(), 0);
  if (!pixels)
    return; // tried again at the next draw
  _RGBBitmap bitmap = packed_bitmap(pixels, w(), h(), 3);
  std::string reason;
  const bool saved = save_png_to_file(&bitmap, save_name, &reason);
  delete[] pixels;
  // The alert waits for a timeout: a modal dialog inside draw() would re-enter the toolkit while
  // the offscreen buffer is still current.
  if (!saved)
    alert_later(failed_save_text(kImageNotSavedTo + std::string(save_name), reason));
  free(save_name);
  save_name = nullptr;
  save_pending = 0;
}

// Fl_Double_Window's own resize, not Fl_Window's: it drops an offscreen buffer that has become
// too small for the new size.
void CowGraph::resize(int x, int y, int w, int h) {
  Fl_Double_Window::resize(x, y, w, h);
  each_layer([&](CowChart* c) { c->resize(0, 0, w, h); });
}

void CowGraph::Save(const char* filename) {
  if (!filename)
    return;
  char* copy = strdup(filename);
  if (!copy)
    return;
  free(save_name);
  save_name = copy;
  save_pending = 1;
  redraw();
}

void CowGraph::add(int series, double value, const char* label, unsigned colour) {
  if (CowChart* c = layer(series))
    c->add(value, label, colour);
}

void CowGraph::insert(int series, int index, double value, const char* label, unsigned colour) {
  if (CowChart* c = layer(series))
    c->insert(index, value, label, colour);
}

void CowGraph::replace(int series, int index, double value, const char* label, unsigned colour) {
  if (CowChart* c = layer(series))
    c->replace(index, value, label, colour);
}

void CowGraph::clear() {
  each_layer([&](CowChart* c) { c->clear(); });
}

void CowGraph::bounds(double a, double b) {
  each_layer([&](CowChart* c) { c->bounds(a, b); });
}

void CowGraph::bounds(double* a, double* b) {
  if (!a || !b)
    return;
  *a = 0.0;
  *b = 0.0;
  if (CowChart* c = layer(0))
    c->bounds(a, b);
}

int CowGraph::size() {
  CowChart* c = layer(0);
  return c ? c->size() : 0;
}

void CowGraph::size(int w, int h) {
  Fl_Double_Window::size(w, h);
  each_layer([&](CowChart* c) { c->size(w, h); });
}

void CowGraph::maxsize(int m) {
  each_layer([&](CowChart* c) { c->maxsize(m); });
}

int CowGraph::maxsize() {
  CowChart* c = layer(0);
  return c ? c->maxsize() : 0;
}

void CowGraph::type(int t) {
  each_layer([&](CowChart* c) { c->type(static_cast<uchar>(t)); });
}

void CowGraph::type(int series, int t) {
  if (CowChart* c = layer(series))
    c->type(static_cast<uchar>(t));
}

int CowGraph::type() {
  CowChart* c = layer(0);
  return c ? c->type() : 0;
}

void CowGraph::autosize(unsigned char n) {
  each_layer([&](CowChart* c) { c->autosize(n); });
}

unsigned char CowGraph::autosize() {
  CowChart* c = layer(0);
  return c ? c->autosize() : 0;
}

void CowGraph::textfont(int f) {
  each_layer([&](CowChart* c) { c->textfont(f); });
}

int CowGraph::textfont() {
  CowChart* c = layer(0);
  return c ? c->textfont() : 0;
}

void CowGraph::textsize(int s) {
  each_layer([&](CowChart* c) { c->textsize(s); });
}

int CowGraph::textsize() {
  CowChart* c = layer(0);
  return c ? c->textsize() : 0;
}

void CowGraph::textcolor(unsigned colour) {
  each_layer([&](CowChart* c) { c->textcolor(colour); });
}

unsigned CowGraph::textcolor() {
  CowChart* c = layer(0);
  return c ? c->textcolor() : 0;
}
