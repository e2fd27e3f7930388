// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "chart/cow_graph.h"
#include "chart/save_alert.h"
#include "tests/chart/chart_probe.h"

const Fl_Color kRed = 0xff000000, kGreen = 0x00ff0000, kBlue = 0x0000ff00;

// A white 200 x 100 CowGraph of bars over 0 .. 1: y = 20 inside a full bar, y = 5 above a half
// bar, y = 60 inside it.
struct Shown {
  Fl_Window top{260, 160};
  Recorded<CowGraph>* g;

  Shown(int layers, double blend, std::initializer_list<std::tuple<int, double, Fl_Color>> entries,
        int maxsize = 0)
      : g(new Recorded<CowGraph>(20, 30, 200, 100, layers, blend, nullptr)) {
    top.end();
    g->color(FL_WHITE);
    g->bounds(0.0, 1.0);
    g->maxsize(maxsize); // 0: no limit
    for (auto [series, value, colour] : entries)
      g->add(series, value, nullptr, colour);
    redraw_now(&top);
  }
};

// White is the key: above the half red bar the blue one below shows through.
TEST(CowGraphGui, BlendsLayersAndDropsTheOldestEntry) {
  Shown straight(2, 0.0, {{0, 1.0, kBlue}, {1, 1.0, kRed}});
  Shown mixed(2, 0.5, {{0, 1.0, kBlue}, {1, 0.5, kRed}});
  Shown full(1, 0.5, {{0, 1.0, kRed}, {0, 1.0, kBlue}, {0, 1.0, kGreen}}, 2);
  EXPECT_EQ((std::vector<Px>{straight.g->at(100, 20), mixed.g->at(100, 60), mixed.g->at(100, 5),
                             full.g->at(50, 20), full.g->at(150, 20)}),
            (std::vector<Px>{{255, 0, 0}, {127, 0, 127}, {0, 0, 255}, {0, 0, 255}, {0, 255, 0}}));
}

static std::vector<std::string> alerts;
static int alert_width;

// Measures and closes the toolkit's alert as soon as its loop runs.
static void close_alert(void*) {
  if (Fl_Window* dialog = Fl::first_window())
    alert_width = dialog->w(), dialog->hide();
}

// A long path's alert wraps within the screen; the last name given before a draw is written once,
// a failure told with its reason after the draw.
TEST(CowGraphGui, SaveWritesWhatTheNextDrawShowsOnceUnderTheLastNameAndTellsAFailure) {
  std::string path;
  while (path.size() < 300)
    path += "/a_rather_long_folder_name";
  const std::string text = failed_save_text(kImageNotSavedTo + path, "No such file or directory");
  Fl::add_check(close_alert);
  chart_alert(text.c_str());
  Fl::remove_check(close_alert);
  EXPECT_TRUE(alert_width > 0 && alert_width < 800) << alert_width;
  EXPECT_EQ(unwrapped(text), kImageNotSavedTo + path + "No such file or directory");

  chart_alert = [](const char* told) { alerts.push_back(unwrapped(told)); };
  Shown s(3, 0.5, {{0, 1.0, kBlue}, {1, 0.6, kRed}, {2, 0.3, kGreen}, {2, 0.9, 0x1e3c5a00}});
  const std::string first = temp_path("first.png"), second = temp_path("second");
  const std::string bad = temp_path("missing_dir") + "/chart.png";
  s.g->Save(first.c_str());
  s.g->Save(second.c_str());
  EXPECT_NE(access(second.c_str(), F_OK), 0); // nothing before the draw
  redraw_now(s.g);
  EXPECT_NE(access(first.c_str(), F_OK), 0);
  png_image img;
  EXPECT_EQ(read_png(second, &img), s.g->shown);
  EXPECT_EQ(img.width, 200u);
  remove(second.c_str());
  redraw_now(s.g);
  EXPECT_NE(access(second.c_str(), F_OK), 0); // written once only
  s.g->Save(bad.c_str());
  redraw_now(s.g);
  EXPECT_TRUE(alerts.empty()); // told from the event loop, not from inside the draw
  Fl::wait(0.0);
  EXPECT_EQ(alerts, std::vector<std::string>{"The image could not be saved to " + bad +
                                             "No such file or directory"});
}
