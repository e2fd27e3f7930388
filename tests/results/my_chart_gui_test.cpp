#include <gtest/gtest.h>

#include "results/accumulation_store.h"
#include "results/my_chart.h"
#include "tests/chart/chart_probe.h"

#include <FL/Fl_Menu_Item.H>
#include <algorithm>
#include <unistd.h>

namespace {

const Px kWhite{255, 255, 255}, kLight{240, 240, 240}, kDark{200, 200, 200};

// A 1024 x 200 result chart on screen, after a run of `days`, with no entries.
struct ResultChart {
  Fl_Window top{1044, 260, "chart test"};
  Recorded<MyChart>* chart = new Recorded<MyChart>(10, 40, 1024, 200, "Infected");

  explicit ResultChart(int days, Fl_Boxtype box = FL_NO_BOX) {
    last_accumulation_cnt = days;
    top.end();
    chart->color(FL_WHITE);
    chart->type(3);
    chart->box(box);
    show_drawn(&top);
  }
  ~ResultChart() { last_accumulation_cnt = 0; }

  // Positions along row y (or column x) that show `colour`.
  std::vector<int> in_row(int y, Px colour) { return find(chart->row(y), colour); }
  std::vector<int> in_column(int x, Px colour) { return find(chart->column(x), colour); }
  static std::vector<int> find(const std::vector<Px>& px, Px colour) {
    std::vector<int> at;
    for (size_t i = 0; i < px.size(); ++i)
      if (px[i] == colour)
        at.push_back(int(i));
    return at;
  }
  // Rightmost inked column of the caption's line (baseline at y = 20).
  int caption_end() {
    int end = -1;
    for (int y = 10; y <= 20; ++y)
      for (int x = 0; x < 400; ++x)
        if (chart->at(x, y).r < 150)
          end = std::max(end, x);
    return end;
  }
};

std::vector<int> every(int step, int first, int last, int skip_multiples_of = 0) {
  std::vector<int> xs;
  for (int x = first; x <= last; x += step)
    if (!skip_multiples_of || x % skip_multiples_of)
      xs.push_back(x);
  return xs;
}

// Row 105 lies clear of the caption and of the horizontal lines.
TEST(MyChartGui, DayGridFollowsTheLastRunsLength) {
  {
    ResultChart c(100); // 1024 / 100 = 10
    EXPECT_EQ(c.in_row(105, kDark), every(10, 10, 1020));
    EXPECT_TRUE(c.in_row(105, kLight).empty());
  }
  {
    ResultChart c(150); // spacing 6: darker where x is a multiple of 10
    EXPECT_EQ(c.in_row(105, kDark), every(30, 30, 1020));
    EXPECT_EQ(c.in_row(105, kLight), every(6, 6, 1020, 30));
  }
  {
    ResultChart c(300); // 1024 / 300 = 3: too tight for a grid
    EXPECT_EQ(c.in_row(105, kWhite).size(), 1024u);
    EXPECT_EQ(c.in_column(1001, kLight), every(10, 10, 190)); // 19 lines, none at 200
  }
  ResultChart none(0); // no run yet: spacing 10
  EXPECT_EQ(none.in_row(105, kDark), every(10, 10, 1020));
}

TEST(MyChartGui, CaptionAtItsBaselineGrowsWithMaxValue) {
  ResultChart c(7);
  const int short_end = c.caption_end();
  EXPECT_GT(short_end, 60);
  EXPECT_EQ(c.in_column(12, kWhite).front(), 0);
  EXPECT_EQ(c.in_column(12, kWhite)[7], 7); // nothing above the text
  c.chart->max_value = 123456789.9;
  redraw_now(c.chart);
  EXPECT_GT(c.caption_end(), short_end + 20);

  ResultChart framed(100, FL_FLAT_BOX); // the live chart: no grid, no caption
  EXPECT_EQ(framed.in_row(105, kWhite).size(), 1024u);
  EXPECT_EQ(framed.caption_end(), -1);
}

TEST(MyChartGui, TitleBoxGoesToTheParent) {
  ResultChart c(0);
  ASSERT_EQ(c.top.children(), 2);
  Fl_Widget* t = c.top.child(1);
  EXPECT_STREQ(t->label(), "Infected");
  EXPECT_EQ((std::vector<int>{t->x(), t->y(), t->w(), t->h(), t->labelsize(), int(t->align())}),
            (std::vector<int>{10, 22, 100, 20, 12, 20}));
}

TEST(MyChartGui, SavedPngHoldsGridCaptionAndLayers) {
  ResultChart c(100);
  c.chart->max_value = 42;
  c.chart->bounds(0.0, 10.0);
  for (int day = 0; day < 100; ++day) {
    c.chart->add(0, day % 10, nullptr, fl_rgb_color(160, 220, 220));
    c.chart->add(1, 9 - day % 10, nullptr, fl_rgb_color(220, 160, 220));
  }
  const std::string path =
      std::string(TEST_BINARY_DIR) + "/my_chart_" + std::to_string(getpid()) + ".png";
  c.chart->Save(path.c_str());
  redraw_now(c.chart);
  EXPECT_EQ(read_png(path).pixels, c.chart->shown);
  remove(path.c_str());
}

// Stand-ins for the popup menu and the file chooser, which would block.
std::vector<std::string> shown_menu, chooser_args;
bool pick_item;
const char* chosen_file;

void right_press(MyChart* chart, int buttons, bool pick, const char* file) {
  shown_menu.clear(), chooser_args.clear();
  pick_item = pick, chosen_file = file;
  chart_menu_popup = [](const Fl_Menu_Item* menu, int, int) {
    shown_menu = {menu->text, std::to_string(menu->labelsize()), menu[1].text ? "more" : ""};
    return pick_item ? menu : nullptr;
  };
  chart_file_chooser = [](const char* title, const char* pattern) {
    chooser_args = {title, pattern};
    return chosen_file;
  };
  Fl::e_state = buttons;
  chart->handle(FL_PUSH);
  Fl::e_state = 0;
}

TEST(MyChartGui, RightClickOffersSaveImage) {
  auto* saved_popup = chart_menu_popup;
  auto* saved_chooser = chart_file_chooser;
  ResultChart c(0, FL_FLAT_BOX); // the live chart's look has the menu too
  right_press(c.chart, FL_BUTTON3, true, "/tmp/chart without extension");
  EXPECT_EQ(shown_menu, (std::vector<std::string>{"Save Image", "11", ""}));
  EXPECT_EQ(chooser_args, (std::vector<std::string>{"Save a PNG image", "*.png"}));
  EXPECT_STREQ(c.chart->save_name, "/tmp/chart without extension");
  EXPECT_EQ(c.top.children(), 2); // the temporary choice is gone
  free(c.chart->save_name);       // never drawn: nothing is written
  c.chart->save_name = nullptr, c.chart->save_pending = 0;

  right_press(c.chart, FL_BUTTON3, true, nullptr); // chooser cancelled
  EXPECT_EQ(chooser_args.size(), 2u);
  right_press(c.chart, FL_BUTTON3, false, "/tmp/x.png"); // menu dismissed
  EXPECT_TRUE(chooser_args.empty());
  right_press(c.chart, FL_BUTTON1, true, "/tmp/x.png"); // left press: no menu
  EXPECT_TRUE(shown_menu.empty());
  EXPECT_EQ(c.chart->save_pending, 0);
  chart_menu_popup = saved_popup, chart_file_chooser = saved_chooser;
}

} // namespace
