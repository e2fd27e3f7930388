// SPDX-License-Identifier: MIT
// The engine against a slow, literal model of the rules (rows of 350 null-terminated slots, each
// draw from its formula): each tick of random configurations must leave both worlds identical.
#include <algorithm>
#include <cstring>

#include "params/run_parameters.h"
#include "tests/sim/world_fixture.h"

namespace {

struct Model {
  std::vector<Person> people;
  World params; // only the parameters are read
  int day, iteration, old_infected, infected = 0, dead_today = 0, dead_total = 0;
  long long new_infections = 0, cumulative = 0, vaccinations = 0; // counted here, not read back
  const PolicyArray* vaccination_schedule = nullptr;              // in use when set
  double vaccination = 0.0, vaccination_step = 0.0;
  std::vector<DailySample> samples;
  std::string status;
  const Person* grid[1080][350];

  static float u() { return static_cast<float>(random_draw()) / 32767.0f; }
  static int percent() { return static_cast<int>(static_cast<double>(u()) * 100.0); }
  static double real_percent() { return static_cast<double>(u()) * 100.0; }

  void add(const Person* p) {
    for (int s = 0; s < 350 && !p->dead; ++s)
      if (grid[p->y][s] == nullptr) {
        grid[p->y][s] = p;
        return;
      }
  }
  int check(const Person* p) const {
    for (const Person* o : grid[p->y]) {
      if (o == nullptr)
        return 0;
      if (!o->dead && o != p && o->x == p->x)
        return 1;
    }
    return 0;
  }
  int edge(int c) const {
    const int a = global_area;
    c = c >= a ? (params.hard_edge ? a - 1 : 0) : c;
    return c < 0 ? (params.hard_edge ? 0 : a - 1) : c;
  }
  int step() const {
    const int v = static_cast<int>(static_cast<double>(u()) * 4.0 - 1.0);
    return v == 1 ? -1 : v == 2 ? 1 : 0;
  }

  void settle_vaccination() {
    const PolicyArray& s = *vaccination_schedule;
    bool hit = false;
    for (int i = 0; i < kSetpoints; ++i)
      if (s[i].setpoint_day == day - 1) {
        hit = true;
        vaccination = s[i].value;
        vaccination_step = 0.0;
        if (i < kSetpoints - 1 && s[i + 1].setpoint_day > s[i].setpoint_day)
          vaccination_step =
              (s[i + 1].value - s[i].value) / (s[i + 1].setpoint_day - s[i].setpoint_day);
      }
    if (!hit)
      vaccination += vaccination_step;
  }

  int compartment(const Person& p) const {
    const int ill = p.state < params.ambulatory_days ? kSampleAmbulatory : kSampleBedridden;
    const int immune = p.vaccinated ? kSampleVaccinated : kSampleRecovered;
    return p.dead          ? kSampleDead
           : p.state > 0   ? ill
           : p.state == 0  ? kSampleSusceptible
           : p.state == -1 ? immune
                           : kSampleQuarantined;
  }

