// SPDX-License-Identifier: MIT
#include "tests/support/gui_run_fixture.h"

#include "results/my_chart.h"

using RunControl = GuiRunTest;

// An explicit instantiation may name a private member; the friend it defines hands it out.
FL_CHART_ENTRY* Fl_Chart::*entries();
template <FL_CHART_ENTRY* Fl_Chart::*M> struct Entries {
  friend FL_CHART_ENTRY* Fl_Chart::*entries() { return M; }
};
template struct Entries<&Fl_Chart::entries>;

// Stop before the panel notices a run's end used to report it again; a longer run pads the first.
TEST_F(RunControl, TwoWholeRunsFromStartToChartsAndAReportLineEach) {
  small_run_settings("2", "0.5");
  panel->start_button->do_callback();
  ASSERT_TRUE(pump_until([&] { return arena->done == 1; }));
  ASSERT_FALSE(panel->start_button->active()) << "the panel has not noticed the end yet";
  const int first_length = last_accumulation_cnt;
  Fl_Widget_Tracker first_charts(results_window);
  panel->stop_button->do_callback();
  EXPECT_TRUE(is_report_line(printed(), "300", "33.333333") && meta_idx == 1 &&
              last_accumulation_cnt == first_length && results_window == first_charts.widget());
  panel->infection_length_slider->input->value("9");
  panel->speed_slider->input->value("0.001");
  panel->start_button->do_callback();
  // The panel notices at the next timer call, which draws one more tick and ends the chain.
  ASSERT_TRUE(pump_until([&] { return panel->start_button->active() != 0; }));
  EXPECT_FALSE(Fl::has_timeout(draw_cb, arena));
  EXPECT_TRUE(meta_idx == 2 && panel->slot_buttons[2]->color() == FL_YELLOW) << meta_idx;
  EXPECT_LT(first_length, max_accumulation_cnt) << "the first run was shorter";
  EXPECT_TRUE(is_report_line(printed(), "300", "33.333333"));
  EXPECT_TRUE(first_charts.deleted() && results_window->shown()) << "the window is replaced";
  ASSERT_EQ(results_window->children(), 8) << "each chart followed by its title box";
  const Fl_Color colour[] = {fl_rgb_color(160, 220, 220), fl_rgb_color(220, 160, 220)};
  const char* titles[] = {"Infected", "New Infections", "Quarantined", "Dead"}; // series 0-2, 4
  for (int k = 0; k < 4; ++k) {
    auto* c = static_cast<MyChart*>(results_window->child(2 * k));
    EXPECT_STREQ(c->label(), titles[k]);
    EXPECT_STREQ(results_window->child(2 * k + 1)->label(), titles[k]) << "over the chart";
    for (int slot = 0; slot < 2; ++slot) {
      const FL_CHART_ENTRY* e = c->charts[slot]->*entries();
      ASSERT_EQ(c->charts[slot]->size(), max_accumulation_cnt);
      for (int j = 0; j < max_accumulation_cnt; ++j)
        ASSERT_EQ(std::make_pair(e[j].val, e[j].col),
                  std::make_pair(float(chart_accumulation[slot][k + (k == 3)][j]), colour[slot]));
    }
  }
}

TEST_F(RunControl, PauseResumeStopUncommittedTextsAndTheCloseAndQuitBoxes) {
  small_run_settings("90", "0.05");
  panel->start_button->do_callback();
  panel->pause_button->do_callback();
  EXPECT_STREQ(panel->pause_button->label(), "Resume");
  EXPECT_FALSE(Fl::has_timeout(draw_cb, arena));
  const int held = ticks();
  panel->pause_button->do_callback();
  EXPECT_STREQ(panel->pause_button->label(), "Pause");
  ASSERT_TRUE(pump_until([&] { return ticks() > held + 1; }));
  panel->stop_button->do_callback(); // reports at once; only the tick already asked for follows
  Fl_Window* charts = results_window;
  EXPECT_TRUE(charts && panel->start_button->active());
  const int at_stop = ticks();
  EXPECT_TRUE(pump_until([&] { return !Fl::has_timeout(draw_cb, arena); }));
  Fl::flush();
  EXPECT_TRUE(ticks() > at_stop && ticks() <= at_stop + 2 && results_window == charts);
  EXPECT_TRUE(is_report_line(printed(), "300", "33.333333"));

  // Stop or the close box while paused used to leave "Resume", arming a second timer chain.
  for (Fl_Widget* end : {static_cast<Fl_Widget*>(panel->stop_button), (Fl_Widget*)arena}) {
    panel->start_button->do_callback();
    panel->pause_button->do_callback();
    end->do_callback();
    EXPECT_STREQ(panel->pause_button->label(), "Pause");
    panel->start_button->do_callback();
    panel->pause_button->do_callback();
    EXPECT_FALSE(Fl::has_timeout(draw_cb, arena)) << "the button pauses";
    panel->stop_button->do_callback();
  }
  // A start while the last run's first tick is pending: one chain, about 12 ticks in 12 intervals.
  panel->start_button->do_callback();
  arena->do_callback();
  panel->start_button->do_callback();
  bool rang = false;
  const int first = ticks();
  const auto ring = [](void* r) { *static_cast<bool*>(r) = true; };
  Fl::add_timeout(0.05 * 12, ring, &rang);
  pump_until([&] { return rang; });
  EXPECT_TRUE(ticks() - first >= 1 && ticks() - first <= 15) << ticks() - first;

  // Uncommitted texts used to reach the run as typed; the others keep their first texts.
  panel->speed_slider->input->value("0");
  panel->arena_size_slider->input->value("5");
  panel->population_slider->input->value("-5");
  panel->initially_infected_slider->input->value("5e3");
  panel->daily_interactions_slider->input->value("100");
  panel->start_button->do_callback();
  EXPECT_EQ(
      std::make_tuple(global_area, arena->w(), arena->population, arena->infected,
                      arena->daily_interactions, speed, panel->speed_slider->input->value(),
                      arena->infection_length, arena->ambulatory_days, infection_rate, sit_still,
                      quarantine_rate, arena->immunity_duration),
      std::make_tuple(100, 100, 0, 1000, 24, 0.001, std::string("0.001"), 90, 7, 15, 10, 0.5, 730));
  results_window->do_callback(); // the charts' close box
  arena->do_callback();          // its close box: the run ends without results, the panel is free
  EXPECT_TRUE(arena->done == 1 && !arena->shown() && !results_window &&
              panel->start_button->active());
  for (Fl_Widget* quit : {static_cast<Fl_Widget*>(panel->quit_button), (Fl_Widget*)panel}) {
    panel->show(); // the quit button, then the panel's close box
    arena->show();
    panel->start_button->do_callback();
    quit->do_callback();
    EXPECT_TRUE(arena->done == 1 && !arena->shown() && !panel->shown()) << (quit == panel);
  }
}
