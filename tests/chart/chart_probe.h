// SPDX-License-Identifier: MIT
#pragma once

// Include after <gtest/gtest.h>: <FL/x.H> brings X11 macros (None, Bool) that clash with it.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <png.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>

#include "tests/support/batch_process.h"

using Px = std::array<int, 3>;

// Runs the event loop until the condition holds, woken by each event and timer; false if it
// does not hold within 20 seconds. Before the loop sleeps, what it has done is drawn, and a
// condition that holds then keeps it awake.
inline bool pump_until(const std::function<bool()>& cond) {
  const auto look = [](void* c) {
    Fl::flush();
    if ((*static_cast<const std::function<bool()>*>(c))())
      Fl::add_timeout(0.0, [](void*) {});
  };
  Fl::add_check(look, const_cast<std::function<bool()>*>(&cond));
  using clock = std::chrono::steady_clock;
  for (const auto end = clock::now() + std::chrono::seconds(20); !cond() && clock::now() < end;)
    Fl::wait(std::chrono::duration<double>(end - clock::now()).count());
  Fl::remove_check(look, const_cast<std::function<bool()>*>(&cond));
  return cond();
}

// Copies its own offscreen buffer after each draw: on the shared display others may cover it.
template <class Chart> struct Recorded : Chart {
  using Chart::Chart;
  std::vector<unsigned char> shown; // packed RGB of the last draw
  void draw() override {
    Chart::draw();
    unsigned char* p = fl_read_image(nullptr, 0, 0, this->w(), this->h(), 0);
    shown.assign(p, p + (p ? 3 * this->w() * this->h() : 0));
    delete[] p;
  }
  Px at(int x, int y) const {
    const unsigned char* p = &shown.at(3 * (y * this->w() + x));
    return {p[0], p[1], p[2]};
  }
};

// Shows `w` if need be, draws it now and waits until the server has it.
inline void redraw_now(Fl_Window* w) {
  if (!w->shown())
    w->show(), w->wait_for_expose();
  w->redraw();
  Fl::flush();
  XSync(fl_display, False);
}

// Pixels as stored, none on a decoding error.
inline std::vector<unsigned char> read_png(const std::string& path, png_image* img) {
  *img = png_image{};
  img->version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(img, path.c_str()))
    return {};
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(*img));
  return png_image_finish_read(img, nullptr, pixels.data(), 0, nullptr) ? pixels
                                                                        : decltype(pixels)();
}

// An alert's text with its line breaks taken out, to compare it with the sentence it wraps.
inline std::string unwrapped(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
  return text;
}
