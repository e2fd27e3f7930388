// SPDX-License-Identifier: MIT
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "sim/contact_grid.h"
#include "sim/random_stream.h"
#include "sim/report_line.h"
#include "sim/schedules.h"
#include "sim/world.h"

namespace {

// The two draws a tick makes for nearly every person, looked up instead of computed; each
// entry is exactly what the formula gives for that raw draw.
struct DrawTables {
  signed char percent[32768]; // trunc(u * 100)
  signed char step[32768];    // -1, 0 or +1 from v = trunc(u * 4 - 1)
  DrawTables() {
    for (int r = 0; r < 32768; ++r) {
      const double u = static_cast<double>(unit_of(r));
      percent[r] = static_cast<signed char>(static_cast<int>(u * 100.0));
      const int v = static_cast<int>(u * 4.0 - 1.0);
      step[r] = static_cast<signed char>(v == 1 ? -1 : v == 2 ? 1 : 0);
    }
  }
};
const DrawTables tables;

// What the first pass needs, read once: the loop writes persons through pointers, and copies
// keep the compiler from re-reading every field after each write.
struct Pass {
  bool boundary;
  int infection_length;
  int ambulatory_days;
  int immunity_duration;
  int half_interactions;
  int death_rate;
  double quarantine_rate;
  double vaccination_rate;
  bool vaccinating; // a day boundary with a rate above 0: the only ticks that draw for it
  int sit_still;
  long long move_span; // a person moves while 0 <= state + 1 < move_span
  int area;
  int beyond_far;  // where a step past the far edge lands
  int beyond_near; // where a step below 0 lands
  bool lockdown;
  bool hide_healthy;
  bool hide_quarantined;
  bool hide_recovered;
  ArenaCanvas* canvas;
  Person** susceptible; // filled by the first pass, as long as the population
  int susceptible_count = 0;
  // tallies of the tick
  int infected = 0;
  int sick_tally = 0;
  int newly_quarantined = 0;
  int immune_count = 0;
  int deaths = 0;
  int newly_vaccinated = 0;
  int compartment[kCompartments] = {}; // at a day boundary, as the first pass leaves the records
};

template <bool Paint> inline void plot(const Pass& pass, const Person* p, PaintKind kind) {
  if (!Paint)
    return;
  const ArenaCanvas* c = pass.canvas;
  if (static_cast<unsigned>(p->x) >= static_cast<unsigned>(c->width) ||
      static_cast<unsigned>(p->y) >= static_cast<unsigned>(c->height))
    return;
  c->pixels[static_cast<size_t>(p->y) * c->width + p->x] = c->colour[kind];
}

// An infection runs its course; it ends (maybe fatally) once its day count has reached the
// length, otherwise the person counts as infected and, at a day boundary, ages a day and may be
// quarantined. It is in the grid either way, at where it stood before this tick's move.
// Returns the grid slot it was entered in, or -1.
inline int course_of_illness(Pass& pass, Person* p) {
  p->immunity_left = pass.immunity_duration;
  pass.sick_tally++;
  const int slot = enter_sick_list(p);
  if (p->state >= pass.infection_length) {
    p->state = -1;
    if (static_cast<double>(pass.death_rate) > real_percent_draw()) {
      p->dead = 1;
      pass.deaths++;
    }
    return slot;
  }
  pass.infected++;
  if (!pass.boundary)
    return slot;
  p->state++;
  if (pass.quarantine_rate > real_percent_draw()) {
    p->state = -21;
    pass.newly_quarantined++;
  }
  return slot;
}

// A susceptible person may be vaccinated at a day boundary: immune at once, as on recovery.
inline void vaccination(Pass& pass, Person* p) {
  if (pass.vaccination_rate > real_percent_draw()) {
    p->state = -1;
    p->immunity_left = pass.immunity_duration;
    p->vaccinated = 1;
    pass.newly_vaccinated++;
  }
}

// Recovered, vaccinated and quarantined persons turn susceptible once their immunity is spent;
// the colour is the one of the state the person held before that.
template <bool Paint> inline void end_of_immunity_and_paint(const Pass& pass, Person* p) {
  if (p->state > 0) {
    plot<Paint>(pass, p,
                p->state < pass.ambulatory_days ? kPaintInfectedAmbulant : kPaintInfectedBedridden);
  } else if (p->state == 0) {
    if (!pass.hide_healthy)
      plot<Paint>(pass, p, kPaintHealthy);
  } else if (p->state == -1) {
    const PaintKind kind = p->vaccinated ? kPaintVaccinated : kPaintRecovered;
    if (p->immunity_left <= 0)
      p->state = 0, p->vaccinated = 0;
    if (!pass.hide_recovered)
      plot<Paint>(pass, p, kind);
  } else {
    if (p->immunity_left <= 0)
      p->state = 0, p->vaccinated = 0;
    if (!pass.hide_quarantined)
      plot<Paint>(pass, p, kPaintQuarantined);
  }
}

// Hard edges stop a step, soft ones wrap it around; the two tests run in this order.
inline int edge(const Pass& pass, int c) {
  c = c >= pass.area ? pass.beyond_far : c;
  return c < 0 ? pass.beyond_near : c;
}

// A driver shuttles between home and its destination without any draw: it dwells at the
// destination for a while, then goes home, and jumps back at its next move.
inline void drive(const Pass& pass, Person* p) {
  if (p->dwell > 1) {
    p->dwell--;
  } else if (p->dwell == 1) {
    p->x = p->home_x;
    p->y = p->home_y;
    p->dwell = 0;
  } else {
    p->x = p->dest_x;
    p->y = p->dest_y;
    p->dwell = pass.half_interactions;
  }
}

inline void move(const Pass& pass, Person* p) {
  // Quarantined persons and those too ill to walk about stay put.
  if (static_cast<unsigned long long>(static_cast<long long>(p->state) + 1) >=
      static_cast<unsigned long long>(pass.move_span))
    return;
  const bool moves =
      pass.lockdown ? p->mobile == 1 : tables.percent[random_draw()] > pass.sit_still;
  if (!moves)
    return;
  if (p->dest_x >= 0 && p->dest_y >= 0) {
    drive(pass, p);
    return;
  }
  const int dx = tables.step[random_draw()];
  const int dy = tables.step[random_draw()];
  p->x = edge(pass, p->x + dx);
  p->y = edge(pass, p->y + dy);
}

// Where a living person stands in the daily sample's compartments, by its record.
inline int compartment_of(const Person* p, int ambulatory_days) {
  const int state = p->state;
  if (state > 0)
    return state < ambulatory_days ? kSampleAmbulatory : kSampleBedridden;
  if (state == 0)
    return kSampleSusceptible;
  if (state < -1)
    return kSampleQuarantined;
  return p->vaccinated ? kSampleVaccinated : kSampleRecovered;
}

// Only the first check looks at `dead`: a person who dies in this tick still finishes it.
// Counting the compartments is a parameter of its own, true at a day boundary alone, so that the
// other ticks run without it.
template <bool Paint, bool Count> inline void first_pass(Pass& pass, Person* p) {
  if (p->dead) {
    plot<Paint>(pass, p, kPaintDead);
    if (Count)
      pass.compartment[kSampleDead - kFirstCompartment]++;
    return;
  }
  if (pass.boundary && p->immunity_left > 0) {
    pass.immune_count++;
    p->immunity_left--;
  }
  if (pass.vaccinating && p->state == 0)
    vaccination(pass, p);
  const int row = p->y;
  const int slot = p->state > 0 ? course_of_illness(pass, p) : -1;
  if (p->state < 0) {
    if (pass.boundary && p->state < -1)
      p->state++;
    // EVER SICKENED counts only those who were ill.
    pass.sick_tally += p->vaccinated == 0;
  }
  end_of_immunity_and_paint<Paint>(pass, p);
  move(pass, p);
  // Its place in the index is where it stands now, in the row it was entered in: nothing
  // else of this tick moves or kills it.
  index_entry(p, row, slot);
  pass.susceptible[pass.susceptible_count] = p;
  pass.susceptible_count += (p->state == 0) & (p->dead == 0);
  // The compartments are counted at a day boundary while the person's record is at hand: a walk
  // of its own, once a day, would fetch every record from memory once more. Only the infection
  // pass changes a record after this, and tick() accounts for what it changes.
  if (Count)
    pass.compartment[(p->dead ? kSampleDead : compartment_of(p, pass.ambulatory_days)) -
                     kFirstCompartment]++;
}

template <bool Paint, bool Count> void first_passes(Pass& pass, int count) {
  for (int i = 0; i < count; ++i)
    first_pass<Paint, Count>(pass, person[i]);
}

// Infections do not chain within a tick: the grid holds only those infectious at its start.
// Only the persons still susceptible after the first pass can be infected, and nothing before
// their own turn here changes that, so the first pass lists them and only they are asked.
struct Infections {
  int made = 0;
  int first = 0; // of persons never infected before in this run
};
Infections second_pass(Person* const* susceptible, int count) {
  const int rate = infection_rate;
  const int width = contact_index.width;
  const uint16_t* cells = contact_index.cells;
  Infections n;
  for (int i = 0; i < count; ++i) {
    Person* p = susceptible[i];
    bool contact;
    if (static_cast<unsigned>(p->y) < static_cast<unsigned>(kGridRows) &&
        static_cast<unsigned>(p->x) < static_cast<unsigned>(width))
      contact = indexed_contact(p, cells[p->y * width + p->x]);
    else
      contact = check_sick_list(p);
    if (contact && tables.percent[random_draw()] < rate) {
      p->state = 1;
      n.made++;
      n.first += p->ever_infected == 0;
      p->ever_infected = 1;
    }
  }
  return n;
}

// The tick's inputs, read once.
Pass pass_of(const World& w, bool boundary, ArenaCanvas* canvas) {
  Pass pass{};
  pass.boundary = boundary;
  pass.infection_length = w.infection_length;
  pass.ambulatory_days = w.ambulatory_days;
  pass.immunity_duration = w.immunity_duration;
  pass.half_interactions = w.daily_interactions / 2;
  pass.death_rate = w.death_rate;
  pass.quarantine_rate = quarantine_rate;
  pass.vaccination_rate = vaccination_rate;
  pass.vaccinating = boundary && vaccination_rate > 0;
  pass.sit_still = sit_still;
  pass.move_span = w.ambulatory_days + 1LL > 0 ? w.ambulatory_days + 1LL : 0;
  pass.area = global_area;
  pass.beyond_far = w.hard_edge ? global_area - 1 : 0;
  pass.beyond_near = w.hard_edge ? 0 : global_area - 1;
  pass.lockdown = w.lockdown != 0;
  pass.hide_healthy = w.hide_healthy != 0;
  pass.hide_quarantined = w.hide_quarantined != 0;
  pass.hide_recovered = w.hide_recovered != 0;
  pass.canvas = canvas;
  return pass;
}

} // namespace

