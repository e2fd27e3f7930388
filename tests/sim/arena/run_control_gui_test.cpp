#include "tests/support/gui_run_fixture.h"

#include <FL/Fl.H>

#include <tuple>
#include <utility>

#include "results/accumulation_store.h"
#include "results/my_chart.h"
#include "results/results_window.h"
#include "sim/arena/run_control.h"

using RunControl = GuiRunTest;

// The second run lasts longer: the first one's layers are padded to its length.
TEST_F(RunControl, TwoWholeRunsFromStartToChartsAndAReportLineEach) {
  small_run_settings(4);
  int first_length = 0;
  for (int run = 1; run <= 2; ++run) {
    press(panel->start_button);
    EXPECT_TRUE(arena->shown() && arena->w() == 100 && !panel->start_button->active());
    // The panel notices at the next timer call, which draws one more tick and ends the chain.
    ASSERT_TRUE(pump_until([&] { return panel->start_button->active() != 0; }));
    EXPECT_FALSE(Fl::has_timeout(draw_cb, arena));
    EXPECT_TRUE(meta_idx == run && panel->slot_buttons[run]->color() == FL_YELLOW) << meta_idx;
    EXPECT_TRUE(run == 2 || is_report_line(printed(), 300, "33.333333")) << printed();
    first_length = run == 1 ? last_accumulation_cnt : first_length;
    type(panel->infection_length_slider, "9");
  }
  int shown = 0;
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    shown += w->label() && std::string(w->label()) == "Charts";
  EXPECT_EQ(shown, 1) << "the second run's window replaced the first";
  ASSERT_EQ(results_window->children(), 8) << "each chart followed by its title box";
  const char* titles[] = {"Infected", "New Infections", "Quarantined", "Dead"};
  const int series[] = {0, 1, 2, 4};
  const Fl_Color colour[] = {fl_rgb_color(160, 220, 220), fl_rgb_color(220, 160, 220)};
  for (int k = 0; k < 4; ++k) {
    auto* c = static_cast<MyChart*>(results_window->child(2 * k));
    EXPECT_STREQ(c->label(), titles[k]);
    for (int slot = 0; slot < 2; ++slot) {
      const FL_CHART_ENTRY* e = chart_entries(c->charts[slot]);
      ASSERT_EQ(c->charts[slot]->size(), max_accumulation_cnt);
      for (int j = 0; j < max_accumulation_cnt; ++j)
        ASSERT_EQ(std::make_pair(e[j].val, e[j].col),
                  std::make_pair(float(chart_accumulation[slot][series[k]][j]), colour[slot]));
    }
  }
  EXPECT_LT(first_length, max_accumulation_cnt) << "the first run was shorter";
  results_window->do_callback(); // the close box
  EXPECT_EQ(results_window, nullptr);
}

TEST_F(RunControl, PauseResumeStopAndTheNextRun) {
  small_run_settings(90, "0.05");
  press(panel->start_button);
  ASSERT_TRUE(pump_until([&] { return ticks() >= 2; }));
  press(panel->pause_button);
  EXPECT_STREQ(panel->pause_button->label(), "Resume");
  EXPECT_FALSE(Fl::has_timeout(draw_cb, arena));
  const int held = ticks();
  press(panel->pause_button);
  EXPECT_STREQ(panel->pause_button->label(), "Pause");
  ASSERT_TRUE(pump_until([&] { return ticks() > held + 1; }));
  press(panel->stop_button); // reports at once; only the tick already asked for follows
  Fl_Window* charts = results_window;
  EXPECT_TRUE(charts && panel->start_button->active());
  const int at_stop = ticks();
  EXPECT_TRUE(pump_until([&] { return !Fl::has_timeout(draw_cb, arena); }));
  Fl::flush();
  EXPECT_TRUE(ticks() > at_stop && ticks() <= at_stop + 2 && results_window == charts);
  EXPECT_TRUE(is_report_line(printed(), 300, "33.333333")) << printed();

  // Stop or the arena's close box while paused used to leave "Resume" on the button, and its
  // first press in the next run armed a second timer chain.
  for (Fl_Widget* end : {static_cast<Fl_Widget*>(panel->stop_button), (Fl_Widget*)arena}) {
    press(panel->start_button);
    press(panel->pause_button);
    end->do_callback();
    EXPECT_STREQ(panel->pause_button->label(), "Pause");
    press(panel->start_button);
    press(panel->pause_button);
    EXPECT_FALSE(Fl::has_timeout(draw_cb, arena)) << "the button pauses";
    press(panel->stop_button);
  }
  // A start while the last run's first tick is still pending: one chain all the same, some
  // twelve ticks in twelve intervals, where a second chain would double them.
  press(panel->start_button);
  arena->do_callback();
  press(panel->start_button);
  const int made = ticks_in(0.05 * 12);
  EXPECT_TRUE(made >= 1 && made <= 15) << made;
}

TEST_F(RunControl, QuitAndCloseBoxesHideTheWindows) {
  small_run_settings(90, "0.01");
  press(panel->start_button);
  arena->do_callback(); // its close box: the run ends without results, the panel is free
  EXPECT_TRUE(arena->done == 1 && !arena->shown() && !results_window &&
              panel->start_button->active());
  for (Fl_Widget* quit : {static_cast<Fl_Widget*>(panel->quit_button), (Fl_Widget*)panel}) {
    panel->show(); // the quit button, then the panel's close box
    arena->show();
    press(panel->start_button);
    quit->do_callback();
    EXPECT_TRUE(arena->done == 1 && !arena->shown() && !panel->shown()) << (quit == panel);
  }
}

// Stop pressed after the run ended by itself, before the panel noticed, used to report the run
// again: a second line, charts of 0 days and the slot moved on twice.
TEST_F(RunControl, StopAfterTheEndDoesNotReportAgain) {
  small_run_settings(2, "0.5");
  press(panel->start_button);
  ASSERT_TRUE(pump_until([&] { return arena->done == 1; }));
  ASSERT_FALSE(panel->start_button->active()) << "the panel has not noticed the end yet";
  const int samples = last_accumulation_cnt;
  Fl_Window* charts = results_window;
  press(panel->stop_button);
  EXPECT_TRUE(is_report_line(printed(), 300, "33.333333")) << printed();
  EXPECT_TRUE(meta_idx == 1 && last_accumulation_cnt == samples && results_window == charts);
}

// A typed text not yet committed used to reach the run as it stood. The other parameters keep
// their first texts, each read into its own place.
TEST_F(RunControl, UncommittedTextsAreClampedAtStart) {
  small_run_settings(90, "0");
  type(panel->arena_size_slider, "5");
  type(panel->population_slider, "-5");
  type(panel->initially_infected_slider, "5e3");
  type(panel->daily_interactions_slider, "100");
  press(panel->start_button);
  EXPECT_EQ(std::make_tuple(global_area, arena->w(), arena->population, arena->infected,
                            arena->daily_interactions, speed),
            std::make_tuple(100, 100, 0, 1000, 24, 0.001));
  EXPECT_STREQ(panel->speed_slider->input->value(), "0.001");
  EXPECT_EQ(std::make_tuple(arena->infection_length, arena->ambulatory_days, infection_rate,
                            sit_still, quarantine_rate, arena->immunity_duration),
            std::make_tuple(90, 7, 15, 10, 0.5, 730));
}
