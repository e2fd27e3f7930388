#include "tests/support/gui_run_fixture.h"

#include <FL/Fl.H>
#include <unistd.h>

#include <cstring>

#include "results/accumulation_store.h"
#include "results/my_chart.h"
#include "results/results_window.h"
#include "sim/run_control.h"

namespace {
bool label_is(const Fl_Widget* w, const char* text) {
  return std::strcmp(w->label(), text) == 0;
}
bool timer_armed(MyWin* w) {
  return Fl::has_timeout(draw_cb, w) != 0;
}
} // namespace

using RunControl = GuiRunTest;

TEST_F(RunControl, WholeRunFromStartToChartsAndOneReportLine) {
  StdoutCapture out;
  small_run_settings();
  press(panel->start_button);
  EXPECT_TRUE(arena->shown());
  EXPECT_FALSE(panel->start_button->active()) << "locked while running";
  EXPECT_EQ(arena->w(), 100);
  EXPECT_EQ(arena->population, 300);

  ASSERT_TRUE(pump_until([] { return results_window != nullptr; }));
  const int samples = last_accumulation_cnt;
  EXPECT_EQ(meta_idx, 1) << "the slot moves on once";
  int days = 0;
  EXPECT_TRUE(is_report_line(out.text(), 300, "33.333333", &days)) << out.text();
  EXPECT_EQ(days, samples) << "one sample at each day boundary";
  EXPECT_NE(out.text().find(save_buf), std::string::npos) << "the peak tick's status line";
  auto* infected = static_cast<MyChart*>(results_window->child(0));
  EXPECT_STREQ(infected->label(), "Infected");
  ASSERT_EQ(infected->charts[0]->size(), samples);
  EXPECT_FLOAT_EQ(chart_entries(infected->charts[0])[0].val, chart_accumulation[0][0][0]);
  EXPECT_GT(arena->graph->size(), 0) << "the live chart was fed";

  // The panel notices at the next timer call, which draws one more tick and ends the chain.
  ASSERT_TRUE(pump_until([&] { return panel->start_button->active() != 0; }));
  EXPECT_FALSE(timer_armed(arena));
  EXPECT_EQ(panel->slot_buttons[1]->color(), FL_YELLOW);
  EXPECT_EQ(panel->slot_buttons[0]->color(), FL_WHITE);
}

TEST_F(RunControl, PauseResumeAndStop) {
  StdoutCapture out;
  small_run_settings(90, "0.05");
  press(panel->start_button);
  ASSERT_TRUE(pump_until([&] { return ticks() >= 2; }));
  press(panel->pause_button);
  EXPECT_TRUE(label_is(panel->pause_button, "Resume"));
  const int held = ticks();
  pump_for(0.3);
  EXPECT_EQ(ticks(), held);
  press(panel->pause_button);
  EXPECT_TRUE(label_is(panel->pause_button, "Pause"));
  ASSERT_TRUE(pump_until([&] { return ticks() > held + 1; }, 5.0));

  // Stop reports at once; only the tick already asked for follows.
  press(panel->stop_button);
  EXPECT_EQ(out.lines(), 1);
  EXPECT_NE(results_window, nullptr);
  EXPECT_TRUE(panel->start_button->active());
  const int at_stop = ticks();
  EXPECT_TRUE(pump_until([&] { return !timer_armed(arena); }, 5.0));
  pump_for(0.1);
  EXPECT_LE(ticks(), at_stop + 1);
  EXPECT_EQ(out.lines(), 1);
}

TEST_F(RunControl, QuitAndCloseBoxesHideTheWindows) {
  small_run_settings(90, "0.01");
  press(panel->start_button);
  arena->do_callback(); // its close box: the run ends without results, the panel is free
  EXPECT_EQ(arena->done, 1);
  EXPECT_FALSE(arena->shown());
  EXPECT_EQ(results_window, nullptr);
  EXPECT_TRUE(panel->start_button->active());

  press(panel->start_button);
  press(panel->quit_button);
  EXPECT_EQ(arena->done, 1);
  EXPECT_FALSE(arena->shown() || panel->shown());

  panel->show();
  arena->show();
  panel->do_callback(); // the panel's close box
  EXPECT_FALSE(arena->shown() || panel->shown());
}

