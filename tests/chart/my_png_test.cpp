#include <gtest/gtest.h>

#include "chart/my_png.h"
#include "tests/chart/chart_probe.h"

#include <numeric>

TEST(SavePng, WritesEightBitRgbOrRgbaSkippingRowPadding) {
  const std::string path = temp_path("padded"); // no ".png": the name is used as given
  std::vector<unsigned char> px(2 * 15);        // two rows of three pixels, 15 bytes apart
  std::iota(px.begin(), px.end(), 1);
  for (uint8_t bytes : {3, 4}) {
    _RGBBitmap bm{px.data(), 3, 2, 15, bytes};
    ASSERT_EQ(save_png_to_file(&bm, path.c_str()), 0);
    std::vector<unsigned char> want(px.begin(), px.begin() + 3 * bytes);
    want.insert(want.end(), px.begin() + 15, px.begin() + 15 + 3 * bytes);
    png_image img;
    EXPECT_EQ(read_png(path, &img), want);
    EXPECT_EQ((std::vector<png_uint_32>{img.width, img.height, img.format}),
              (std::vector<png_uint_32>{3, 2, bytes == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB}));
  }
  remove(path.c_str());
}

TEST(SavePng, FailuresReturnMinusOne) {
  std::vector<unsigned char> px(300 * 300 * 3);
  const std::string missing = temp_path("no_such_dir") + "/chart.png";
  EXPECT_EQ(SavePNGToFile(missing.c_str(), px.data(), 2, 2, 3), -1);
  EXPECT_NE(access(missing.c_str(), F_OK), 0);

  // A full device fails inside the image data once libpng writes more than stdio buffers; the
  // sanitizer build's leak check watches that the row copies are released.
  unsigned state = 12345;
  for (auto& byte : px)
    byte = static_cast<unsigned char>((state = state * 1103515245u + 12345u) >> 16);
  if (access("/dev/full", W_OK) != 0)
    GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(SavePNGToFile("/dev/full", px.data(), 300, 300, 3), -1);
}
