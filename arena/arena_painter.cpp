// SPDX-License-Identifier: MIT
#include "arena/arena_painter.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cstring>

#include "arena/shared_image.h"

bool arena_shared_memory = true;

ArenaPainter::ArenaPainter() = default;
ArenaPainter::~ArenaPainter() = default;

// 0x00RRGGBB for the shared image; otherwise the bytes red, green, blue, pad in memory, which
// fl_draw_image reads with four bytes a pixel.
uint32_t ArenaPainter::encode(Fl_Color c) const {
  unsigned char rgb[4] = {0, 0, 0, 0};
  Fl::get_color(c, rgb[0], rgb[1], rgb[2]);
  if (shared_)
    return static_cast<uint32_t>(rgb[0]) << 16 | static_cast<uint32_t>(rgb[1]) << 8 | rgb[2];
  uint32_t v;
  std::memcpy(&v, rgb, 4);
  return v;
}

uint32_t* ArenaPainter::prepare(int w, int h) {
  const bool same_size = shared_ && shared_->width() == w && shared_->height() == h;
  if (shared_ && (!same_size || !arena_shared_memory))
    shared_.reset();
  if (!shared_ && arena_shared_memory && !shared_refused_ && w > 0 && h > 0) {
    shared_ = make_shared_image(w, h);
    shared_refused_ = !shared_;
  }
  if (shared_) {
    // The server may still be reading the last picture out of the shared memory.
    shared_->sync();
    return shared_->pixels();
  }
  pixels_.resize(static_cast<size_t>(w) * h);
  return pixels_.data();
}

ArenaCanvas* ArenaPainter::begin(int w, int h, Fl_Color window_colour, int box_x, int box_y,
                                 int box_w, int box_h, Fl_Color box_colour) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  canvas_.pixels = prepare(w, h);
  canvas_.width = w;
  canvas_.height = h;
  const Fl_Color palette[kPaintKinds] = {
      fl_rgb_color(80, 80, 80),  fl_darker(FL_YELLOW),     FL_RED,
      fl_rgb_color(0, 150, 255), fl_rgb_color(0, 230, 80), fl_rgb_color(255, 200, 225),
      fl_rgb_color(0, 200, 200)}; // the vaccinated: light teal
  for (int k = 0; k < kPaintKinds; ++k)
    canvas_.colour[k] = encode(palette[k]);
  // Run start makes the box cover the window; only a window of another size shows its own
  // colour around the box.
  const int x0 = std::clamp(box_x, 0, w), y0 = std::clamp(box_y, 0, h);
  const int x1 = std::clamp(box_x + box_w, 0, w), y1 = std::clamp(box_y + box_h, 0, h);
  if (x0 > 0 || y0 > 0 || x1 < w || y1 < h)
    std::fill(canvas_.pixels, canvas_.pixels + static_cast<size_t>(w) * h, encode(window_colour));
  const uint32_t box = encode(box_colour);
  for (int y = y0; y < y1; ++y)
    std::fill(canvas_.pixels + static_cast<size_t>(y) * w + x0,
              canvas_.pixels + static_cast<size_t>(y) * w + x1, box);
  return &canvas_;
}

void ArenaPainter::blit() {
  if (canvas_.width <= 0 || canvas_.height <= 0)
    return;
  if (shared_) {
    shared_->put(canvas_.width, canvas_.height);
    return;
  }
  fl_draw_image(reinterpret_cast<const uchar*>(canvas_.pixels), 0, 0, canvas_.width, canvas_.height,
                4, 0);
}

void draw_status_band(const char* status, int w) {
  fl_rectf(0, 10, w, 30, FL_BLACK);
  fl_color(FL_WHITE);
  fl_font(0, 8);
  // Symbol sequences such as "@" are not interpreted: the text is printed as it is.
  fl_draw(status, 10, 10, w, 30, FL_ALIGN_LEFT, nullptr, 0);
}