// Stop (or the arena's close box) while paused used to leave "Resume" on the button, and its
// first press in the next run armed a second timer chain.
TEST_F(RunControl, ARunStartLeavesOneTimerChainAndThePauseLabel) {
  StdoutCapture out;
  small_run_settings(90, "0.01");
  for (Fl_Widget* end : {static_cast<Fl_Widget*>(panel->stop_button), (Fl_Widget*)arena}) {
    press(panel->start_button);
    press(panel->pause_button);
    end->do_callback();
    press(panel->start_button);
    EXPECT_TRUE(label_is(panel->pause_button, "Pause"));
    press(panel->pause_button);
    EXPECT_FALSE(timer_armed(arena)) << "the button pauses";
    press(panel->stop_button);
  }
  // A second start half an interval after the first: still one chain, about 5 ticks a second.
  // (Two chains in step would share their redraws and hide each other.)
  type(panel->speed_slider, "0.2");
  press(panel->start_button);
  pump_for(0.1);
  press(panel->start_button);
  pump_for(0.15);
  const int first = ticks();
  pump_for(1.0);
  EXPECT_GE(ticks() - first, 1);
  EXPECT_LE(ticks() - first, 7);
}

// Stop pressed after the run ended by itself, before the panel noticed, used to report the run
// again: a second line, charts of 0 days and the slot moved on twice.
TEST_F(RunControl, ARunIsReportedOnceAndOnlyWhenDone) {
  StdoutCapture out;
  small_run_settings(2, "0.5");
  press(panel->start_button);
  arena->DoneSim(); // not done yet
  EXPECT_EQ(out.lines(), 0);
  EXPECT_EQ(results_window, nullptr);
  ASSERT_TRUE(pump_until([&] { return arena->done == 1; }));
  ASSERT_FALSE(panel->start_button->active()) << "the panel has not noticed the end yet";
  const int samples = last_accumulation_cnt;
  Fl_Window* charts = results_window;
  press(panel->stop_button);
  EXPECT_EQ(out.lines(), 1);
  EXPECT_EQ(meta_idx, 1);
  EXPECT_EQ(last_accumulation_cnt, samples);
  EXPECT_EQ(results_window, charts);

  press(panel->start_button);
  ASSERT_TRUE(pump_until([&] { return out.lines() == 2; })) << "the next run is reported";
  EXPECT_EQ(meta_idx, 2);
}

// A typed text not yet committed (the field still has the focus) used to reach the run as it
// stood: a Speed of 0, an arena of 5 pixels, a population below zero.
TEST_F(RunControl, UncommittedTextsAreClampedLikeACommit) {
  StdoutCapture out;
  small_run_settings(90, "0");
  const std::pair<InputSlider*, const char*> typed[] = {
      {panel->arena_size_slider, "5"},           {panel->population_slider, "-5"},
      {panel->initially_infected_slider, "5e3"}, {panel->infection_length_slider, "0"},
      {panel->daily_interactions_slider, "100"}, {panel->death_rate_slider, "250.5"},
      {panel->quarantine_rate_slider, "abc"},    {panel->chart_max_values_slider, "-3"}};
  for (auto [s, text] : typed)
    type(s, text);
  press(panel->start_button);
  EXPECT_EQ(global_area, 100);
  EXPECT_EQ(arena->w(), 100);
  EXPECT_EQ(arena->population, 0);
  EXPECT_EQ(arena->infected, 1000);
  EXPECT_EQ(arena->infection_length, 1);
  EXPECT_EQ(arena->daily_interactions, 24);
  EXPECT_EQ(arena->death_rate, 100);
  EXPECT_DOUBLE_EQ(quarantine_rate, 0.0);
  EXPECT_DOUBLE_EQ(speed, 0.001);
  EXPECT_EQ(arena->graph->maxsize(), 0);
  EXPECT_STREQ(panel->speed_slider->input->value(), "0.001");
  press(panel->stop_button);

  // Speed is read again at every tick, while the user may still be typing.
  small_run_settings(90, "0.5");
  press(panel->start_button);
  type(panel->speed_slider, "-1");
  ASSERT_TRUE(pump_until([] { return speed < 0.5; }));
  EXPECT_DOUBLE_EQ(speed, 0.001);
  EXPECT_STREQ(panel->speed_slider->input->value(), "-1") << "the typed text is left alone";
}

// A late pass of the event loop calls the timer more than once before it draws: the run catches
// up one tick, and no more, so it keeps its pace without stalling the user's events.
TEST_F(RunControl, ALatePassCatchesUpOneTick) {
  small_run_settings(90, "0.05");
  press(panel->start_button);
  ASSERT_TRUE(pump_until([&] { return ticks() >= 2; }));
  for (int round = 0; round < 3; ++round) {
    const int before = ticks();
    usleep(300000); // six intervals late
    Fl::wait(0.0);
    EXPECT_EQ(ticks(), before + 2);
  }
}
