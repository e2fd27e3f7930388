#pragma once
#include "sim/world.h"

class ControlWin;
struct InputSlider;

// What a run start takes from the control panel.
struct PanelReading {
  RunParameters params;
  int chart_upper_limit = 50000;
  int chart_max_values = 200;
};

// Reads every parameter as the run uses it: integers with atoi, reals with atof, each from its
// field's text once a typed but uncommitted text has been committed (clamped into its control's
// range and reformatted), so no run starts from a value its control would refuse.
PanelReading read_panel(ControlWin& panel);

// The tick interval "Speed" stands for now, in 0.001 .. 1.0 s, without disturbing a text the
// user may be typing.
double read_speed(const ControlWin& panel);
