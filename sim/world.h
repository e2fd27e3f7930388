// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <cstdio>

#include "sim/person.h"
#include "sim/tick_hooks.h"

constexpr int kDestinationPoints = 1000;

// The engine's shared state. There is one world per process.
extern Person** person; // the population; null when there is none
extern int init_pop;    // length of `person`
extern int global_area; // side of the square arena in pixels
extern int day;
extern int iteration; // tick within the day; no run start resets it
extern int infection_rate;
extern double quarantine_rate;
extern double vaccination_rate; // percent chance per day that a susceptible person is vaccinated
extern int sit_still;           // inactivity percent
extern double speed;            // seconds between ticks
extern int max;                 // highest infected count of the run
extern char save_buf[256];
extern int old_infected; // infected count of the previous tick, kept across runs

// Everything a run start reads from the control panel. Its first values are the table's
// (initial_run_parameters() in params/, above the engine); a bare one holds zeros.
struct RunParameters {
  int arena_size = 0;
  int initially_infected = 0;
  int population = 0;
  int daily_interactions = 0;
  int immunity_duration = 0;
  int drivers_pct = 0;
  int destination_count = 0;
  int death_rate = 0;
  int infection_length = 0;
  int ambulatory_days = 0;
  int inactivity = 0;
  int infection_rate = 0;
  double quarantine_rate = 0;
  double vaccination_rate = 0;
  double speed = 0;
  int hide_healthy = 0;
  int hide_quarantined = 0;
  int hide_recovered = 0;
  int hard_edge = 0;
  int lockdown = 0;
};

// The parameters and counters of a run. The arena window is one; the batch runner and the tests
// use it bare.
class World {
public:
  virtual ~World() = default;

  // Builds the run's world from the parameters, making the run start's random draws in their
  // order: the destination points, the population, then under lockdown who may move.
  void start_run(const RunParameters& params);
  // One tick of the simulation.
  void tick(TickHooks& hooks);
  // Sets the infection and vaccination counts from the population as it stands: a run's start.
  void count_initial_infections();

  int population = 0;
  int infected = 0;
  int dead_total = 0;
  int dead_today = 0;
  int infection_length = 0;
  int ambulatory_days = 0;
  int done = 0;
  int chart_mask = 1;
  int hide_healthy = 1;
  int hide_quarantined = 1;
  int hide_recovered = 1;
  int daily_interactions = 0;
  int immunity_duration = 0;
  int drivers_pct = 0;
  int destination_count = 0;
  int death_rate = 0;
  int hard_edge = 1;
  int lockdown = 1;
  // The run's infections: made since the last daily sample, all so far (the initially infected
  // included), and the persons infected at least once; and every vaccination so far. 64-bit where
  // a long run at full population can pass 2^31.
  int newly_infected = 0;
  long long cumulative_infections = 0;
  int ever_infected = 0;
  long long vaccinations = 0;
  DestinationPoint destinations[kDestinationPoints];
};

void init_world(World* win, int count, int infected);
void clean_world();

// Gives every person of the population a fresh lockdown mobility draw.
void draw_mobility(int inactivity);

// Puts every engine global back to its program-start value and frees the population.
void reset_engine_state();
