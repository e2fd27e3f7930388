// SPDX-License-Identifier: MIT
#pragma once
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <cstring>
#include <tuple>

#include "arena/my_win.h"
#include "arena/run_control.h"
#include "control/control_win.h"
#include "results/accumulation_store.h"
#include "results/results_window.h"
#include "setup/setup_file.h"
#include "sim/random_stream.h"
#include "tests/chart/chart_probe.h"

// The group's first child of that label, or null.
inline Fl_Widget* labelled(const Fl_Group& group, const char* label) {
  for (int i = 0; i < group.children(); ++i)
    if (group.child(i)->label() && std::strcmp(group.child(i)->label(), label) == 0)
      return group.child(i);
  return nullptr;
}

// True when the text is exactly one report line of that population and area.
inline bool is_report_line(const std::string& text, const std::string& population,
                           const std::string& area) {
  const size_t days = text.find(" DAYS: "), area_at = text.find(" AREA: ");
  return text.rfind(population + ": ", 0) == 0 && text.find('\n') + 1 == text.size() &&
         days < area_at && text.find_first_not_of("0123456789", days + 7) == area_at &&
         text.substr(std::min(area_at, text.size())) == " AREA: " + area + "\n";
}

// A short seeded run on 100 x 100, one tick a day, at the fastest speed.
inline ::Setup small_seeded_setup(int population, int infected, uint32_t seed) {
  ::Setup s = initial_setup();
  RunParameters& p = s.params;
  std::tie(p.population, p.arena_size, p.initially_infected, p.infection_length,
           p.daily_interactions, s.display["speed"], s.has_seed, s.seed) =
      std::make_tuple(population, 100, infected, 3, 1, 0.001, true, seed);
  return s;
}

// Start-up as the program does it, stdout caught; afresh for each test, so runs do not leak.
class GuiRunTest : public ::testing::Test {
protected:
  void SetUp() override {
    testing::internal::CaptureStdout();
    reset_engine_state();
    reset_accumulation_store();
    random_seed(4242);
    arena = setup_window();
    arena->hide();
    arena->callback(mywin_close_cb, arena);
    schedule_panel = control_win = panel = new ControlWin(arena, 800, 700);
    run_panel = panel;
    panel->end();
    panel->position(0, 0);
    panel->show();
    panel->callback(control_close_cb, arena);
    arena->position(820, 0); // apart, so that neither uncovers the other and draws a stray tick
    Fl::check();
  }
  // The caught output goes on to stdout: the framework's failure messages are among it.
  void TearDown() override {
    Fl::remove_timeout(draw_cb, arena);
    results_win_cb(results_window, nullptr);
    delete panel;
    delete arena;
    std::fputs(testing::internal::GetCapturedStdout().c_str(), stdout);
  }
  // 300 persons on 100 x 100, 30 infected, one tick a day: typed, not committed.
  void small_run_settings(const char* infection_length, const char* speed_text) {
    for (auto [name, text] : {std::pair{"population", "300"},
                              {"arena-size", "100"},
                              {"initially-infected", "30"},
                              {"infection-length", infection_length},
                              {"daily-interactions", "1"},
                              {"speed", speed_text}})
      panel->field(name)->input->value(text);
  }
  int ticks() const { return day * (arena->daily_interactions + 1) + iteration; }
  std::string printed() { // since the last call, and passed on
    const std::string text = testing::internal::GetCapturedStdout();
    std::fputs(text.c_str(), stdout);
    testing::internal::CaptureStdout();
    return text;
  }
  MyWin* arena = nullptr;
  ControlWin* panel = nullptr;
};
