#include <gtest/gtest.h>

#include "chart/image_combine.h"
#include "tests/chart/chart_probe.h"

#include <cstdlib>

namespace {

// A 1 x 1 layer over a 1 x 1 base.
Px combine(double factor, Px l, Px b, Px key = {255, 255, 255}) {
  unsigned char lp[3] = {uchar(l.r), uchar(l.g), uchar(l.b)};
  unsigned char bp[3] = {uchar(b.r), uchar(b.g), uchar(b.b)};
  unsigned char* out = ImageCombine(factor, bp, 1, 1, lp, 1, 1, key.r, key.g, key.b);
  Px p{out[0], out[1], out[2]};
  free(out);
  return p;
}

unsigned pack(Px p) {
  return unsigned(p.r) << 24 | unsigned(p.g) << 16 | unsigned(p.b) << 8;
}

Px toolkit_mix(Px l, Px b, double factor) {
  const unsigned c = fl_color_average(pack(l), pack(b), float(factor));
  return {int(c >> 24), int(c >> 16 & 255), int(c >> 8 & 255)};
}

TEST(ImageCombine, KeyColourIsTransparentOnEitherSide) {
  EXPECT_EQ(combine(0.5, {255, 255, 255}, {1, 2, 3}), (Px{1, 2, 3}));
  EXPECT_EQ(combine(0.5, {255, 255, 255}, {255, 255, 255}), (Px{255, 255, 255}));
  EXPECT_EQ(combine(0.5, {9, 8, 7}, {255, 255, 255}), (Px{9, 8, 7}));
  EXPECT_EQ(combine(0.5, {255, 255, 254}, {1, 1, 1}), (Px{128, 128, 127})); // all three must match
}

TEST(ImageCombine, MixesWithWeightAndTruncates) {
  EXPECT_EQ(combine(0.5, {255, 0, 0}, {0, 0, 255}), (Px{127, 0, 127}));
  EXPECT_EQ(combine(0.5, {10, 20, 30}, {11, 21, 31}), (Px{10, 20, 30}));
  EXPECT_EQ(combine(1.0, {10, 20, 30}, {200, 100, 50}), (Px{10, 20, 30}));
}

TEST(ImageCombine, EqualsToolkitAverageIncludingBlackAndForeground) {
  const unsigned saved = Fl::get_color(0);
  const Px samples[] = {{0, 0, 0},    {1, 2, 3}, {255, 0, 0},    {0, 0, 255},    {10, 20, 30},
                        {11, 21, 31}, {0, 0, 1}, {77, 200, 199}, {254, 254, 254}};
  for (unsigned foreground : {0u, pack({90, 30, 210})}) {
    Fl::set_color(0, foreground);
    for (double w : {0.5, 0.0, 1.0, 0.25, 0.3, 0.7, 0.999})
      for (Px l : samples)
        for (Px b : samples)
          EXPECT_EQ(combine(w, l, b, {255, 255, 254}), toolkit_mix(l, b, w))
              << "weight " << w << " layer " << l << " base " << b;
  }
  // Black mixes as the foreground colour now in force.
  EXPECT_EQ(combine(0.5, {0, 0, 0}, {10, 10, 10}), (Px{50, 20, 110}));
  Fl::set_color(0, saved);
}

TEST(ImageCombine, SmallerLayerReadsAsBlack) {
  std::vector<unsigned char> base(3 * 2 * 3, 100); // 3 x 2; the layer is 1 x 1
  unsigned char layer[3] = {255, 255, 255};
  unsigned char* out = ImageCombine(0.5, base.data(), 3, 2, layer, 1, 1, 255, 255, 255);
  EXPECT_EQ(out[0], 100);
  for (int i = 3; i < 18; ++i)
    EXPECT_EQ(out[i], 50) << "byte " << i;
  free(out);
  out = ImageCombine(0.5, base.data(), 3, 2, layer, 1, 1, 0, 0, 0); // black is now the key
  EXPECT_EQ(out[0], 177);
  EXPECT_EQ(out[17], 100);
  free(out);
  EXPECT_EQ(ImageCombine(0.5, base.data(), 100000, 100000, layer, 1, 1, 0, 0, 0), nullptr);
}

TEST(RawPixel, ReadsAndWritesOnlyInside) {
  unsigned char img[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}; // 2 x 2
  const std::vector<unsigned char> before(img, img + 12);
  for (auto [x, y] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 2}}) {
    unsigned char r = 200, g = 201, b = 202;
    RawReadPixel(img, x, y, 2, 2, &r, &g, &b);
    EXPECT_EQ((Px{r, g, b}), (Px{200, 201, 202})) << x << "," << y;
    RawWritePixel(img, x, y, 2, 2, 99, 99, 99);
  }
  unsigned char r = 0, g = 0, b = 0;
  RawReadPixel(nullptr, 0, 0, 2, 2, &r, &g, &b);
  RawWritePixel(nullptr, 0, 0, 2, 2, 9, 9, 9);
  EXPECT_EQ(std::vector<unsigned char>(img, img + 12), before);
  RawReadPixel(img, 1, 1, 2, 2, &r, &g, &b);
  EXPECT_EQ((Px{r, g, b}), (Px{10, 11, 12}));
  RawWritePixel(img, 0, 1, 2, 2, 99, 98, 97);
  EXPECT_EQ((Px{img[6], img[7], img[8]}), (Px{99, 98, 97}));
}

} // namespace
