// SPDX-License-Identifier: MIT
#pragma once
class Fl_Widget;
class Fl_Window;

// The "Charts" window of the last finished run, or null when none is open.
extern Fl_Window* results_window;

// The results window's close box: the window goes; the store stays.
void results_win_cb(Fl_Widget* window, void*);

// Replaces any open results window with one drawn from the accumulation store: four charts that
// overlay every slot, each slot in its own colour.
void build_results_window();
