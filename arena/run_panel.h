// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

#include "params/run_parameters.h"
#include "sim/world.h"

// What a run start takes from the control panel; without a panel, the panel's first values.
struct PanelReading {
  RunParameters params = initial_run_parameters();
  int chart_upper_limit = static_cast<int>(param_initial("chart-upper-limit"));
  int chart_max_values = static_cast<int>(param_initial("chart-max-values"));
};

// What run control needs of the control panel. The panel implements it, so the arena window and
// the run's timer drive the panel without depending on its widgets, and the panel's buttons can
// call run control in turn.
class RunPanel {
public:
  virtual ~RunPanel() = default;

  // Every parameter as the run uses it: integers with atoi, reals with atof, each from its
  // field's text once a typed but uncommitted text has been committed (clamped into its
  // control's range and reformatted), so no run starts from a value its control would refuse.
  virtual PanelReading read_panel() = 0;
  // The tick interval "Speed" stands for now, in 0.001 .. 1.0 s, without disturbing a text the
  // user may be typing.
  virtual double read_speed() const = 0;
  // A run starts from what read_panel() has just returned. True, with it in *seed, when an
  // opened setup's seed seeds this run (the first Start since it was opened, while the panel
  // still holds its run values and schedules); false, and the random stream goes on, otherwise.
  virtual bool begin_run(uint32_t* /*seed*/) { return false; }

  virtual void LockControls() = 0;
  virtual void UnlockControls() = 0;
  // A run that is over has nothing to resume: the pause button says "Pause" again.
  virtual void show_pause_label() = 0;
  // The slot that receives the run's figures is shown in yellow.
  virtual void show_current_slot(int slot) = 0;
  virtual void refresh() = 0;
};

// The panel that runs are started from; null while there is none.
extern RunPanel* run_panel;
