#include "tests/support/gui_run_fixture.h"

#include <FL/Fl.H>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "results/accumulation_store.h"
#include "results/results_window.h"
#include "sim/random_stream.h"
#include "sim/run_control.h"
#include "sim/schedules.h"

bool pump_until(const std::function<bool()>& cond, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!cond()) {
    if (std::chrono::steady_clock::now() > end)
      return false;
    Fl::wait(0.005);
  }
  return true;
}

void pump_for(double seconds) {
  pump_until([] { return false; }, seconds);
}

void GuiRunTest::SetUp() {
  reset_engine_state();
  reset_accumulation_store();
  random_seed(4242);
  Fl::visual(FL_DOUBLE);
  arena = setup_window();
  arena->hide();
  arena->callback(mywin_close_cb, arena);
  panel = new ControlWin(arena, 800, 700);
  panel->end();
  panel->position(0, 0);
  panel->show();
  control_win = panel;
  schedule_panel = panel;
  panel->callback(control_close_cb, arena);
  arena->position(820, 0); // apart, so that neither uncovers the other and draws a stray tick
  pump_for(0.05);
}

void GuiRunTest::TearDown() {
  Fl::remove_timeout(draw_cb, arena);
  if (results_window)
    results_win_cb(results_window, nullptr);
  delete panel;
  delete arena;
  reset_engine_state();
  reset_accumulation_store();
  pump_for(0.01);
}

void GuiRunTest::small_run_settings(int infection_length, const char* speed_text) {
  type(panel->population_slider, "300");
  type(panel->arena_size_slider, "100");
  type(panel->initially_infected_slider, "30");
  type(panel->infection_length_slider, std::to_string(infection_length).c_str());
  type(panel->daily_interactions_slider, "1");
  type(panel->speed_slider, speed_text);
}

int GuiRunTest::ticks() const {
  return day * (arena->daily_interactions + 1) + iteration;
}

StdoutCapture::StdoutCapture() {
  std::fflush(stdout);
  file_ = std::tmpfile();
  saved_fd_ = dup(fileno(stdout));
  dup2(fileno(file_), fileno(stdout));
}

StdoutCapture::~StdoutCapture() {
  const std::string captured = text();
  dup2(saved_fd_, fileno(stdout));
  close(saved_fd_);
  std::fclose(file_);
  std::fputs(captured.c_str(), stdout);
}

// pread: stdout shares the file's offset, which must stay at the end for further writes.
std::string StdoutCapture::text() {
  std::fflush(stdout);
  std::string out;
  char buf[512];
  ssize_t n;
  while ((n = pread(fileno(file_), buf, sizeof buf, static_cast<off_t>(out.size()))) > 0)
    out.append(buf, static_cast<size_t>(n));
  return out;
}

int StdoutCapture::lines() {
  const std::string t = text();
  return static_cast<int>(std::count(t.begin(), t.end(), '\n'));
}

bool is_report_line(const std::string& text, int population, const char* area, int* days) {
  int pop = 0, v[5], used = 0;
  char printed_area[32] = "";
  const int got = std::sscanf(text.c_str(),
                              "%d: DAY: %d INFECTED: %d EVER SICKENED: %d NEW CASES: %d DEAD: "
                              "%d DAYS: %d AREA: %31[0-9.]\n%n",
                              &pop, &v[0], &v[1], &v[2], &v[3], &v[4], days, printed_area, &used);
  return got == 8 && static_cast<size_t>(used) == text.size() && text.back() == '\n' &&
         pop == population && std::string(printed_area) == area;
}

namespace {
// The toolkit keeps a chart's entries private and offers no reader. An explicit instantiation
// may name a private member, and the friend it defines hands the member pointer out.
FL_CHART_ENTRY* Fl_Chart::*entries_member();
template <FL_CHART_ENTRY* Fl_Chart::*M> struct EntriesMember {
  friend FL_CHART_ENTRY* Fl_Chart::*entries_member() { return M; }
};
template struct EntriesMember<&Fl_Chart::entries>;
} // namespace

const FL_CHART_ENTRY* chart_entries(const Fl_Chart* chart) {
  return chart->*entries_member();
}