  void tick() {
    const World& w = params;
    iteration += 1;
    if (w.daily_interactions < iteration)
      day += 1, iteration = 0;
    const bool b = iteration == 0;
    std::memset(grid, 0, sizeof grid);
    if (b && vaccination_schedule)
      settle_vaccination();
    infected = 0;
    int nq = 0, immune = 0, deaths = 0, nv = 0, sick = 0;
    for (Person& p : people) {
      if (p.dead)
        continue;
      if (b && p.immunity_left > 0)
        immune++, p.immunity_left--;
      if (b && vaccination > 0 && p.state == 0 && vaccination > real_percent())
        p.state = -1, p.immunity_left = w.immunity_duration, p.vaccinated = 1, nv++;
      if (p.state > 0) {
        p.immunity_left = w.immunity_duration;
        sick++;
        add(&p);
        if (p.state >= w.infection_length) {
          p.state = -1;
          if (static_cast<double>(w.death_rate) > real_percent())
            p.dead = 1, deaths++;
        } else {
          infected++;
          if (b && ++p.state && quarantine_rate > real_percent())
            p.state = -21, nq++;
        }
      }
      if (p.state < 0 && b && p.state < -1)
        p.state++;
      sick += p.state < 0 && !p.vaccinated;
      if (p.state < 0 && p.immunity_left <= 0)
        p.state = 0, p.vaccinated = 0;
      if (p.state < w.ambulatory_days && p.state >= -1) {
        const bool moves = w.lockdown ? p.mobile == 1 : percent() > sit_still;
        if (moves && p.dest_x >= 0 && p.dest_y >= 0) {
          if (p.dwell > 1) {
            p.dwell--;
          } else if (p.dwell == 1) {
            p.x = p.home_x, p.y = p.home_y, p.dwell = 0;
          } else {
            p.x = p.dest_x, p.y = p.dest_y, p.dwell = w.daily_interactions / 2;
          }
        } else if (moves) {
          const int dx = step(), dy = step();
          p.x = edge(p.x + dx), p.y = edge(p.y + dy);
        }
      }
    }
    for (Person& p : people)
      if (!p.dead && p.state == 0 && check(&p) && percent() < infection_rate)
        p.state = 1, p.ever_infected = 1, new_infections++, cumulative++;
    vaccinations += nv;
    const int new_cases = std::max(infected - old_infected, 0);
    old_infected = infected;
    if (b) {
      DailySample s{{infected, new_cases, nq, immune, dead_today, nv, new_infections, cumulative}};
      for (const Person& p : people)
        s.value[compartment(p)]++;
      samples.push_back(s), dead_today = 0, new_infections = 0;
    }
    dead_today += deaths, dead_total += deaths;
    status = "DAY: " + std::to_string(day) + " INFECTED: " + std::to_string(infected) +
             " EVER SICKENED: " + std::to_string(sick) +
             " NEW CASES: " + std::to_string(new_cases) + " DEAD: " + std::to_string(dead_total);
  }
};

// A random configuration; half the time a vaccination schedule in use (up to four setpoints, the
// last often later than a run reaches).
RunParameters random_parameters(uint32_t seed, PolicyArray* s, bool* in_use) {
  auto pick = [](int lo, int hi) { return lo + random_draw() % (hi - lo + 1); };
  random_seed(seed);
  for (int i = 0; i < kSetpoints; ++i)
    (*s)[i] = {-1, 0.0};
  *in_use = pick(0, 1) == 1;
  const int used = pick(1, 4);
  for (int i = 0, d = pick(0, 3); i < used; ++i, d += pick(1, 15))
    (*s)[i] = {d, pick(0, 800) / 100.0};
  random_seed(seed);
  RunParameters p = initial_run_parameters();
  std::tie(p.population, p.arena_size, p.initially_infected, p.daily_interactions,
           p.immunity_duration) =
      std::tuple{pick(300, 4000), pick(100, 180), pick(1, 60), pick(1, 10), pick(0, 40)};
  p.drivers_pct = pick(0, 2) == 0 ? 0 : pick(0, 100);
  std::tie(p.destination_count, p.death_rate, p.infection_length, p.ambulatory_days, p.inactivity,
           p.infection_rate) =
      std::tuple{pick(0, 1000), pick(0, 40), pick(1, 30), pick(1, 12), pick(0, 100), pick(0, 100)};
  p.quarantine_rate = pick(0, 3000) / 100.0;
  std::tie(p.hard_edge, p.lockdown) = std::tuple{pick(0, 1), pick(0, 1)};
  p.vaccination_rate = pick(0, 2) == 0 ? 0.0 : pick(0, 500) / 100.0;
  return p;
}

// Persons and samples are plain records of ints: equal bytes are equal fields.
void compare_runs(const RunParameters& params, uint32_t seed, int ticks,
                  const PolicyArray* vaccination_schedule = nullptr) {
  reset_engine_state();
  SchedulePanel panel;
  if (vaccination_schedule) {
    panel.vaccination_policy = *vaccination_schedule;
    panel.vaccination_policy_on = 1;
    schedule_panel = &panel;
  }
  World world;
  random_seed(seed);
  world.start_run(params);
  Model model;
  model.params = world;
  model.vaccination = params.vaccination_rate;
  model.vaccination_schedule = vaccination_schedule;
  for (int i = 0; i < init_pop; ++i) {
    model.people.push_back(*person[i]);
    model.cumulative += person[i]->state > 0;
  }
  std::tie(model.day, model.iteration, model.old_infected) = std::tie(day, iteration, old_infected);
  RecordingHooks hooks;
  for (int t = 0; t < ticks && !world.done; ++t) {
    const uint32_t before = random_state;
    world.tick(hooks);
    const uint32_t engine_after = random_state;
    random_state = before;
    model.tick();
    ASSERT_EQ(std::make_tuple(random_state, model.day, model.status, model.vaccination),
              std::make_tuple(engine_after, day, hooks.status, vaccination_rate))
        << "tick " << t << ": stream state, day, status line, vaccination rate";
    for (int i = 0; i < init_pop; ++i)
      ASSERT_EQ(std::memcmp(&model.people[i], person[i], sizeof(Person)), 0)
          << "tick " << t << " person " << i;
  }
  // The end figures: every infection made, the persons ever infected, every vaccination.
  const long long ever = std::count_if(model.people.begin(), model.people.end(),
                                       [](const Person& p) { return p.ever_infected == 1; });
  EXPECT_EQ(std::make_tuple(world.cumulative_infections, world.ever_infected, world.vaccinations,
                            world.dead_total),
            std::make_tuple(model.cumulative, ever, model.vaccinations, model.dead_total));
  ASSERT_EQ(model.samples.size(), hooks.samples.size());
  for (size_t i = 0; i < hooks.samples.size(); ++i)
    EXPECT_EQ(std::memcmp(&model.samples[i], &hooks.samples[i], sizeof(DailySample)), 0)
        << "sample " << i;
  reset_engine_state();
}

} // namespace

TEST(ReferenceModel, RandomConfigurationsAgreeTickByTick) {
  for (uint32_t config = 1; config <= 40; ++config) {
    SCOPED_TRACE("configuration " + std::to_string(config));
    PolicyArray schedule;
    bool scheduled = false;
    const RunParameters params = random_parameters(config, &schedule, &scheduled);
    compare_runs(params, config * 7919u, 400, scheduled ? &schedule : nullptr);
  }
}

TEST(ReferenceModel, CrowdedRowsAgree) {
  // Far more than 350 infectious persons to a row: the row limit decides who infects.
  RunParameters p = initial_run_parameters();
  std::tie(p.population, p.arena_size, p.initially_infected, p.infection_rate, p.lockdown,
           p.inactivity) = std::make_tuple(60000, 100, 1000, 30, 0, 50);
  compare_runs(p, 2024, 40);
  // Without immunity a recovering person is susceptible again in its own tick, still entered;
  // one who dies then is not asked.
  std::tie(p.immunity_duration, p.infection_length, p.death_rate) = std::make_tuple(0, 2, 20);
  compare_runs(p, 77, 60);
}
