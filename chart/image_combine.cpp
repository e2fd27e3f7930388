// SPDX-License-Identifier: MIT
#include "chart/image_combine.h"

#include <FL/Fl.H>

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace {

bool inside(const unsigned char* image, int x, int y, int width, int height) {
  return image && x >= 0 && x < width && y >= 0 && y < height;
}

size_t offset(int x, int y, int width) {
  return (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
}

struct Rgb {
  unsigned char r, g, b;
};

// The blend reproduces fl_color_average(layer, base, weight) without a call per pixel: the
// components are truncated single-precision sums, and a pure black pixel packs to colour
// index 0, which the toolkit reads as its current foreground colour.
class Mixer {
public:
  explicit Mixer(double factor) : w_(static_cast<float>(factor)), rest_(1 - w_) {
    Fl::get_color(0, fg_.r, fg_.g, fg_.b);
  }

  Rgb mix(Rgb layer, Rgb base) const {
    const Rgb l = resolve(layer);
    const Rgb b = resolve(base);
    return {channel(l.r, b.r), channel(l.g, b.g), channel(l.b, b.b)};
  }

private:
  Rgb resolve(Rgb c) const { return (c.r | c.g | c.b) ? c : fg_; }

  // Through int, as the toolkit's own float-to-byte conversion ends up on this machine; for
  // weights in 0 .. 1 the sum never leaves 0 .. 255 anyway.
  unsigned char channel(unsigned char l, unsigned char b) const {
    const float sum = static_cast<float>(l) * w_ + static_cast<float>(b) * rest_;
    return static_cast<unsigned char>(static_cast<int>(sum));
  }

  float w_;
  float rest_;
  Rgb fg_{};
};

bool same(Rgb a, Rgb b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

Rgb at(const unsigned char* p) {
  return {p[0], p[1], p[2]};
}

} // namespace

void RawReadPixel(const unsigned char* image, int x, int y, int width, int height, unsigned char* r,
                  unsigned char* g, unsigned char* b) {
  if (!inside(image, x, y, width, height))
    return;
  const unsigned char* p = image + offset(x, y, width);
  *r = p[0];
  *g = p[1];
  *b = p[2];
}

void RawWritePixel(unsigned char* image, int x, int y, int width, int height, unsigned char r,
                   unsigned char g, unsigned char b) {
  if (!inside(image, x, y, width, height))
    return;
  unsigned char* p = image + offset(x, y, width);
  p[0] = r;
  p[1] = g;
  p[2] = b;
}

// Same result as reading both pixels with RawReadPixel (black beyond the layer) and writing with
// RawWritePixel, but walks rows directly: this runs once per layer on every chart redraw.
unsigned char* ImageCombine(double factor, const unsigned char* base, int base_width,
                            int base_height, const unsigned char* layer, int layer_width,
                            int layer_height, unsigned char key_r, unsigned char key_g,
                            unsigned char key_b) {
  const int64_t bytes = static_cast<int64_t>(base_width) * base_height * 3;
  if (bytes < 0 || bytes > INT_MAX)
    return nullptr;
  auto* result = static_cast<unsigned char*>(malloc(static_cast<size_t>(bytes)));
  if (!result || !layer || !base)
    return result;

  const Mixer mixer(factor);
  const Rgb key{key_r, key_g, key_b};
  const Rgb black{0, 0, 0};
  for (int y = 0; y < base_height; ++y) {
    const unsigned char* brow = base + offset(0, y, base_width);
    const unsigned char* lrow =
        (y < layer_height && layer_width > 0) ? layer + offset(0, y, layer_width) : nullptr;
    unsigned char* out = result + offset(0, y, base_width);
    for (int x = 0; x < base_width; ++x, out += 3) {
      const Rgb b = at(brow + 3 * static_cast<size_t>(x));
      const Rgb l = (lrow && x < layer_width) ? at(lrow + 3 * static_cast<size_t>(x)) : black;
      const Rgb o = same(l, key) ? b : same(b, key) ? l : mixer.mix(l, b);
      out[0] = o.r;
      out[1] = o.g;
      out[2] = o.b;
    }
  }
  return result;
}
