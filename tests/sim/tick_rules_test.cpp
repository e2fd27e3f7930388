// SPDX-License-Identifier: MIT
// Rules random configurations rarely reach, and what the model comparison does not look at
// (painting, the peak, run end); it carries the rest of the tick, the arena test the colours.
#include "sim/contact_grid.h"
#include "tests/sim/world_fixture.h"

using TickRules = WorldTest;

// A draw of exactly 100 spares even a death rate of 100. The one who dies is painted as recovered
// in its last tick, dead from the next.
TEST_F(TickRules, DeathDrawAndThePaintOfTheDying) {
  std::tie(world.infection_length, world.death_rate, world.hide_recovered) =
      std::make_tuple(1, 100, 0);
  populate({{5, 5, 1}, {50, 50, 1}});
  prime_draws(2, [](const int* r) { return r[0] < 32767 && r[1] == 32767; });
  ticks(1);
  EXPECT_EQ(std::make_tuple(at(0).dead, at(1).dead, rec.kind_at(5, 5)),
            std::make_tuple(1, 0, +kPaintRecovered));
  ticks(1);
  EXPECT_EQ(rec.kind_at(5, 5), kPaintDead);
}

// The peak line keeps the first tick of the highest count. A run ends once, in the tick that
// finds nobody ill, and the quarantined keep none alive (a run without persons never ends: the
// world build test).
TEST_F(TickRules, PeakAndRunEnd) {
  populate({{5, 5, 1}, {6, 6, 0}});
  ticks(1);
  at(1).state = 1;
  ticks(1);
  const std::string peak = save_buf;
  ticks(16); // equal counts do not replace the peak
  EXPECT_EQ(std::make_pair(peak, std::string(save_buf)),
            std::make_pair(std::string("DAY: 0 INFECTED: 2 EVER SICKENED: 2 NEW CASES: 1 DEAD: 0"),
                           peak));
  world.infection_length = 1;
  ticks(3);
  EXPECT_EQ(std::make_pair(world.done, rec.endings), std::make_pair(1, 1));
  world.done = 0;
  quarantine_rate = 100.0, world.infection_length = 30;
  populate({{5, 5, 1}});
  ticks(9 - iteration); // to the next day boundary
  EXPECT_EQ(rec.endings, 1);
  ticks(1);
  EXPECT_EQ(rec.endings, 2);
}

// Askers beyond the pixel index walk their row, which must skip the dead and the asker itself.
TEST(ContactGrid, RowWalkSkipsTheAskerAndTheDead) {
  Person asker(0), dying(1), beside(1), other(1);
  for (auto [p, x] : {std::pair{&asker, 6}, {&dying, 6}, {&beside, 5}, {&other, 6}})
    p->x = x, p->y = 7;
  clear_sick_list();
  for (Person* p : {&asker, &dying, &beside})
    add_sick_list(p);
  dying.dead = 1;
  EXPECT_EQ(check_sick_list(&asker), 0);
  add_sick_list(&other);
  EXPECT_EQ(check_sick_list(&asker), 1);
  clear_sick_list();
}
