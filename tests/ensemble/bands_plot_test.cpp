// SPDX-License-Identifier: MIT
#include "ensemble/bands_plot.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>

#include "tests/support/batch_process.h"

static std::vector<SummaryRow> point_rows(double scale) {
  std::vector<SummaryRow> rows;
  for (int d = 1; d <= 20; ++d)
    for (int s = 0; s < kSummarySeries; ++s) {
      const double v = scale * d * (30 - d) / (s + 1);
      rows.push_back({d, s, 4, v, v / 2, v * 0.8, v, v * 1.2, v * 1.5});
    }
  return rows;
}

// Each point's median in its own colour; the folder's name is one a shell would split or run.
TEST(BandsPlot, failureGivesOneLineReasonAndNoPngThenAWholePng) {
  std::string dir = TEST_BINARY_DIR "/bands it's; \"q\" XXXXXX", error;
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  const std::string path = std::getenv("PATH");
  Workers children;
  {
    FileSet set(dir, {"bands.dat", "bands.gp", "bands.png"});
    ASSERT_TRUE(set.open(&error)) << error;
    setenv("PATH", "/nonexistent", 1);
    EXPECT_FALSE(write_bands_plot(&set, &children, {1, 11, 11}, {"a"}, {kDefaultPanels, 20},
                                  {point_rows(1)}, &error));
    setenv("PATH", path.c_str(), 1);
    EXPECT_TRUE(error.find("gnuplot") != std::string::npos && error.find('\n') == std::string::npos)
        << error;
    EXPECT_NE(slurp(set.folder() + "/bands.gp")
                  .find("\nheading = '1 run per point, seed 11: median line, 25-75 % and 5-95 % "
                        "bands'\n"),
              std::string::npos);
  }
  EXPECT_EQ(names_in(dir), std::set<std::string>());

  // Six panels in 3 rows of 2; three in 2 rows of 2, the last cell empty.
  for (const auto& [view, rows, columns] :
       {std::tuple{BandsView{kDefaultPanels, 20}, 3u, 2u},
        {BandsView{{kSampleDead, kSampleInfected, kSampleSusceptible}, 20}, 2u, 2u}}) {
    FileSet set(dir, {"bands.dat", "bands.gp", "bands.png"});
    ASSERT_TRUE(set.open(&error)) << error;
    ASSERT_TRUE(write_bands_plot(&set, &children, {5, 11, 15},
                                 {"infection-rate=10", "infection-rate='20'; x"}, view,
                                 {point_rows(1), point_rows(3)}, &error) &&
                set.commit(&error))
        << error;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&png, (dir + "/bands.png").c_str()));
    EXPECT_TRUE(png.width >= 1200 && png.height >= 900) << png.width << "x" << png.height;
    png.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(png));
    ASSERT_TRUE(png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr));
    std::set<unsigned> colours;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
      colours.insert(rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
    EXPECT_TRUE(colours.count(0x1f77b4) && colours.count(0xff7f0e));
    // A median in each panel's cell of the grid, none in a cell left over, and one in the
    // legend's strip below the grid.
    const auto medians = [&](unsigned x0, unsigned y0, unsigned w, unsigned h) {
      int n = 0;
      for (unsigned y = y0; y < y0 + h; ++y)
        for (unsigned x = x0; x < x0 + w; ++x) {
          const unsigned char* p = &rgb[(y * png.width + x) * 3];
          n += (p[0] << 16 | p[1] << 8 | p[2]) == 0x1f77b4;
        }
      return n;
    };
    const unsigned strip = png.height / 10, cell = (png.height * 95 / 100 - strip) / rows;
    const unsigned width = png.width / columns;
    for (unsigned c = 0; c < rows * columns; ++c)
      EXPECT_EQ(medians(c % columns * width, png.height - strip - (rows - c / columns) * cell,
                        width, cell) > 0,
                c < view.series.size())
          << "cell " << c << " of " << view.series.size();
    EXPECT_GT(medians(0, png.height - strip, png.width, strip), 0) << "the legend";
    EXPECT_EQ(names_in(dir), (std::set<std::string>{"bands.dat", "bands.gp", "bands.png"}));
  }
  std::filesystem::remove_all(dir);
}

// One run in twenty keeps the axis going: 2 of 40 runs do, 1 of 40 does not.
TEST(BandsPlot, axisEndsOnTheLastDayThatFivePercentOfAPointsRunsReach) {
  std::vector<long long> days(40, 90);
  days[7] = 920;
  EXPECT_EQ(busy_until(days), 90);
  days[30] = 700;
  EXPECT_EQ(busy_until(days), 700);
  EXPECT_EQ(busy_until({12}), 12);
}
