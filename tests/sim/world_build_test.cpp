#include <cstdio>

#include "tests/sim/world_fixture.h"

using WorldBuild = WorldTest;

TEST_F(WorldBuild, EachPersonDrawsPositionDriverThenDestination) {
  world.drivers_pct = 50;
  world.destination_count = 10;
  for (int i = 0; i < kDestinationPoints; ++i)
    world.destinations[i] = {i, 1000 + i};
  random_seed(42);
  init_world(&world, 6, 2);
  random_seed(42);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(person[i]->x, position_draw(100));
    EXPECT_EQ(person[i]->y, position_draw(100));
    EXPECT_EQ(person[i]->state, i < 2 ? 1 : 0);
    const int k = percent_draw() < 50 ? static_cast<int>(10.0f * unit_draw()) : -1;
    EXPECT_EQ(person[i]->dest_x, k);
    EXPECT_EQ(person[i]->dest_y, k < 0 ? -1 : 1000 + k);
  }
  clean_world();
  // Nobody drives at 0%; at 100% with no destinations in use every driver goes to point 0.
  world.drivers_pct = 0;
  init_world(&world, 200, 0);
  for (int i = 0; i < 200; ++i)
    ASSERT_EQ(person[i]->dest_x, -1);
  clean_world();
  world.drivers_pct = 100;
  world.destination_count = 0;
  init_world(&world, 200, 0);
  int at_zero = 0;
  for (int i = 0; i < 200; ++i)
    at_zero += person[i]->dest_x == 0 && person[i]->dest_y == 1000;
  EXPECT_GE(at_zero, 199); // a driver draw of exactly 100 is not below 100
}

TEST_F(WorldBuild, TopDrawsStayInsideTheirTables) {
  world.drivers_pct = 101;
  world.destination_count = 1000;
  world.destinations[999] = {7, 8};
  prime_next_draw(32767);
  init_world(&world, 1, 0);
  EXPECT_EQ(person[0]->x, 99) << "on the far edge, not one past it";
  clean_world();
  prime_draws(4, [](const int* r) { return r[3] == 32767; });
  init_world(&world, 1, 0);
  EXPECT_EQ(person[0]->dest_x, 7) << "the last point, not one past it";
}

TEST_F(WorldBuild, RunStartDrawsPointsPopulationThenMovers) {
  RunParameters params;
  params.arena_size = 300;
  params.population = 4;
  params.inactivity = 30;
  std::snprintf(save_buf, sizeof save_buf, "peak of the run before");
  random_seed(9);
  world.start_run(params);
  random_seed(9);
  for (const DestinationPoint& point : world.destinations) {
    ASSERT_EQ(point.x, position_draw(300));
    ASSERT_EQ(point.y, position_draw(300));
  }
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(person[i]->x, position_draw(300));
    position_draw(300);
    percent_draw();
  }
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(person[i]->mobile, percent_draw() > 30 ? 1 : 0);
  EXPECT_EQ(person[3]->state, 1) << "more seeded cases than persons: everybody";
  EXPECT_EQ(max, -10000000);
  EXPECT_STREQ(save_buf, "");
}

TEST_F(WorldBuild, OddParametersNeverLeaveTheTables) {
  RunParameters params;
  params.population = 0;
  world.start_run(params);
  EXPECT_EQ(person, nullptr);
  ticks(1);
  params.population = 3000;
  params.arena_size = 5000; // wider than the grid has rows
  params.drivers_pct = 60;
  params.destination_count = 100000;
  params.daily_interactions = 0;
  params.lockdown = 0;
  params.inactivity = -10;
  world.start_run(params);
  ticks(50);
  params.arena_size = 0;
  params.destination_count = -7;
  world.start_run(params);
  ticks(50);
  EXPECT_EQ(day, 50) << "with no interactions every tick is a day";
}
