#include <cstdio>

#include "tests/sim/world_fixture.h"

using WorldBuild = WorldTest;

TEST_F(WorldBuild, EachPersonDrawsPositionDriverThenDestination) {
  world.destination_count = 10;
  for (int i = 0; i < kDestinationPoints; ++i)
    world.destinations[i] = {i, 1000 + i};
  for (int drivers : {0, 50, 100}) {
    world.drivers_pct = drivers;
    random_seed(42);
    init_world(&world, 200, 2);
    random_seed(42);
    for (int i = 0; i < 200; ++i) {
      ASSERT_EQ(person[i]->x, position_draw(100));
      ASSERT_EQ(person[i]->y, position_draw(100));
      ASSERT_EQ(person[i]->state, i < 2 ? 1 : 0);
      const int k = percent_draw() < drivers ? static_cast<int>(10.0f * unit_draw()) : -1;
      ASSERT_EQ(person[i]->dest_x, k) << drivers << " " << i;
      ASSERT_EQ(person[i]->dest_y, k < 0 ? -1 : 1000 + k);
    }
    clean_world();
  }
}

// A unit draw of exactly 1 lands on the far edge and on the last point in use, not past them.
TEST_F(WorldBuild, TopDrawsStayInsideTheirTables) {
  world.drivers_pct = 101;
  prime_next_draw(32767);
  init_world(&world, 1, 0);
  EXPECT_EQ(person[0]->x, 99);
  for (int count : {10, 1000}) {
    clean_world();
    world.destination_count = count;
    world.destinations[count - 1] = {7, 8};
    prime_draws(4, [](const int* r) { return r[3] == 32767; });
    init_world(&world, 1, 0);
    EXPECT_EQ(person[0]->dest_x, 7) << count;
  }
}

TEST_F(WorldBuild, RunStartDrawsPointsPopulationThenMovers) {
  RunParameters params;
  params.arena_size = 300;
  params.population = 200;
  params.initially_infected = 1000;
  params.inactivity = 30;
  std::snprintf(save_buf, sizeof save_buf, "peak of the run before");
  random_seed(9);
  world.start_run(params);
  random_seed(9);
  for (const DestinationPoint& point : world.destinations) {
    ASSERT_EQ(point.x, position_draw(300));
    ASSERT_EQ(point.y, position_draw(300));
  }
  for (int i = 0; i < 200 * 3; ++i) // x, y and the driver draw of each person
    random_draw();
  for (int i = 0; i < 200; ++i)
    ASSERT_EQ(person[i]->mobile, percent_draw() > 30 ? 1 : 0) << i;
  EXPECT_EQ(person[199]->state, 1) << "more seeded cases than persons: everybody";
  EXPECT_EQ(std::make_tuple(max, std::string(save_buf), world.ambulatory_days, sit_still),
            std::make_tuple(-10000000, std::string(), 7, 30));
}

// Run under the sanitizers, these must stay inside every table.
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
