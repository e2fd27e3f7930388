#pragma once
#include <FL/Enumerations.H>

#include <vector>

#include "sim/tick_hooks.h"

// The arena as one picture per tick. The tick plots each visible person into the canvas in
// array order, so a later person on the same pixel wins exactly as with one fl_point each; the
// finished picture then goes to the window in a single fl_draw_image instead of hundreds of
// thousands of point calls.
class ArenaPainter {
public:
  // A canvas of the window's size in the window's colour, with the arena box's rectangle in the
  // box's colour: what the window's own drawing has just painted underneath.
  ArenaCanvas* begin(int w, int h, Fl_Color window_colour, int box_x, int box_y, int box_w,
                     int box_h, Fl_Color box_colour);
  // Draws the canvas at the window's origin; nothing before the first begin().
  void blit() const;

private:
  std::vector<unsigned char> pixels_;
  ArenaCanvas canvas_;
};

// The colours the persons are painted in, by PaintKind, as the toolkit makes them.
void arena_palette(unsigned char colour[kPaintKinds][3]);

// The black band across the top of the arena with the tick's status text in white.
void draw_status_band(const char* status, int w);
