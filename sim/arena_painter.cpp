#include "sim/arena_painter.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cstring>

namespace {

void rgb_of(Fl_Color c, unsigned char out[3]) {
  Fl::get_color(c, out[0], out[1], out[2]);
}

// Fills a rectangle of a packed RGB buffer (rows of `stride` pixels) with one colour: the first
// row pixel by pixel, the others copied from it.
void fill_rect(unsigned char* rgb, int stride, int x, int y, int w, int h, Fl_Color c) {
  if (w <= 0 || h <= 0)
    return;
  unsigned char px[3];
  rgb_of(c, px);
  unsigned char* first = rgb + (static_cast<size_t>(y) * stride + x) * 3;
  const size_t row_bytes = static_cast<size_t>(w) * 3;
  if (px[0] == px[1] && px[1] == px[2]) {
    std::memset(first, px[0], row_bytes);
  } else {
    for (int i = 0; i < w; ++i)
      std::memcpy(first + static_cast<size_t>(i) * 3, px, 3);
  }
  for (int row = 1; row < h; ++row)
    std::memcpy(first + static_cast<size_t>(row) * stride * 3, first, row_bytes);
}

} // namespace

void arena_palette(unsigned char colour[kPaintKinds][3]) {
  rgb_of(fl_rgb_color(80, 80, 80), colour[kPaintDead]);
  rgb_of(fl_darker(FL_YELLOW), colour[kPaintInfectedAmbulant]);
  rgb_of(FL_RED, colour[kPaintInfectedBedridden]);
  rgb_of(fl_rgb_color(0, 150, 255), colour[kPaintHealthy]);
  rgb_of(fl_rgb_color(0, 230, 80), colour[kPaintRecovered]);
  rgb_of(fl_rgb_color(255, 200, 225), colour[kPaintQuarantined]);
}

ArenaCanvas* ArenaPainter::begin(int w, int h, Fl_Color window_colour, int box_x, int box_y,
                                 int box_w, int box_h, Fl_Color box_colour) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  pixels_.resize(static_cast<size_t>(w) * h * 3);
  canvas_.rgb = pixels_.data();
  canvas_.width = w;
  canvas_.height = h;
  arena_palette(canvas_.colour);

  // Run start makes the box cover the window; only a window of another size shows its own
  // colour around the box.
  const int x0 = std::clamp(box_x, 0, w), y0 = std::clamp(box_y, 0, h);
  const int x1 = std::clamp(box_x + box_w, 0, w), y1 = std::clamp(box_y + box_h, 0, h);
  if (x0 > 0 || y0 > 0 || x1 < w || y1 < h)
    fill_rect(canvas_.rgb, w, 0, 0, w, h, window_colour);
  fill_rect(canvas_.rgb, w, x0, y0, x1 - x0, y1 - y0, box_colour);
  return &canvas_;
}

void ArenaPainter::blit() const {
  if (canvas_.width <= 0 || canvas_.height <= 0)
    return;
  fl_draw_image(canvas_.rgb, 0, 0, canvas_.width, canvas_.height, 3, 0);
}

void draw_status_band(const char* status, int w) {
  fl_rectf(0, 10, w, 30, FL_BLACK);
  fl_color(FL_WHITE);
  fl_font(0, 8);
  // Symbol sequences such as "@" are not interpreted: the text is printed as it is.
  fl_draw(status, 10, 10, w, 30, FL_ALIGN_LEFT, nullptr, 0);
}
