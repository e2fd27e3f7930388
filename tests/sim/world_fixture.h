#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "sim/contact_grid.h"
#include "sim/random_stream.h"
#include "sim/schedules.h"
#include "sim/world.h"

// A world built by hand: every engine global at its program-start value and a population whose
// fields the test sets directly.
class WorldTest : public ::testing::Test {
protected:
  void SetUp() override {
    reset_engine_state();
    random_seed(12345);
    world.daily_interactions = 8;
    world.infection_length = 30;
    world.ambulatory_days = 7;
    world.immunity_duration = 730;
    world.lockdown = 0;
    world.hard_edge = 1;
    sit_still = 100; // nobody moves unless a test says so
    infection_rate = 100;
    quarantine_rate = 0.0;
    global_area = 100;
  }
  void TearDown() override { reset_engine_state(); }

  // Persons at the given positions, susceptible, no destination, all mobile.
  void populate(const std::vector<std::pair<int, int>>& spots) {
    clean_world();
    init_pop = static_cast<int>(spots.size());
    world.population = init_pop;
    person = static_cast<Person**>(std::malloc(sizeof(Person*) * spots.size()));
    for (size_t i = 0; i < spots.size(); ++i) {
      Person* p = new Person(0);
      p->x = p->home_x = spots[i].first;
      p->y = p->home_y = spots[i].second;
      p->dest_x = p->dest_y = -1;
      p->mobile = 1;
      person[i] = p;
    }
  }
  Person& at(int i) { return *person[i]; }

  // Ticks up to the next day boundary (inclusive).
  void tick_to_boundary() {
    do
      world.tick(hooks);
    while (iteration != 0);
  }

  World world;
  TickHooks hooks;
};

// Records what a tick hands to its hooks.
class RecordingHooks : public TickHooks {
public:
  explicit RecordingHooks(int side = 0) : pixels(static_cast<size_t>(side) * side * 3, 0) {
    canvas.rgb = pixels.data();
    canvas.width = canvas.height = side;
    for (int k = 0; k < kPaintKinds; ++k)
      canvas.colour[k][0] = canvas.colour[k][1] = canvas.colour[k][2] =
          static_cast<unsigned char>(10 + k);
  }
  ArenaCanvas* begin_frame() override {
    std::fill(pixels.begin(), pixels.end(), 0);
    return canvas.width > 0 ? &canvas : nullptr;
  }
  void daily_sample(const DailySample& s) override { samples.push_back(s); }
  void end_frame(const char* status) override { last_status = status; }
  void run_ended() override { ++endings; }
  // The paint kind plotted at (x, y), or -1 for none.
  int kind_at(int x, int y) const {
    const unsigned char v = pixels[(static_cast<size_t>(y) * canvas.width + x) * 3];
    return v == 0 ? -1 : v - 10;
  }

  std::vector<unsigned char> pixels;
  ArenaCanvas canvas;
  std::vector<DailySample> samples;
  std::string last_status;
  int endings = 0;
};
