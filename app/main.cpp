// SPDX-License-Identifier: MIT
#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <ctime>

#include "app/start_arguments.h"
#include "arena/my_win.h"
#include "arena/run_control.h"
#include "control/control_win.h"
#include "results/accumulation_store.h"
#include "setup/setup_file.h"
#include "sim/random_stream.h"
#include "sim/schedules.h"
#include "sim/world.h"

// Start-up. The two optional numbers (population, inactivity percent) only set start-up values:
// every run reads both afresh from the control panel, which a setup file given fills.
int main(int argc, char** argv) {
  init_pop = 365000;
  Setup setup;
  bool has_setup = false;
  const int status = read_start_arguments(argc, argv, &setup, &has_setup);
  if (status >= 0)
    return status;
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
  if (has_setup)
    c->show_setup(setup); // its seed, if any, replaces the one above for the first run

  Fl::run();
  return 0;
}
