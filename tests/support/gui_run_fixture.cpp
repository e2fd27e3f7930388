#include "tests/support/gui_run_fixture.h"

#include <FL/Fl.H>

#include <chrono>

#include "results/accumulation_store.h"
#include "results/results_window.h"
#include "sim/arena/run_control.h"
#include "sim/random_stream.h"
#include "sim/schedules.h"

bool pump_until(const std::function<bool()>& cond, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!cond() && std::chrono::steady_clock::now() < end)
    Fl::wait(0.005);
  return cond();
}

static void ring(void* rang) {
  *static_cast<bool*>(rang) = true;
}

// Measured against the toolkit's own timer rather than the clock: both lag alike under load.
int GuiRunTest::ticks_in(double seconds) {
  bool rang = false;
  const int first = ticks();
  Fl::add_timeout(seconds, ring, &rang);
  pump_until([&] { return rang; });
  Fl::remove_timeout(ring, &rang);
  return ticks() - first;
}

void GuiRunTest::SetUp() {
  testing::internal::CaptureStdout();
  reset_engine_state();
  reset_accumulation_store();
  random_seed(4242);
  Fl::visual(FL_DOUBLE);
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
void GuiRunTest::TearDown() {
  Fl::remove_timeout(draw_cb, arena);
  if (results_window)
    results_win_cb(results_window, nullptr);
  delete panel;
  delete arena;
  reset_engine_state();
  reset_accumulation_store();
  Fl::check();
  std::fputs((printed_ + testing::internal::GetCapturedStdout()).c_str(), stdout);
}

void GuiRunTest::small_run_settings(int infection_length, const char* speed_text) {
  type(panel->population_slider, "300");
  type(panel->arena_size_slider, "100");
  type(panel->initially_infected_slider, "30");
  type(panel->infection_length_slider, std::to_string(infection_length).c_str());
  type(panel->daily_interactions_slider, "1");
  type(panel->speed_slider, speed_text);
}

std::string GuiRunTest::printed() {
  printed_ += testing::internal::GetCapturedStdout();
  testing::internal::CaptureStdout();
  return printed_;
}

bool is_report_line(const std::string& text, int population, const char* area) {
  int pop = 0, used = 0;
  char printed_area[32] = "";
  const int got = std::sscanf(text.c_str(),
                              "%d: DAY: %*d INFECTED: %*d EVER SICKENED: %*d NEW CASES: %*d "
                              "DEAD: %*d DAYS: %*d AREA: %31[0-9.]%n",
                              &pop, printed_area, &used);
  return got == 2 && pop == population && std::string(printed_area) == area &&
         text.substr(static_cast<size_t>(used)) == "\n";
}

namespace {
// An explicit instantiation may name a private member; the friend it defines hands it out.
FL_CHART_ENTRY* Fl_Chart::*entries_member();
template <FL_CHART_ENTRY* Fl_Chart::*M> struct EntriesMember {
  friend FL_CHART_ENTRY* Fl_Chart::*entries_member() { return M; }
};
template struct EntriesMember<&Fl_Chart::entries>;
} // namespace

const FL_CHART_ENTRY* chart_entries(const Fl_Chart* chart) {
  return chart->*entries_member();
}
