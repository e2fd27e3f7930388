// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <FL/Fl_Menu_Item.H>
#include <sys/stat.h>

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
  // Two kept runs: five days in slot 0, then three in slot 1, day d holding 100 + d, then 10 + d.
  for (auto [days, k] : {std::pair{5, 100.0}, std::pair{3, 10.0}}) {
    start_accumulation();
    for (int d = 1; d <= days; ++d) {
      const double f[kSeries] = {k + d};
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
                    is_dir = not_saved + folder + "Is a directory",
                    full = not_saved + "/dev/fullNo space left on device";
  mkdir(folder.c_str(), 0700);
  const std::string table = "day,slot1,slot2,slot3,slot4\n1,101,11,,\n2,102,12,,\n3,103,13,,\n"
                            "4,104,,,\n5,105,,,\n";
  clear_acc_cb(nullptr, nullptr);
  using Case = std::tuple<const char*, const char*, const char*, std::string>;
  for (auto [item, where, file, alert] :
       {Case{"Save Data", "", bad.c_str(), no_dir}, Case{"Save Data", "", folder.c_str(), is_dir},
        Case{"Save Data", "", "/dev/full", full}, Case{"Save Data", "chooser", path.c_str(), ""},
        Case{"Save Data", "chooser", nullptr, ""}, Case{"Save Data", "menu", path.c_str(), closed},
        Case{"Save Image", "", path.c_str(), ""},
        Case{"Save Image", "chooser", path.c_str(), image_closed},
        Case{"Save Image", "chooser", nullptr, ""},
        Case{"Save Image", "menu", path.c_str(), closed}}) {
    rebuild_in = where, pick = item, answer = file, alerts.clear();
    Fl::e_state = FL_BUTTON3; // a right-button press on the first chart
    results_window->child(0)->handle(FL_PUSH);
    Fl::wait(0.0);
    const bool written = alert.empty() && file;
    for (int n = 0; n < 100 && written && access(path.c_str(), F_OK) != 0; ++n)
      Fl::wait(0.01); // an image is written by the chart's next draw
    EXPECT_EQ(access(path.c_str(), F_OK) == 0, written) << item << " " << where;
    EXPECT_EQ(alerts, std::vector<std::string>(alert.empty() ? 0 : 1, alert)) << item << where;
    EXPECT_TRUE(!written || item[5] == 'I' || slurp(path) == table);
    remove(path.c_str());
  }
  EXPECT_EQ(asked.front(), "Save the chart's data *.csv");
  EXPECT_EQ(rmdir(folder.c_str()), 0) << "the folder was left as it was, empty";
}
