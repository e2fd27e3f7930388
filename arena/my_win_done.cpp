// SPDX-License-Identifier: MIT
#include <cstdio>

#include "arena/my_win.h"
#include "results/accumulation_store.h"
#include "results/results_window.h"
#include "sim/report_line.h"

// Reached from the tick that ends the run and from "Stop". Stop pressed after the run has ended
// by itself, before the panel noticed, would otherwise report the run a second time: charts
// rebuilt with no days and the slot moved on twice.
void MyWin::DoneSim() {
  if (done != 1 || run_reported_)
    return;
  run_reported_ = true;
  print_report_line(stdout, *this);
  build_results_window();
  advance_slot();
}
