#include "ensemble/bands_plot.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A fresh folder whose name a shell would split, unquote or run as a second command.
std::string odd_dir() {
  std::string name = TEST_BINARY_DIR "/bands it's; \"q\" XXXXXX";
  EXPECT_NE(mkdtemp(name.data()), nullptr);
  return name;
}

// The names in `dir`, which is then removed.
std::set<std::string> entries_removing(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir))
    names.insert(e.path().filename().string());
  fs::remove_all(dir);
  return names;
}

std::vector<SummaryRow> point_rows(long long scale) {
  PointSummary point;
  for (long long r = 1; r <= 4; ++r) {
    std::vector<DayFigures> days;
    for (int d = 1; d <= 20 + r; ++d) {
      const long long v = scale * r * d * (30 - d);
      days.push_back({d, {v, v / 5, v / 10, v * 2, v / 50}});
    }
    point.add_run(days);
  }
  return point.rows();
}

// Each point's median line is drawn in its own colour.
TEST(BandsPlot, rendersWholePngIntoAFolderAShellWouldMisread) {
  const std::string dir = odd_dir();
  std::string error;
  ASSERT_TRUE(write_bands_plot(dir, {"infection-rate=10", "infection-rate='20'; x"},
                               {point_rows(1), point_rows(3)}, &error))
      << error;
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&png, (dir + "/bands.png").c_str()));
  EXPECT_GE(png.width, 1200u);
  EXPECT_GE(png.height, 900u);
  png.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(png));
  ASSERT_TRUE(png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr));
  std::set<unsigned> colours;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    colours.insert(rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
  EXPECT_TRUE(colours.count(0x1f77b4) && colours.count(0xff7f0e));
  EXPECT_EQ(entries_removing(dir), (std::set<std::string>{"bands.dat", "bands.gp", "bands.png"}));
}

TEST(BandsPlot, failureGivesOneLineReasonAndNoPng) {
  std::string error;
  const std::string dir = odd_dir(), path = std::getenv("PATH");
  setenv("PATH", "/nonexistent", 1);
  EXPECT_FALSE(write_bands_plot(dir, {"a"}, {point_rows(1)}, &error));
  setenv("PATH", path.c_str(), 1);
  EXPECT_NE(error.find("gnuplot"), std::string::npos) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  EXPECT_EQ(entries_removing(dir), (std::set<std::string>{"bands.dat", "bands.gp"}));
}

} // namespace
