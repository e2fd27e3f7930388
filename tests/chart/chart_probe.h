#pragma once

// Test helpers: reading back what a chart draws, and decoding PNG files exactly as stored.
// Include after <gtest/gtest.h>: <FL/x.H> brings X11 macros (None, Bool) that clash with it.

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <png.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

struct Px {
  int r, g, b;
  bool operator==(const Px& o) const { return r == o.r && g == o.g && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& os, const Px& p) {
  return os << '(' << p.r << ',' << p.g << ',' << p.b << ')';
}

// A chart that keeps a copy of what it has just drawn, read from its own offscreen buffer at the
// end of each draw. The screen itself is no witness: the tests share one display, and other
// tests' windows may cover this one.
template <class Chart> class Recorded : public Chart {
public:
  using Chart::Chart;
  std::vector<unsigned char> shown; // packed RGB of the last draw

  void draw() override {
    Chart::draw();
    const int n = 3 * this->w() * this->h();
    unsigned char* p = fl_read_image(nullptr, 0, 0, this->w(), this->h(), 0);
    shown.assign(p, p + (p ? n : 0));
    delete[] p;
  }
  Px at(int x, int y) const {
    const unsigned char* p = &shown.at(3 * (y * this->w() + x));
    return {p[0], p[1], p[2]};
  }
  std::vector<Px> row(int y) const { return line(0, y, 1, 0, this->w()); }
  std::vector<Px> column(int x) const { return line(x, 0, 0, 1, this->h()); }

private:
  std::vector<Px> line(int x, int y, int dx, int dy, int n) const {
    std::vector<Px> out;
    for (int k = 0; k < n; ++k)
      out.push_back(at(x + k * dx, y + k * dy));
    return out;
  }
};

// Draws now and waits until the server has put it on screen.
inline void redraw_now(Fl_Window* w) {
  w->redraw();
  Fl::flush();
  XSync(fl_display, False);
}

inline void show_drawn(Fl_Window* top) {
  top->show();
  top->wait_for_expose();
  redraw_now(top);
}

struct DecodedPng {
  bool ok = false;
  png_uint_32 width = 0, height = 0;
  int bit_depth = 0, colour_type = 0, interlace = 0;
  std::vector<unsigned char> pixels; // rows top first, no padding
  std::vector<std::string> chunks;   // chunk names in file order
};

// libpng jumps back here on a decoding error; `out` lives in the caller's frame.
inline bool decode_into(FILE* f, png_structp png, png_infop info, DecodedPng* out) {
  if (setjmp(png_jmpbuf(png)))
    return false;
  png_init_io(png, f);
  png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_get_IHDR(png, info, &out->width, &out->height, &out->bit_depth, &out->colour_type,
               &out->interlace, nullptr, nullptr);
  png_bytepp rows = png_get_rows(png, info);
  for (png_uint_32 y = 0; y < out->height; ++y)
    out->pixels.insert(out->pixels.end(), rows[y], rows[y] + png_get_rowbytes(png, info));
  return true;
}

inline std::vector<std::string> chunk_names(FILE* f) {
  std::vector<std::string> names;
  unsigned char h[8];
  fseek(f, 8, SEEK_SET);
  while (fread(h, 1, 8, f) == 8) {
    names.emplace_back(reinterpret_cast<char*>(h + 4), 4);
    fseek(f, ((long(h[0]) << 24) | (h[1] << 16) | (h[2] << 8) | h[3]) + 4, SEEK_CUR);
  }
  return names;
}

inline DecodedPng read_png(const std::string& path) {
  DecodedPng out;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f)
    return out;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  out.ok = decode_into(f, png, info, &out);
  png_destroy_read_struct(&png, &info, nullptr);
  out.chunks = chunk_names(f);
  fclose(f);
  return out;
}
