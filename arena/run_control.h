// SPDX-License-Identifier: MIT
#pragma once
class Fl_Widget;

// Run control: the buttons' callbacks take the arena window (MyWin*) as user data.
void start_sim_cb(Fl_Widget* w, void* win);
void stop_sim_cb(Fl_Widget* w, void* win);
void pause_sim_cb(Fl_Widget* w, void* win);
void quit_sim_cb(Fl_Widget* w, void* win);
void mywin_close_cb(Fl_Widget* w, void*);
void control_close_cb(Fl_Widget* w, void* win);
void draw_cb(void* win); // the run's timer
