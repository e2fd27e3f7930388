// SPDX-License-Identifier: MIT
#include "sim/world.h"

#include <cstdlib>
#include <cstring>

#include "sim/contact_grid.h"
#include "sim/random_stream.h"
#include "sim/schedules.h"

// Each engine global once, with its value at program start: defined from this list, and put back
// to it by reset_engine_state. The population and the peak line are set apart below.
#define ENGINE_GLOBALS(X)                                                                          \
  X(int, init_pop, 0)                                                                              \
  X(int, global_area, 400)                                                                         \
  X(int, day, 0)                                                                                   \
  X(int, iteration, 0)                                                                             \
  X(int, infection_rate, 15)                                                                       \
  X(double, quarantine_rate, 0.5)                                                                  \
  X(double, vaccination_rate, 0.0)                                                                 \
  X(int, sit_still, -1)                                                                            \
  X(double, speed, 0.01)                                                                           \
  X(int, max, -10000000)                                                                           \
  X(int, old_infected, 0)

#define DEFINE_GLOBAL(type, name, start) type name = start;
ENGINE_GLOBALS(DEFINE_GLOBAL)
#undef DEFINE_GLOBAL
Person** person = nullptr;
char save_buf[256] = "";

// A unit draw of exactly 1 would pick the point one past the last one in use.
static int destination_index(const World& w) {
  int k = static_cast<int>(static_cast<float>(w.destination_count) * unit_draw());
  if (w.destination_count >= 1 && k > w.destination_count - 1)
    k = w.destination_count - 1;
  if (k > kDestinationPoints - 1)
    k = kDestinationPoints - 1;
  return k < 0 ? 0 : k;
}

static Person* build_person(World* win, int i, int infected) {
  Person* p = new Person(i <= infected - 1 ? 1 : 0);
  if (percent_draw() >= win->drivers_pct) {
    p->dest_x = -1;
    p->dest_y = -1;
    return p;
  }
  const DestinationPoint& point = win->destinations[destination_index(*win)];
  p->dest_x = point.x;
  p->dest_y = point.y;
  return p;
}

void init_world(World* win, int count, int infected) {
  win->dead_total = 0;
  win->dead_today = 0;
  // An existing population is left as it is, and with it the count clean_world frees.
  if (person != nullptr)
    return;
  init_pop = count;
  if (count <= 0)
    return;
  person = static_cast<Person**>(std::malloc(sizeof(Person*) * static_cast<size_t>(count)));
  if (person == nullptr) {
    init_pop = 0; // nobody could be built; the run has no population
    return;
  }
  // The draws of one person are x, y, the driver draw and, for a driver, its destination:
  // this order fixes the population for a seed.
  for (int i = 0; i < count; ++i)
    person[i] = build_person(win, i, infected);
}

void clean_world() {
  if (person == nullptr)
    return;
  for (int i = 0; i < init_pop; ++i)
    delete person[i];
  std::free(person);
  person = nullptr;
}

void draw_mobility(int inactivity) {
  if (person == nullptr)
    return;
  for (int i = 0; i < init_pop; ++i)
    person[i]->mobile = percent_draw() > inactivity ? 1 : 0;
}

void reset_engine_state() {
  clean_world();
#define RESET_GLOBAL(type, name, start) name = start;
  ENGINE_GLOBALS(RESET_GLOBAL)
#undef RESET_GLOBAL
  save_buf[0] = '\0';
  reset_schedules();
  clear_sick_list();
}
