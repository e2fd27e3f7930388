// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "chart/my_png.h"
#include "tests/chart/chart_probe.h"

#include <glob.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <random>

// A file-size limit stands in for a disk full halfway: no file nor temporary left, an older file
// kept; a full device is written in place and stays a device.
TEST(SavePng, WritesRgbOrRgbaSkippingRowPaddingAndFailsWithTheReasonLeavingNoFile) {
  std::vector<unsigned char> px(300 * 300 * 3);
  std::generate(px.begin(), px.end(), std::minstd_rand()); // hardly compressible
  const std::string padded = temp_path("padded");          // no ".png": the name is used as given
  for (uint8_t bytes : {3, 4}) {
    _RGBBitmap bm{px.data(), 3, 2, 15, bytes}; // two rows of three pixels, 15 bytes apart
    ASSERT_TRUE(save_png_to_file(&bm, padded.c_str()));
    std::vector<unsigned char> want(px.begin(), px.begin() + 3 * bytes);
    want.insert(want.end(), px.begin() + 15, px.begin() + 15 + 3 * bytes);
    png_image img;
    EXPECT_EQ(read_png(padded, &img), want);
    EXPECT_EQ((std::vector<png_uint_32>{img.width, img.height, img.format}),
              (std::vector<png_uint_32>{3, 2, bytes == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB}));
  }
  remove(padded.c_str());

  _RGBBitmap bm = packed_bitmap(px.data(), 300, 300, 3);
  const std::string missing = temp_path("no_dir") + "/c.png", kept = temp_path("kept.png");
  std::ofstream(kept) << "old";
  rlimit was;
  getrlimit(RLIMIT_FSIZE, &was);
  const rlimit low{4096, was.rlim_max};
  std::signal(SIGXFSZ, SIG_IGN); // a write beyond the limit then fails instead of killing us
  for (auto [path, why] : {std::pair{missing, "No such file or directory"},
                           std::pair{std::string("/dev/full"), "No space left on device"},
                           std::pair{kept, "File too large"}}) {
    std::string reason;
    setrlimit(RLIMIT_FSIZE, &low);
    EXPECT_FALSE(save_png_to_file(&bm, path.c_str(), &reason));
    setrlimit(RLIMIT_FSIZE, &was);
    EXPECT_EQ(reason, why);
  }
  EXPECT_EQ(SavePNGToFile(missing.c_str(), px.data(), 2, 2, 3), -1);
  glob_t left;
  glob((temp_path("") + "*").c_str(), 0, nullptr, &left);
  EXPECT_EQ(std::vector<std::string>(left.gl_pathv, left.gl_pathv + left.gl_pathc),
            std::vector<std::string>{kept});
  globfree(&left);
  EXPECT_EQ(slurp(kept), "old");
  struct stat st;
  EXPECT_TRUE(stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode));
  remove(kept.c_str());
}
