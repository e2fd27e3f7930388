// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "chart/image_combine.h"
#include "tests/chart/chart_probe.h"

#include <cstdlib>

using Rgb = std::array<unsigned char, 3>;

static unsigned pack(Rgb p) {
  return unsigned(p[0]) << 24 | unsigned(p[1]) << 16 | unsigned(p[2]) << 8;
}

// A 1 x 1 layer over a 1 x 1 base, packed.
static unsigned combine(double factor, Rgb l, Rgb b, Rgb k) {
  unsigned char* out = ImageCombine(factor, b.data(), 1, 1, l.data(), 1, 1, k[0], k[1], k[2]);
  const unsigned p = pack({out[0], out[1], out[2]});
  free(out);
  return p;
}

// Black packs as 0, colour index 0 to the toolkit; a key-coloured pixel shows the other one.
TEST(ImageCombine, EqualsToolkitAverageOutsideTheKeyIncludingBlackAndASmallerLayerReadsAsBlack) {
  const unsigned saved = Fl::get_color(0);
  const Rgb key{255, 255, 254},
      samples[] = {{0, 0, 0},      {1, 2, 3},       {255, 0, 0}, {11, 21, 31},
                   {77, 200, 199}, {255, 255, 255}, key};
  for (unsigned foreground : {0u, pack({90, 30, 210})}) {
    Fl::set_color(0, foreground);
    for (double w : {0.0, 0.3, 0.5, 0.999, 1.0})
      for (Rgb l : samples)
        for (Rgb b : samples)
          EXPECT_EQ(combine(w, l, b, key),
                    l == key   ? pack(b)
                    : b == key ? pack(l)
                               : fl_color_average(pack(l), pack(b), float(w)) & 0xffffff00u)
              << w << " " << pack(l) << " " << pack(b);
  }
  Fl::set_color(0, saved);

  const std::vector<unsigned char> base(3 * 2 * 3, 100); // 3 x 2 under a 1 x 1 white layer
  const Rgb white{255, 255, 255};
  unsigned char* out = ImageCombine(0.5, base.data(), 3, 2, white.data(), 1, 1, 255, 255, 255);
  EXPECT_EQ((Rgb{out[0], out[1], out[2]}), (Rgb{100, 100, 100}));
  EXPECT_EQ(std::vector<unsigned char>(out + 3, out + 18), std::vector<unsigned char>(15, 50));
  free(out);
  EXPECT_EQ(ImageCombine(0.5, base.data(), 100000, 100000, white.data(), 1, 1, 0, 0, 0), nullptr);
}

TEST(RawPixel, ReadsAndWritesOnlyInside) {
  unsigned char img[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}; // 2 x 2
  unsigned char rgb[3] = {200, 201, 202};
  for (auto [image, x, y] :
       {std::tuple{img, -1, 0}, {img, 2, 0}, {img, 0, -1}, {img, 0, 2}, {nullptr, 0, 0}}) {
    RawReadPixel(image, x, y, 2, 2, rgb, rgb + 1, rgb + 2);
    RawWritePixel(image, x, y, 2, 2, 99, 99, 99);
  }
  RawWritePixel(img, 1, 1, 2, 2, rgb[0], rgb[1], rgb[2]); // what the refused reads left
  RawReadPixel(img, 0, 1, 2, 2, rgb, rgb + 1, rgb + 2);
  std::vector<int> seen(img, img + 12);
  seen.insert(seen.end(), rgb, rgb + 3);
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 200, 201, 202, 7, 8, 9}));
}
