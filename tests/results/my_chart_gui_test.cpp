// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <FL/Fl_Menu_Item.H>
#include <sys/stat.h>

#include <memory>

#include "chart/save_alert.h"
#include "results/accumulation_store.h"
#include "results/my_chart.h"
#include "results/results_window.h"
#include "tests/chart/chart_probe.h"

// Where row y (or column x) of a 1024 x 200 chart after a run of `days` shows dark, light grid.
static std::vector<std::vector<int>> lines(int days, int y, int x = -1) {
  last_accumulation_cnt = days;
  Fl_Window top(1044, 260);
  auto* chart = new Recorded<MyChart>(10, 40, 1024, 200, "Infected");
  top.end();
  redraw_now(&top);
  std::vector<std::vector<int>> found(2);
  for (int i = 0; i < (x < 0 ? 1024 : 200); ++i)
    for (int shade : {200, 240})
      if ((x < 0 ? chart->at(i, y) : chart->at(x, i)) == Px{shade, shade, shade})
        found[shade == 240].push_back(i);
  return found;
}

static std::vector<int> every(int step, int last, int skip_multiples_of = 0) {
  std::vector<int> xs;
  for (int x = step; x <= last; x += step)
    if (!skip_multiples_of || x % skip_multiples_of)
      xs.push_back(x);
  return xs;
}

// Row 105 lies clear of the caption and the horizontal lines.
TEST(MyChartGui, DayGridFollowsTheLastRunsLength) {
  using Grid = std::vector<std::vector<int>>;
  EXPECT_EQ(lines(100, 105), (Grid{every(10, 1020), {}}));
  EXPECT_EQ(lines(150, 105), (Grid{every(30, 1020), every(6, 1020, 30)}));
  EXPECT_EQ(lines(300, 105), (Grid{{}, {}}));
  EXPECT_EQ(lines(0, 105), (Grid{every(10, 1020), {}}));
  EXPECT_EQ(lines(300, 0, 1001), (Grid{{}, every(10, 190)})); // none at the bottom edge
}

// Rows 11 to 19 (between two grid lines), columns 0 to 199 of an image `width` pixels wide.
static std::vector<unsigned char> corner(const unsigned char* image, int width) {
  std::vector<unsigned char> rows;
  for (int y = 11; y < 20; ++y)
    rows.insert(rows.end(), image + 3 * y * width, image + 3 * (y * width + 200));
  return rows;
}

// The caption as it should read: black at the chart's size 8 from (10, 20) on white.
static std::vector<unsigned char> caption(const char* text) {
  const Fl_Offscreen drawn = fl_create_offscreen(200, 20);
  fl_begin_offscreen(drawn);
  fl_rectf(0, 0, 200, 20, FL_WHITE);
  fl_color(FL_BLACK), fl_font(FL_HELVETICA, 8), fl_draw(text, 10, 20);
  const std::unique_ptr<unsigned char[]> pixels(fl_read_image(nullptr, 0, 0, 200, 20));
  fl_end_offscreen(), fl_delete_offscreen(drawn);
  return corner(pixels.get(), 200);
}

// Stand-ins for the menu and the chooser; the one named by `rebuild_in` rebuilds the charts first.
static std::string pick, rebuild_in;
static const char* answer;
static std::vector<std::string> alerts, asked;

static const Fl_Menu_Item* pick_item(const Fl_Menu_Item* menu, int, int) {
  if (rebuild_in == "menu")
    build_results_window();
  while (menu->text && pick != menu->text)
    ++menu;
  return menu->text ? menu : nullptr;
}

static const char* choose(const char* title, const char* pattern) {
  asked.push_back(std::string(title) + " " + pattern);
  if (rebuild_in == "chooser")
    build_results_window();
  return answer;
}

// A run ending under a dialog rebuilds the charts: the sanitizer build watches the deleted one.
TEST(ChartMenu, ChartsRebuiltUnderADialogAreNeverTouchedAgain) {
  // Two kept runs: five days in slot 0, then three in slot 1, day d holding 100 d, then d.
  for (auto [days, k] : {std::pair{5, 100.0}, std::pair{3, 1.0}}) {
    start_accumulation();
    for (int d = 1; d <= days; ++d) {
      const double f[kSeries] = {k * d};
      record_sample(f);
    }
    advance_slot();
  }
  build_results_window();
  chart_menu_popup = pick_item;
  chart_file_chooser = choose;
  chart_alert = [](const char* text) { alerts.push_back(unwrapped(text)); };
  const std::string path = temp_path("saved"), bad = temp_path("no_dir/x");
  const std::string folder = temp_path("folder"), not_saved = "The data could not be saved to ";
  const std::string closed = kChartClosed, image_closed = kImageNotSavedTo + path + closed;
  const std::string no_dir = not_saved + bad + "No such file or directory",
                    is_dir = not_saved + folder + "Is a directory";
  mkdir(folder.c_str(), 0700);
  const std::string table = "day,slot1,slot2,slot3,slot4\n1,100,1,,\n2,200,2,,\n3,300,3,,\n"
                            "4,400,,,\n5,500,,,\n";
  clear_acc_cb(nullptr, nullptr);
  using Case = std::tuple<const char*, const char*, const char*, std::string>;
  for (auto [item, where, file, alert] :
       {Case{"Save Image", "", path.c_str(), ""}, Case{"Save Data", "", bad.c_str(), no_dir},
        Case{"Save Data", "", folder.c_str(), is_dir},
        Case{"Save Data", "chooser", path.c_str(), ""}, Case{"Save Data", "chooser", nullptr, ""},
        Case{"Save Data", "menu", path.c_str(), closed},
        Case{"Save Image", "chooser", path.c_str(), image_closed},
        Case{"Save Image", "chooser", nullptr, ""},
        Case{"Save Image", "menu", path.c_str(), closed}}) {
    rebuild_in = where, pick = item, answer = file, alerts.clear();
    Fl::e_state = FL_BUTTON3; // a right-button press on the first chart
    results_window->child(0)->handle(FL_PUSH);
    const bool written = alert.empty() && file;
    Fl::wait(0.0); // an alert is told from a timeout, an image written by the chart's next draw
    pump_until([&] { return !written || access(path.c_str(), F_OK) == 0; });
    EXPECT_EQ(access(path.c_str(), F_OK) == 0, written) << item << " " << where;
    EXPECT_EQ(alerts, std::vector<std::string>(alert.empty() ? 0 : 1, alert)) << item << where;
    png_image img; // the data table, or the first image's caption (the charts as first built)
    EXPECT_TRUE(!written || (item[5] == 'D' ? slurp(path) == table
                                            : corner(read_png(path, &img).data(), 1024) ==
                                                  caption("Days: 3 Max Value: 500")))
        << item;
    remove(path.c_str());
  }
  EXPECT_EQ(std::vector<std::string>(asked.begin(), asked.begin() + 2),
            (std::vector<std::string>{"Save a PNG image *.png", "Save the chart's data *.csv"}));
  EXPECT_EQ(rmdir(folder.c_str()), 0) << "the folder was left as it was, empty";
}
