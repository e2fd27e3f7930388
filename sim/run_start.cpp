// SPDX-License-Identifier: MIT
#include "sim/random_stream.h"
#include "sim/world.h"

// The order of the random draws is what makes a seed reproduce a run: destination points,
// then the population, then under lockdown who may move.
void World::start_run(const RunParameters& params) {
  global_area = params.arena_size;
  for (DestinationPoint& point : destinations) {
    point.x = position_draw(params.arena_size);
    point.y = position_draw(params.arena_size);
  }

  infected = params.initially_infected;
  population = params.population;
  daily_interactions = params.daily_interactions;
  immunity_duration = params.immunity_duration;
  drivers_pct = params.drivers_pct;
  destination_count = params.destination_count;
  death_rate = params.death_rate;

  clean_world();
  init_world(this, population, infected);
  max = -10000000;
  // The peak line belongs to this run: a run stopped before its first tick must not report the
  // peak of the run before it.
  save_buf[0] = '\0';

  infection_length = params.infection_length;
  ambulatory_days = params.ambulatory_days;
  sit_still = params.inactivity;
  infection_rate = params.infection_rate;
  quarantine_rate = params.quarantine_rate;
  vaccination_rate = params.vaccination_rate;
  speed = params.speed;

  hide_healthy = params.hide_healthy;
  hide_quarantined = params.hide_quarantined;
  hide_recovered = params.hide_recovered;
  hard_edge = params.hard_edge;
  lockdown = params.lockdown;
  if (lockdown == 1)
    draw_mobility(sit_still);

  done = 0;
  day = 0;
  count_initial_infections();
}

void World::count_initial_infections() {
  ever_infected = 0;
  const int count = person == nullptr ? 0 : (population < init_pop ? population : init_pop);
  for (int i = 0; i < count; ++i)
    ever_infected += person[i]->ever_infected;
  cumulative_infections = ever_infected;
  newly_infected = 0;
  vaccinations = 0;
}
