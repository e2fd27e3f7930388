#include <gtest/gtest.h>

#include "chart/my_png.h"
#include "tests/chart/chart_probe.h"

#include <unistd.h>

namespace {

std::string temp_path(const std::string& name) {
  return std::string(TEST_BINARY_DIR) + "/my_png_" + std::to_string(getpid()) + "_" + name;
}

bool exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

TEST(SavePng, WritesEightBitRgbRowsTopFirst) {
  const std::string path = temp_path("rgb"); // no ".png": the name is used as given
  std::vector<unsigned char> px(4 * 3 * 3);
  for (size_t i = 0; i < px.size(); ++i)
    px[i] = static_cast<unsigned char>(i * 7);
  ASSERT_EQ(SavePNGToFile(path.c_str(), px.data(), 4, 3, 3), 0);
  const DecodedPng png = read_png(path);
  ASSERT_TRUE(png.ok);
  EXPECT_EQ(png.width, 4u);
  EXPECT_EQ(png.height, 3u);
  EXPECT_EQ(png.bit_depth, 8);
  EXPECT_EQ(png.colour_type, PNG_COLOR_TYPE_RGB);
  EXPECT_EQ(png.interlace, PNG_INTERLACE_NONE);
  EXPECT_EQ(png.pixels, px);
  EXPECT_EQ(png.chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  remove(path.c_str());
}

TEST(SavePng, FourBytesGiveAlphaAndPaddingIsSkipped) {
  const std::string path = temp_path("rgba.png");
  // Two rows of two RGBA pixels, each row followed by three bytes of padding.
  std::vector<unsigned char> px = {1, 2,  3,  4,  5,  6,  7,  8,  90, 90, 90,
                                   9, 10, 11, 12, 13, 14, 15, 16, 91, 91, 91};
  _RGBBitmap bm{px.data(), 2, 2, 11, 4};
  ASSERT_EQ(save_png_to_file(&bm, path.c_str()), 0);
  const DecodedPng png = read_png(path);
  EXPECT_EQ(png.colour_type, PNG_COLOR_TYPE_RGB_ALPHA);
  EXPECT_EQ(png.pixels,
            (std::vector<unsigned char>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
  remove(path.c_str());
}

TEST(SavePng, FailuresReturnMinusOne) {
  std::vector<unsigned char> px(300 * 300 * 3);
  _RGBBitmap bm{px.data(), 2, 2, 6, 3};
  const std::string missing = temp_path("no_such_dir") + "/chart.png";
  EXPECT_EQ(save_png_to_file(&bm, missing.c_str()), -1);
  EXPECT_FALSE(exists(missing));

  const std::string path = temp_path("refused.png"); // refused before any file is made
  _RGBBitmap two{px.data(), 2, 2, 4, 2};
  EXPECT_EQ(save_png_to_file(&two, path.c_str()), -1);
  EXPECT_EQ(SavePNGToFile(path.c_str(), px.data(), -2, 2, 3), -1);
  EXPECT_FALSE(exists(path));

  // A full device fails halfway through the image data, once libpng writes more than stdio
  // buffers: the row copies must be released (the sanitizer build's leak check watches this).
  unsigned state = 12345;
  for (auto& byte : px)
    byte = static_cast<unsigned char>((state = state * 1103515245u + 12345u) >> 16);
  _RGBBitmap noise{px.data(), 300, 300, 900, 3};
  if (!exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(save_png_to_file(&noise, "/dev/full"), -1);
}

} // namespace
