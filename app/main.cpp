// SPDX-License-Identifier: MIT
#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "app/start_arguments.h"
#include "arena/my_win.h"
#include "arena/run_control.h"
#include "control/control_win.h"
#include "ensemble_window/ensemble_win.h"
#include "results/accumulation_store.h"
#include "setup/setup_file.h"
#include "sim/random_stream.h"
#include "sim/schedules.h"
#include "sim/world.h"

namespace {

// Tells a failure on one line and gives the exit status it ends with.
int fail(const std::string& error, int status) {
  std::fprintf(stderr, "epidemic_sim: %s\n", error.c_str());
  return status;
}

// Writes --help's or --version's text whole. False with one line in *error otherwise.
bool print(const char* text, std::string* error) {
  errno = 0;
  if (std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0)
    return true;
  *error = std::string("cannot write standard output: ") + std::strerror(errno != 0 ? errno : EIO);
  return false;
}

} // namespace

// Start-up. The two optional numbers (population, inactivity percent) only set start-up values:
// every run reads both afresh from the control panel, which a setup file given fills.
int main(int argc, char** argv) {
  init_pop = 365000;
  StartArguments start;
  std::string error;
  if (!read_start_arguments(argc, argv, &start, &error))
    return fail(error, 2);
  if (start.text)
    return print(start.text, &error) ? 0 : fail(error, 1);
  // One seeding for every run; only an opened setup that holds a seed reseeds the next run.
  random_seed(static_cast<uint32_t>(std::time(nullptr)));

  // The desktop ties the windows to the menu entry and its icon by this class.
  Fl_Window::default_xclass("epidemic_sim");
  Fl::visual(FL_DOUBLE);
  Fl::get_system_colors();
  Fl::set_fonts(nullptr);
  clear_acc_cb(nullptr, nullptr);

  // The arena window stays hidden until a run starts.
  MyWin* w = setup_window();
  w->hide();
  w->callback(mywin_close_cb, w);

  auto* c = new ControlWin(w, 800, 700);
  c->end();
  c->color(FL_WHITE);
  c->show();
  control_win = c;
  run_panel = c;
  schedule_panel = c; // the engine follows the panel's schedules
  c->callback(control_close_cb, w);
  connect_ensemble_window(c);
  if (start.has_setup)
    c->show_setup(start.setup); // its seed, if any, replaces the one above for the first run

  Fl::run();
  // The last window is closed: an ensemble still running goes with the program.
  close_ensemble_window();
  return 0;
}
