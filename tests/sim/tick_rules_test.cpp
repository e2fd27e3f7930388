// SPDX-License-Identifier: MIT
// Rules random configurations rarely reach, and what the model comparison does not look at
// (painting, run end); it carries the rest of the tick.
#include "sim/contact_grid.h"
#include "tests/sim/world_fixture.h"

using TickRules = WorldTest;

// A person who dies finishes its tick, and is skipped from the next tick on.
TEST_F(TickRules, DeathEndsTheIllnessAndCountsInTheNextSample) {
  std::tie(world.infection_length, world.death_rate, world.hide_recovered,
           world.immunity_duration) = std::make_tuple(1, 100, 0, 0);
  populate({{5, 5, 1}, {5, 5, 0}, {50, 50, 1}});
  at(0).mobile = 1; // the one who dies still makes its step
  iteration = 8;    // the next tick is a day boundary
  // Draws: death of 0, its step left and up or down, death of 2 (u = 1).
  prime_draws(4, [](const int* r) {
    return r[0] < 32767 && r[1] >= 16384 && r[1] < 24575 && r[3] == 32767;
  });
  ticks(1);
  // A draw of exactly 100 spares even a death rate of 100; the dying infect nobody.
  EXPECT_EQ(std::make_tuple(at(0).dead, at(0).state, at(0).x, at(2).dead, at(1).state),
            std::make_tuple(1, 0, 4, 0, 0));
  EXPECT_EQ(rec.kind_at(5, 5), kPaintRecovered);
  EXPECT_EQ(rec.samples.back().value[kSampleDeadToday], 0);
  ticks(1);
  EXPECT_EQ(rec.kind_at(at(0).x, at(0).y), kPaintDead);
  EXPECT_EQ(std::make_pair(at(1).state, world.dead_total), std::make_pair(0, 1)) << "nor the dead";
  tick_to_boundary();
  EXPECT_EQ(rec.samples.back().value[kSampleDeadToday], 1);
}

TEST_F(TickRules, StatusLinePeakDaysAndRunEnd) {
  populate({{5, 5, 1}, {6, 6, 0}});
  old_infected = 5; // left over from an earlier run
  ticks(1);
  EXPECT_EQ(rec.status, "DAY: 0 INFECTED: 1 EVER SICKENED: 1 NEW CASES: 0 DEAD: 0");
  at(1).state = 1;
  ticks(1);
  const std::string peak = save_buf;
  EXPECT_EQ(peak, "DAY: 0 INFECTED: 2 EVER SICKENED: 2 NEW CASES: 1 DEAD: 0");
  ticks(6); // the program's first day is one tick short: the tick count starts at 0
  EXPECT_EQ(day, 0);
  ticks(10); // an equal count does not replace the peak
  EXPECT_EQ(std::make_tuple(day, rec.samples.size(), std::string(save_buf)),
            std::make_tuple(2, size_t{2}, peak));
  world.infection_length = 1;
  ticks(3);
  EXPECT_EQ(std::make_pair(world.done, rec.endings), std::make_pair(1, 1));
  world.done = 0;
  world.population = 0; // nobody: a run without persons never ends by itself
  ticks(1);
  EXPECT_EQ(world.done, 0);
  quarantine_rate = 100.0, world.infection_length = 30; // quarantined, it keeps no run alive
  populate({{5, 5, 1}});
  tick_to_boundary();
  EXPECT_EQ(rec.endings, 1);
  ticks(1);
  EXPECT_EQ(rec.endings, 2);
}

// The vaccinated are painted in their own colour, hidden with the recovered.
TEST_F(TickRules, VaccinationMakesImmuneAtDayBoundaries) {
  std::tie(world.hide_recovered, world.immunity_duration, vaccination_rate) =
      std::make_tuple(0, 2, 100.0);
  populate({{5, 5, 0}, {6, 6, 0}, {7, 7, 1}, {8, 8, -1}});
  // Draws: person 0's, person 1's (exactly 100.0), the infected one's quarantine draw.
  prime_draws(2, [](const int* r) { return r[0] < 32767 && r[1] == 32767; });
  tick_to_boundary();
  EXPECT_EQ(std::make_tuple(at(0).state, at(0).vaccinated, at(0).immunity_left, at(1).state,
                            at(1).vaccinated, at(3).vaccinated),
            std::make_tuple(-1, 1, 2, 0, 0, 0));
  EXPECT_EQ(rec.samples.back().value[kSampleNewlyVaccinated], 1);
  EXPECT_NE(rec.status.find("EVER SICKENED: 2 "), std::string::npos) << rec.status;
  EXPECT_EQ(std::make_pair(rec.kind_at(5, 5), rec.kind_at(8, 8)),
            std::make_pair(+kPaintVaccinated, +kPaintRecovered));
  world.hide_recovered = 1;
  vaccination_rate = 0.0;
  tick_to_boundary();
  EXPECT_EQ(std::make_tuple(rec.kind_at(5, 5), at(0).vaccinated, at(0).immunity_left),
            std::make_tuple(-1, 1, 1));
  tick_to_boundary();
  EXPECT_EQ(std::make_pair(at(0).state, at(0).vaccinated), std::make_pair(0, 0));
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
