// SPDX-License-Identifier: MIT
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "sim/random_stream.h"
#include "sim/world.h"

// Seeds the stream so that the next `count` draws satisfy `accept`.
inline void prime_draws(int count, const std::function<bool(const int*)>& accept) {
  int draws[8];
  for (uint32_t seed = 1;; ++seed) {
    random_seed(seed);
    for (int i = 0; i < count; ++i)
      draws[i] = random_draw();
    if (accept(draws))
      return random_seed(seed);
  }
}

// Records what a tick hands to its hooks; paints into a small canvas when given a side.
class RecordingHooks : public TickHooks {
public:
  explicit RecordingHooks(int side = 0) : pixels(static_cast<size_t>(side) * side) {
    canvas = {pixels.data(), side, side, {}};
    for (int k = 0; k < kPaintKinds; ++k)
      canvas.colour[k] = static_cast<uint32_t>(10 + k);
  }
  ArenaCanvas* begin_frame() override {
    std::fill(pixels.begin(), pixels.end(), 0);
    return canvas.width > 0 ? &canvas : nullptr;
  }
  void daily_sample(const DailySample& s) override { samples.push_back(s); }
  void end_frame(const char* text) override { status = text; }
  void run_ended() override { ++endings; }
  int kind_at(int x, int y) const { // -1: nothing painted
    const uint32_t v = pixels[static_cast<size_t>(y) * canvas.width + x];
    return v == 0 ? -1 : static_cast<int>(v) - 10;
  }

  std::vector<uint32_t> pixels;
  ArenaCanvas canvas;
  std::vector<DailySample> samples;
  std::string status;
  int endings = 0;
};

// A world built by hand on a 100-pixel arena, under lockdown with nobody mobile: no move draws.
class WorldTest : public ::testing::Test {
protected:
  void SetUp() override {
    reset_engine_state();
    random_seed(12345);
    std::tie(world.daily_interactions, world.infection_length, world.ambulatory_days,
             world.immunity_duration, infection_rate, quarantine_rate, global_area) =
        std::make_tuple(8, 30, 7, 730, 100, 0.0, 100);
  }
  void TearDown() override { reset_engine_state(); }

  // Persons {x, y, state} with immunity 50 if not susceptible, without destination, not mobile.
  void populate(const std::vector<std::array<int, 3>>& people) {
    clean_world();
    init_pop = world.population = static_cast<int>(people.size());
    person = static_cast<Person**>(std::malloc(sizeof(Person*) * people.size()));
    for (size_t i = 0; i < people.size(); ++i) {
      Person* p = person[i] = new Person(0);
      p->x = p->home_x = people[i][0];
      p->y = p->home_y = people[i][1];
      p->state = people[i][2];
      p->immunity_left = p->state == 0 ? 0 : 50;
      p->dest_x = p->dest_y = -1;
    }
  }
  Person& at(int i) { return *person[i]; }
  void ticks(int n) {
    for (int i = 0; i < n; ++i)
      world.tick(rec);
  }

  World world;
  RecordingHooks rec{100};
};
