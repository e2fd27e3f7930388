// SPDX-License-Identifier: MIT
#pragma once
#include <FL/Enumerations.H>

#include <cstdint>
#include <memory>
#include <vector>

#include "sim/tick_hooks.h"

class SharedImage;

// The arena as one picture per tick. The tick plots each visible person into the canvas in
// array order, so a later person on the same pixel wins exactly as with one fl_point each; the
// finished picture then goes to the window at once instead of in hundreds of thousands of point
// calls. Where the display shares memory with us (a local X server), the picture is the server's
// own image and nothing is copied through the connection.
class ArenaPainter {
public:
  ArenaPainter();
  ~ArenaPainter();

  // A canvas of the window's size in the window's colour, with the arena box's rectangle in the
  // box's colour: what the window's own drawing would paint underneath.
  ArenaCanvas* begin(int w, int h, Fl_Color window_colour, int box_x, int box_y, int box_w,
                     int box_h, Fl_Color box_colour);
  // Draws the canvas at the origin of the current drawable; nothing before the first begin().
  void blit();

private:
  uint32_t* prepare(int w, int h);
  uint32_t encode(Fl_Color c) const;

  std::unique_ptr<SharedImage> shared_;
  bool shared_refused_ = false; // the display cannot share memory: the toolkit's path from now on
  std::vector<uint32_t> pixels_;
  ArenaCanvas canvas_;
};

// Off: the picture always goes through the toolkit's fl_draw_image, as on a remote display.
extern bool arena_shared_memory;

// The black band across the top of the arena with the tick's status text in white.
void draw_status_band(const char* status, int w);
