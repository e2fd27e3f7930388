#include "ensemble/bands_plot.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

// A folder whose name a shell would split, unquote or run as a second command.
std::string odd_dir() {
  std::string name = TEST_BINARY_DIR "/bands it's; \"q\" XXXXXX";
  EXPECT_NE(mkdtemp(name.data()), nullptr);
  return name;
}

std::set<std::string> entries(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (const dirent* e = readdir(d))
      if (e->d_name[0] != '.')
        names.insert(e->d_name);
    closedir(d);
  }
  return names;
}

void remove_dir(const std::string& dir) {
  for (const std::string& name : entries(dir))
    std::remove((dir + "/" + name).c_str());
  rmdir(dir.c_str());
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

struct Image {
  png_uint_32 width = 0, height = 0;
  std::vector<unsigned char> rgb;
  bool has_colour(unsigned char r, unsigned char g, unsigned char b) const {
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
      if (rgb[i] == r && rgb[i + 1] == g && rgb[i + 2] == b)
        return true;
    return false;
  }
};

Image read_png(const std::string& path) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  Image img;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    ADD_FAILURE() << "not a PNG: " << path;
    return img;
  }
  png.format = PNG_FORMAT_RGB;
  img.rgb.resize(PNG_IMAGE_SIZE(png));
  EXPECT_TRUE(png_image_finish_read(&png, nullptr, img.rgb.data(), 0, nullptr));
  img.width = png.width;
  img.height = png.height;
  return img;
}

TEST(BandsPlot, rendersWholePngIntoAFolderAShellWouldMisread) {
  const std::string dir = odd_dir();
  std::string error;
  ASSERT_TRUE(write_bands_plot(dir, {"infection-rate=10", "infection-rate='20'; x"},
                               {point_rows(1), point_rows(3)}, &error))
      << error;
  EXPECT_EQ(entries(dir), (std::set<std::string>{"bands.dat", "bands.gp", "bands.png"}));
  const Image img = read_png(dir + "/bands.png");
  EXPECT_GE(img.width, 1200u);
  EXPECT_GE(img.height, 900u);
  // Each point's median line is drawn in its own colour.
  EXPECT_TRUE(img.has_colour(0x1f, 0x77, 0xb4));
  EXPECT_TRUE(img.has_colour(0xff, 0x7f, 0x0e));
  remove_dir(dir);
}

TEST(BandsPlot, failureGivesOneLineReasonAndNoPng) {
  std::string error;
  const std::string missing = TEST_BINARY_DIR "/no such folder/deeper";
  EXPECT_FALSE(write_bands_plot(missing, {"a"}, {point_rows(1)}, &error));
  EXPECT_NE(error.find("no such folder"), std::string::npos) << error;

  const std::string dir = odd_dir();
  const std::string path = std::getenv("PATH");
  setenv("PATH", "/nonexistent", 1);
  error.clear();
  EXPECT_FALSE(write_bands_plot(dir, {"a"}, {point_rows(1)}, &error));
  setenv("PATH", path.c_str(), 1);
  EXPECT_NE(error.find("gnuplot"), std::string::npos) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  EXPECT_EQ(entries(dir), (std::set<std::string>{"bands.dat", "bands.gp"}));
  remove_dir(dir);
}

} // namespace