void World::tick(TickHooks& hooks) {
  iteration += 1;
  if (daily_interactions < iteration) {
    day += 1;
    iteration = 0;
  }
  const bool boundary = iteration == 0;
  ArenaCanvas* canvas = hooks.begin_frame();
  clear_sick_list();
  start_contact_index(global_area);
  if (boundary && schedule_panel != nullptr) {
    if (schedule_panel->lazy_policy_on)
      SettleInactivity();
    if (schedule_panel->quarantine_policy_on)
      SettleQuarantine();
    if (schedule_panel->vaccination_policy_on)
      SettleVaccination();
  }

  Pass pass = pass_of(*this, boundary, canvas);
  const int count = person == nullptr ? 0 : (population < init_pop ? population : init_pop);
  // Grows with the largest population seen, so a tick allocates nothing once a run is going.
  static std::vector<Person*> susceptible;
  if (susceptible.size() < static_cast<size_t>(count))
    susceptible.resize(static_cast<size_t>(count));
  pass.susceptible = susceptible.data();
  // Painting or not, and counting or not, are decided once per tick, not once per person.
  if (canvas != nullptr)
    boundary ? first_passes<true, true>(pass, count) : first_passes<true, false>(pass, count);
  else
    boundary ? first_passes<false, true>(pass, count) : first_passes<false, false>(pass, count);
  infected = pass.infected;
  finish_contact_index();
  const Infections infections = second_pass(pass.susceptible, pass.susceptible_count);
  newly_infected += infections.made;
  cumulative_infections += infections.made;
  ever_infected += infections.first;
  vaccinations += pass.newly_vaccinated;

  int new_cases = infected - old_infected;
  old_infected = infected;
  if (new_cases < 0)
    new_cases = 0;

  if (boundary) {
    DailySample sample{{infected, new_cases, pass.newly_quarantined, pass.immune_count, dead_today,
                        pass.newly_vaccinated, newly_infected, cumulative_infections}};
    // The infection pass moved its new infections from susceptible to day 1 of illness.
    pass.compartment[kSampleSusceptible - kFirstCompartment] -= infections.made;
    pass.compartment[(1 < ambulatory_days ? kSampleAmbulatory : kSampleBedridden) -
                     kFirstCompartment] += infections.made;
    std::copy(pass.compartment, pass.compartment + kCompartments, sample.value + kFirstCompartment);
    hooks.daily_sample(sample);
    dead_today = 0;
    newly_infected = 0;
  }
  // Deaths of the sampling tick count towards the next sample.
  dead_today += pass.deaths;
  dead_total += pass.deaths;

  char status[256];
  format_status_line(status, sizeof status, day, infected, pass.sick_tally, new_cases, dead_total);
  hooks.end_frame(status);
  if (infected > max) {
    max = infected;
    std::snprintf(save_buf, sizeof save_buf, "%s", status);
  }

  if (infected == 0 && population > 0 && done == 0) {
    done = 1;
    hooks.run_ended();
  }
}
