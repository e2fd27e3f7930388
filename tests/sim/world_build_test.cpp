#include <gtest/gtest.h>

#include "sim/contact_grid.h"
#include "sim/random_stream.h"
#include "sim/world.h"
#include "tests/sim/draw_control.h"

namespace {
class WorldBuild : public ::testing::Test {
protected:
  void SetUp() override { reset_engine_state(); }
  void TearDown() override { reset_engine_state(); }
  World world;
};
} // namespace

TEST_F(WorldBuild, PersonsDrawPositionThenDriverThenDestination) {
  global_area = 200;
  world.drivers_pct = 50;
  world.destination_count = 10;
  for (int i = 0; i < 1000; ++i)
    world.destinations[i] = {i, 1000 + i};
  random_seed(42);
  init_world(&world, 3, 2);
  random_seed(42);
  for (int i = 0; i < 3; ++i) {
    const int x = position_draw(200), y = position_draw(200);
    const int driver = percent_draw();
    EXPECT_EQ(person[i]->x, x);
    EXPECT_EQ(person[i]->y, y);
    EXPECT_EQ(person[i]->home_x, x);
    EXPECT_EQ(person[i]->state, i < 2 ? 1 : 0);
    if (driver >= 50) {
      EXPECT_EQ(person[i]->dest_x, -1);
      EXPECT_EQ(person[i]->dest_y, -1);
      continue;
    }
    const int k = static_cast<int>(10.0f * unit_draw());
    EXPECT_EQ(person[i]->dest_x, k);
    EXPECT_EQ(person[i]->dest_y, 1000 + k);
  }
  EXPECT_EQ(init_pop, 3);
}

TEST_F(WorldBuild, DriverSharesAtTheirLimits) {
  global_area = 100;
  world.drivers_pct = 0;
  random_seed(5);
  init_world(&world, 500, 0);
  for (int i = 0; i < 500; ++i)
    ASSERT_EQ(person[i]->dest_x, -1) << "nobody drives at 0%";
  clean_world();

  world.drivers_pct = 100;
  world.destination_count = 0; // every driver goes to point 0
  world.destinations[0] = {33, 44};
  random_seed(5);
  init_world(&world, 500, 0);
  for (int i = 0; i < 500; ++i) {
    ASSERT_EQ(person[i]->dest_x, 33);
    ASSERT_EQ(person[i]->dest_y, 44);
  }
}

TEST_F(WorldBuild, TopDrawsStayInsideTheirTables) {
  global_area = 100;
  world.drivers_pct = 101; // everybody drives
  world.destination_count = 1000;
  world.destinations[999] = {7, 8};
  world.destinations[9] = {5, 6};
  prime_next_draw(32767); // x on the far edge, not one past it
  init_world(&world, 1, 0);
  EXPECT_EQ(person[0]->x, 99);
  clean_world();

  // A destination draw at the top picks the last point in use.
  prime_draws(4, [](const int* r) { return r[3] == 32767; });
  init_world(&world, 1, 0);
  EXPECT_EQ(person[0]->dest_x, 7);
  EXPECT_EQ(person[0]->dest_y, 8);
  clean_world();
  world.destination_count = 10;
  prime_draws(4, [](const int* r) { return r[3] == 32767; });
  init_world(&world, 1, 0);
  EXPECT_EQ(person[0]->dest_x, 5);
}

TEST_F(WorldBuild, SeedsAtLeastOneAndAtMostEveryone) {
  global_area = 100;
  init_world(&world, 5, 1000);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(person[i]->state, 1);
  clean_world();
  init_world(&world, 5, 0);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(person[i]->state, 0);
}

TEST_F(WorldBuild, StartRunDrawsInItsOrder) {
  RunParameters params;
  params.arena_size = 300;
  params.population = 4;
  params.lockdown = 1;
  params.inactivity = 30;
  random_seed(9);
  world.start_run(params);

  random_seed(9);
  for (int i = 0; i < kDestinationPoints; ++i) {
    const int x = position_draw(300), y = position_draw(300);
    ASSERT_EQ(world.destinations[i].x, x);
    ASSERT_EQ(world.destinations[i].y, y);
  }
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(person[i]->x, position_draw(300));
    position_draw(300);
    percent_draw(); // driver draw; no drivers
  }
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(person[i]->mobile, percent_draw() > 30 ? 1 : 0);
  EXPECT_EQ(global_area, 300);
  EXPECT_EQ(max, -10000000);
  EXPECT_EQ(world.infected, 10);
  EXPECT_EQ(sit_still, 30);
}

TEST_F(WorldBuild, OddParametersNeverLeaveTheTables) {
  RunParameters params;
  params.population = 0;
  random_seed(1);
  world.start_run(params);
  EXPECT_EQ(person, nullptr);
  TickHooks none;
  world.tick(none); // nobody to process
  params.population = -5;
  world.start_run(params);
  EXPECT_EQ(person, nullptr);

  // An arena wider than the grid's rows, destination counts past the points, every odd value.
  params.population = 3000;
  params.arena_size = 5000;
  params.drivers_pct = 60;
  params.destination_count = 100000;
  params.initially_infected = 3000;
  params.daily_interactions = 0;
  params.infection_length = 1000;
  params.lockdown = 0;
  params.inactivity = -10;
  world.start_run(params);
  TickHooks hooks;
  for (int i = 0; i < 50; ++i)
    world.tick(hooks);
  params.arena_size = 0;
  params.destination_count = -7;
  world.start_run(params);
  for (int i = 0; i < 50; ++i)
    world.tick(hooks);
  EXPECT_EQ(day, 50) << "with no interactions every tick is a day";
}
