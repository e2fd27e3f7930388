// SPDX-License-Identifier: MIT
#include <cstdio>

#include "params/run_parameters.h"
#include "tests/sim/world_fixture.h"

using WorldBuild = WorldTest;

// A unit draw of exactly 1 picks the last point in use, not one past it.
TEST_F(WorldBuild, TopDrawsStayInsideTheirTables) {
  world.drivers_pct = 101;
  for (int count : {10, 1000}) {
    clean_world();
    world.destination_count = count;
    world.destinations[count - 1] = {7, 8};
    prime_draws(4, [](const int* r) { return r[3] == 32767; });
    init_world(&world, 1, 0);
    EXPECT_EQ(person[0]->dest_x, 7) << count;
  }
}

// Run under the sanitizers, these must stay inside every table. A run start forgets the peak of
// the run before. The order of its draws is in every figure the batch runner test checks.
TEST_F(WorldBuild, OddParametersNeverLeaveTheTables) {
  RunParameters params = initial_run_parameters();
  params.population = 0;
  std::snprintf(save_buf, sizeof save_buf, "peak of the run before");
  max = 7;
  world.start_run(params);
  EXPECT_EQ(std::make_tuple(person == nullptr, max, std::string(save_buf)),
            std::make_tuple(true, -10000000, std::string()));
  ticks(1);
  EXPECT_EQ(world.done, 0) << "a run without persons never ends by itself";
  // Wider than the grid has rows, more points than the table holds, no interactions.
  std::tie(params.population, params.arena_size, params.drivers_pct, params.destination_count,
           params.daily_interactions, params.lockdown, params.inactivity) =
      std::make_tuple(3000, 5000, 60, 100000, 0, 0, -10);
  world.start_run(params);
  ticks(50);
  std::tie(params.arena_size, params.destination_count) = std::make_pair(0, -7);
  world.start_run(params);
  ticks(50);
  EXPECT_EQ(day, 50) << "with no interactions every tick is a day";
}

// The generator's first draws from seed 1; a raw draw of 32767 is a unit draw of exactly 1, which
// a position keeps on the far edge.
TEST(RandomStream, PortableGeneratorAndItsTopDraw) {
  random_seed(1);
  for (int expected : {16838, 5758, 10113, 17515})
    EXPECT_EQ(random_draw(), expected);
  const auto after = [](int r, auto draw) {
    prime_draws(1, [r](const int* d) { return *d == r; });
    return draw();
  };
  EXPECT_EQ(std::make_tuple(after(32767, percent_draw), after(32766, percent_draw),
                            after(32767, real_percent_draw),
                            after(32767, [] { return position_draw(400); }),
                            after(16383, [] { return position_draw(1080); })),
            std::make_tuple(100, 99, 100.0, 399, static_cast<int>(1080.0f * (16383.0f / 32767.0f))))
      << "single precision, truncated";
}
