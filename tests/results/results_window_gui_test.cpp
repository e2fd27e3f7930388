#include "tests/support/gui_run_fixture.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include "results/accumulation_store.h"
#include "results/my_chart.h"
#include "results/results_window.h"

namespace {

class ResultsWindow : public ::testing::Test {
protected:
  void SetUp() override { reset_accumulation_store(); }
  void TearDown() override {
    if (results_window)
      results_win_cb(results_window, nullptr);
    reset_accumulation_store();
  }
  // A finished run of n samples: series s, sample j holds base + 100 s + j.
  static void finish_run(int n, double base) {
    start_accumulation();
    for (int j = 0; j < n; ++j) {
      const double f[kSeries] = {base + j, base + 100 + j, base + 200 + j, base + 300 + j,
                                 base + 400 + j};
      record_sample(f);
    }
    advance_slot();
  }
  static MyChart* chart(int k) { return static_cast<MyChart*>(results_window->child(2 * k)); }
};

} // namespace

TEST_F(ResultsWindow, FourChartsOverlayEverySlotPaddedToTheLongestRun) {
  finish_run(40, 1.0);
  finish_run(25, 5000.0);
  build_results_window();
  ASSERT_NE(results_window, nullptr);
  EXPECT_STREQ(results_window->label(), "Charts");
  EXPECT_EQ(results_window->w(), 1044);
  EXPECT_EQ(results_window->h(), 900);
  ASSERT_EQ(results_window->children(), 8) << "each chart followed by its title box";
  const char* titles[] = {"Infected", "New Infections", "Quarantined", "Dead"};
  const int series[] = {0, 1, 2, 4};
  const Fl_Color colour[] = {fl_rgb_color(160, 220, 220), fl_rgb_color(220, 160, 220),
                             fl_rgb_color(220, 220, 160), fl_rgb_color(250, 160, 180)};
  for (int k = 0; k < 4; ++k) {
    MyChart* c = chart(k);
    EXPECT_STREQ(c->label(), titles[k]);
    EXPECT_EQ(c->y(), 20 + 220 * k);
    EXPECT_TRUE(c->x() == 10 && c->w() == 1024 && c->h() == 200);
    EXPECT_EQ(c->align(), FL_ALIGN_TOP | FL_ALIGN_LEFT);
    double lo, hi;
    c->bounds(&lo, &hi);
    EXPECT_DOUBLE_EQ(lo, 0.0) << "unwritten samples are 0";
    EXPECT_DOUBLE_EQ(hi, 5024.0 + 100 * series[k]);
    EXPECT_DOUBLE_EQ(c->max_value, hi);
    for (int slot = 0; slot < 4; ++slot) {
      EXPECT_EQ(c->charts[slot]->type(), FL_FILL_CHART);
      ASSERT_EQ(c->charts[slot]->size(), 40);
      const FL_CHART_ENTRY* e = chart_entries(c->charts[slot]);
      for (int j = 0; j < 40; ++j) {
        ASSERT_FLOAT_EQ(e[j].val, chart_accumulation[slot][series[k]][j]);
        ASSERT_EQ(e[j].col, colour[slot]);
      }
    }
    EXPECT_FLOAT_EQ(chart_entries(c->charts[1])[25].val, 0.0f) << "the shorter run padded";
  }
}

TEST_F(ResultsWindow, RebuildReplacesAndTheCloseBoxDestroys) {
  build_results_window();
  EXPECT_EQ(chart(0)->charts[0]->size(), 0) << "nothing stored: no entries";
  finish_run(3, 1.0);
  build_results_window();
  int shown = 0;
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    shown += w->label() && std::string(w->label()) == "Charts";
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(chart(0)->charts[0]->size(), 3);

  results_win_cb(nullptr, nullptr);
  results_window->do_callback(); // the close box
  EXPECT_EQ(results_window, nullptr);
  EXPECT_EQ(max_accumulation_cnt, 3) << "closing leaves the store alone";
}
