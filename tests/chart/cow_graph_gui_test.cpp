#include <gtest/gtest.h>

#include "chart/cow_graph.h"
#include "tests/chart/chart_probe.h"

#include <unistd.h>

namespace {

const Fl_Color kRed = fl_rgb_color(255, 0, 0), kBlue = fl_rgb_color(0, 0, 255);
const Px kRedPx{255, 0, 0}, kBluePx{0, 0, 255}, kWhitePx{255, 255, 255};

std::string temp_path(const std::string& name) {
  return std::string(TEST_BINARY_DIR) + "/cow_graph_" + std::to_string(getpid()) + "_" + name;
}

// A white 200 x 100 CowGraph on screen inside a window, its layers bar charts over 0 .. 1.
struct Shown {
  Fl_Window top{260, 160, "cow graph test"};
  Recorded<CowGraph>* g;

  Shown(int layers, double blend)
      : g(new Recorded<CowGraph>(20, 30, 200, 100, layers, blend, nullptr)) {}
  void show(std::initializer_list<std::tuple<int, double, Fl_Color>> entries) {
    top.end();
    g->color(FL_WHITE);
    g->bounds(0.0, 1.0);
    for (auto [series, value, colour] : entries)
      g->add(series, value, nullptr, colour);
    show_drawn(&top);
  }
};

// The bars leave a label line free at the bottom: y = 20 lies inside a full bar, y = 5 above a
// half bar, y = 60 inside a half bar and y = 80 inside a bar of 0.3.
TEST(CowGraphGui, BlendZeroDrawsLayersStraight) {
  Shown s(2, 0.0);
  s.show({{0, 1.0, kBlue}, {1, 1.0, kRed}});
  EXPECT_EQ(s.g->at(100, 20), kRedPx);
}

TEST(CowGraphGui, BlendHalfMixesAndKeyColourLetsEarlierThrough) {
  Shown s(2, 0.5);
  s.show({{0, 1.0, kBlue}, {1, 0.5, kRed}});
  EXPECT_EQ(s.g->at(100, 60), (Px{127, 0, 127}));
  EXPECT_EQ(s.g->at(100, 5), kBluePx);
}

std::vector<unsigned char> one_layer_picture(double blend) {
  Shown s(1, blend);
  s.show({{0, 0.7, kRed}, {0, 0.3, kBlue}});
  EXPECT_EQ(s.g->at(50, 60), kRedPx);
  EXPECT_EQ(s.g->at(150, 80), kBluePx);
  EXPECT_EQ(s.g->at(150, 5), kWhitePx);
  return s.g->shown;
}

TEST(CowGraphGui, SingleLayerIsShownUnchanged) {
  EXPECT_EQ(one_layer_picture(0.5), one_layer_picture(0.0));
}

TEST(CowGraphGui, FullLayerDropsItsOldestEntry) {
  Shown s(1, 0.5);
  s.g->maxsize(2);
  s.show({{0, 1.0, kRed}, {0, 1.0, kBlue}, {0, 1.0, fl_rgb_color(0, 255, 0)}});
  EXPECT_EQ(s.g->size(), 2);
  EXPECT_EQ(s.g->at(50, 20), kBluePx);
  EXPECT_EQ(s.g->at(150, 20), (Px{0, 255, 0}));
}

TEST(CowGraphGui, SavedPngIsWhatTheChartShows) {
  Shown s(3, 0.5);
  s.show({{0, 1.0, kBlue},
          {1, 0.6, kRed},
          {2, 0.3, fl_rgb_color(0, 200, 0)},
          {2, 0.9, fl_rgb_color(30, 60, 90)}});
  const std::string first = temp_path("first.png"), second = temp_path("second");
  s.g->Save(first.c_str());
  s.g->Save(second.c_str());
  EXPECT_NE(access(second.c_str(), F_OK), 0); // nothing before the draw
  redraw_now(s.g);
  EXPECT_EQ(s.g->save_pending, 0);
  EXPECT_EQ(s.g->save_name, nullptr);
  EXPECT_NE(access(first.c_str(), F_OK), 0);
  const DecodedPng png = read_png(second);
  EXPECT_EQ(png.width, 200u);
  EXPECT_EQ(png.height, 100u);
  EXPECT_EQ(png.pixels, s.g->shown);
  remove(second.c_str());
}

std::vector<std::string> reported;

TEST(CowGraphGui, FailedSaveIsReportedAfterTheDraw) {
  void (*saved)(const char*) = save_failure_reporter;
  save_failure_reporter = [](const char* path) { reported.emplace_back(path); };
  Shown s(1, 0.5);
  s.show({});
  const std::string good = temp_path("good.png");
  s.g->Save(good.c_str());
  redraw_now(s.g);
  Fl::wait(0.05);
  EXPECT_EQ(access(good.c_str(), F_OK), 0);
  EXPECT_TRUE(reported.empty()); // success stays silent
  remove(good.c_str());

  const std::string bad = temp_path("missing_dir") + "/chart.png";
  s.g->Save(bad.c_str());
  redraw_now(s.g); // the write fails in this draw, which tells nobody
  EXPECT_EQ(s.g->save_pending, 0);
  EXPECT_TRUE(reported.empty());
  Fl::wait(0.05);
  EXPECT_EQ(reported, std::vector<std::string>{bad});
  save_failure_reporter = saved;
}

} // namespace
