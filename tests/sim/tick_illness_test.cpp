#include "tests/sim/draw_control.h"
#include "tests/sim/world_fixture.h"

using TickIllness = WorldTest;

TEST_F(TickIllness, DayClockCountsInteractionsPlusOneTicks) {
  populate({{1, 1}});
  RecordingHooks rec;
  // The program's first day is one tick short: the tick counter starts at 0, not at a boundary.
  for (int i = 0; i < 8; ++i)
    world.tick(rec);
  EXPECT_EQ(day, 0);
  world.tick(rec);
  EXPECT_EQ(day, 1);
  EXPECT_EQ(iteration, 0);
  for (int i = 0; i < 9; ++i)
    world.tick(rec);
  EXPECT_EQ(day, 2);
  EXPECT_EQ(rec.samples.size(), 2u);
  // A new run resets the day but not the tick within it.
  for (int i = 0; i < 4; ++i)
    world.tick(rec);
  day = 0;
  for (int i = 0; i < 5; ++i)
    world.tick(rec);
  EXPECT_EQ(day, 1);
}

TEST_F(TickIllness, InfectionTakesTheRowBeforeTheMoveAndTheColumnAfter) {
  world.lockdown = 1;
  populate({{10, 10}, {70, 10}, {70, 80}});
  at(0).state = 1;
  at(0).dest_x = 70; // a driver: jumps to (70, 80) in this tick
  at(0).dest_y = 80;
  at(1).mobile = at(2).mobile = 0;
  world.tick(hooks);
  EXPECT_EQ(at(0).x, 70);
  EXPECT_EQ(at(1).state, 1) << "row 10 before the move, column 70 after it";
  EXPECT_EQ(at(2).state, 0) << "where it now stands, it was not entered";
  EXPECT_EQ(world.infected, 1) << "a person infected in this tick is not counted yet";
}

TEST_F(TickIllness, InfectionDrawAgainstTheRate) {
  world.lockdown = 1; // nobody mobile: the infection draw is the tick's only draw
  populate({{5, 5}, {5, 5}});
  at(0).mobile = at(1).mobile = 0;
  at(0).state = 1;
  infection_rate = 15;
  prime_next_draw(static_cast<int>(0.15 * 32767) - 5); // percent 14: infects
  world.tick(hooks);
  EXPECT_EQ(at(1).state, 1);
  at(1).state = 0;
  prime_next_draw(static_cast<int>(0.15 * 32767) + 5); // percent 15: does not
  world.tick(hooks);
  EXPECT_EQ(at(1).state, 0);
  infection_rate = 100;
  prime_next_draw(32767); // percent 100 is never below 100
  world.tick(hooks);
  EXPECT_EQ(at(1).state, 0);
}

TEST_F(TickIllness, InfectionRunsItsCourseAndLeavesImmunity) {
  world.infection_length = 2;
  world.immunity_duration = 2;
  populate({{5, 5}});
  at(0).state = 1;
  tick_to_boundary(); // day 1 begins: day 2 of illness, still counted
  EXPECT_EQ(at(0).state, 2);
  EXPECT_EQ(world.infected, 1);
  world.tick(hooks); // ends: recovered with full immunity
  EXPECT_EQ(at(0).state, -1);
  EXPECT_EQ(at(0).immunity_left, 2);
  EXPECT_EQ(world.infected, 0);
  tick_to_boundary();
  EXPECT_EQ(at(0).immunity_left, 1);
  EXPECT_EQ(at(0).state, -1);
  tick_to_boundary();
  EXPECT_EQ(at(0).immunity_left, 0);
  EXPECT_EQ(at(0).state, 0) << "susceptible once immunity is spent";
}

TEST_F(TickIllness, NoImmunityMeansSusceptibleAtOnceAndReinfectable) {
  world.infection_length = 1;
  world.immunity_duration = 0;
  populate({{5, 5}, {5, 5}});
  at(0).state = 1;
  at(1).state = 1;
  world.tick(hooks);
  // Both ended, both susceptible again in that tick, each infected by the other's entry.
  EXPECT_EQ(at(0).state, 1);
  EXPECT_EQ(at(1).state, 1);
  EXPECT_EQ(world.infected, 0);
}

TEST_F(TickIllness, QuarantineAtTheBoundaryAndReleaseAfterNineteenDays) {
  world.infection_length = 90;
  world.immunity_duration = 1000;
  quarantine_rate = 100.0;
  populate({{5, 5}, {5, 5}});
  at(0).state = 1;
  infection_rate = 0;
  RecordingHooks rec;
  for (int i = 0; i < 8; ++i)
    world.tick(rec);
  world.tick(rec); // the boundary that begins day 1
  EXPECT_EQ(at(0).state, -20);
  EXPECT_EQ(world.infected, 1) << "counted in the tick it is quarantined";
  EXPECT_NE(rec.last_status.find("EVER SICKENED: 2 "), std::string::npos)
      << "counted twice in sick_tally that tick: " << rec.last_status;
  ASSERT_EQ(rec.samples.size(), 1u);
  EXPECT_EQ(rec.samples[0].newly_quarantined, 1);
  // It no longer moves, infects or counts; the run is over for it.
  EXPECT_EQ(rec.endings, 0);
  world.tick(rec);
  EXPECT_EQ(world.infected, 0);
  EXPECT_EQ(rec.endings, 1);
  for (int d = 2; d <= 19; ++d)
    tick_to_boundary();
  EXPECT_EQ(day, 19);
  EXPECT_EQ(at(0).state, -2);
  tick_to_boundary();
  EXPECT_EQ(at(0).state, -1) << "recovered at the boundary that begins day 1 + 19";
}

TEST_F(TickIllness, QuarantineWithoutImmunityReleasesAtOnce) {
  world.immunity_duration = 0;
  quarantine_rate = 100.0;
  populate({{5, 5}});
  at(0).state = 1;
  tick_to_boundary();
  EXPECT_EQ(at(0).state, 0);
}

TEST_F(TickIllness, DeathAtTheEndOfTheInfection) {
  world.infection_length = 1;
  world.death_rate = 100;
  world.lockdown = 1;
  populate({{5, 5}, {5, 5}, {50, 50}});
  world.hide_recovered = 0;
  at(0).state = 1;
  at(0).mobile = at(1).mobile = at(2).mobile = 0;
  at(2).state = 1;
  RecordingHooks rec(100);
  prime_draws(2, [](const int* r) { return r[0] < 32767 && r[1] == 32767; });
  world.tick(rec);
  EXPECT_EQ(at(0).dead, 1);
  EXPECT_EQ(at(2).dead, 0) << "a draw of exactly 100 spares even a death rate of 100";
  EXPECT_EQ(at(1).state, 0) << "the dying person infects nobody in its last tick";
  EXPECT_EQ(world.dead_total, 1);
  // In the tick it dies it is painted by its state; afterwards grey.
  EXPECT_EQ(rec.kind_at(5, 5), kPaintRecovered);
  world.tick(rec);
  EXPECT_EQ(rec.kind_at(5, 5), kPaintDead);
  EXPECT_EQ(world.dead_total, 1);
}

TEST_F(TickIllness, ADeathIsCountedInTheNextSample) {
  world.infection_length = 1;
  world.death_rate = 100;
  world.lockdown = 1;
  populate({{5, 5}, {6, 6}, {7, 7}});
  for (int i = 0; i < 3; ++i) {
    at(i).state = 1;
    at(i).mobile = 0;
  }
  iteration = 8; // the next tick is a day boundary
  RecordingHooks rec;
  prime_draws(3, [](const int* r) { return r[0] < 32767 && r[1] < 32767 && r[2] < 32767; });
  world.tick(rec);
  ASSERT_EQ(rec.samples.size(), 1u);
  EXPECT_EQ(rec.samples[0].dead_today, 0) << "deaths of the sampling tick come later";
  EXPECT_EQ(world.dead_today, 3);
  EXPECT_EQ(world.dead_total, 3);
}

TEST_F(TickIllness, ImmuneCountAndNewCasesAtTheSample) {
  populate({{5, 5}, {6, 6}, {70, 70}});
  at(0).state = 1;
  at(1).state = -1;
  at(1).immunity_left = 3;
  old_infected = 5; // left over from a previous run
  RecordingHooks rec;
  world.tick(rec);
  EXPECT_NE(rec.last_status.find("NEW CASES: 0 "), std::string::npos) << rec.last_status;
  for (int i = 0; i < 8; ++i)
    world.tick(rec);
  ASSERT_EQ(rec.samples.size(), 1u);
  EXPECT_EQ(rec.samples[0].infected, 1);
  EXPECT_EQ(rec.samples[0].immune_count, 2) << "infected persons hold full immunity too";
  EXPECT_EQ(at(1).immunity_left, 2);
}

TEST_F(TickIllness, StatusLineAndPeak) {
  populate({{5, 5}, {6, 6}});
  at(0).state = 1;
  max = -10000000;
  RecordingHooks rec;
  world.tick(rec);
  EXPECT_EQ(rec.last_status, "DAY: 0 INFECTED: 1 EVER SICKENED: 1 NEW CASES: 1 DEAD: 0");
  EXPECT_STREQ(save_buf, rec.last_status.c_str());
  at(1).state = 1;
  world.tick(rec);
  EXPECT_STREQ(save_buf, "DAY: 0 INFECTED: 2 EVER SICKENED: 2 NEW CASES: 1 DEAD: 0");
  at(1).state = 0;
  at(1).x = 90;
  world.tick(rec);
  at(1).state = 1;
  day = 5;
  world.tick(rec); // two again: an equal count does not replace the peak
  EXPECT_EQ(rec.last_status, "DAY: 5 INFECTED: 2 EVER SICKENED: 2 NEW CASES: 1 DEAD: 0");
  EXPECT_STREQ(save_buf, "DAY: 0 INFECTED: 2 EVER SICKENED: 2 NEW CASES: 1 DEAD: 0");
}

TEST_F(TickIllness, RunEndsOnceWhenNobodyIsInfected) {
  world.infection_length = 1;
  populate({{5, 5}, {50, 50}});
  at(0).state = 1;
  RecordingHooks rec;
  world.tick(rec);
  EXPECT_EQ(world.done, 1);
  EXPECT_EQ(rec.endings, 1);
  world.tick(rec);
  EXPECT_EQ(rec.endings, 1);

  world.done = 0;
  world.population = 0; // nobody: never ends by itself
  world.tick(rec);
  EXPECT_EQ(world.done, 0);
}

TEST_F(TickIllness, PaintsEachPersonByStateBeforeItsMove) {
  world.hide_healthy = world.hide_recovered = world.hide_quarantined = 0;
  world.ambulatory_days = 3;
  world.infection_length = 90;
  world.immunity_duration = 100;
  sit_still = 0;
  populate({{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {6, 6}});
  at(1).state = 1;
  at(2).state = 5;
  at(3).state = -1;
  at(3).immunity_left = 50;
  at(4).state = -7;
  at(4).immunity_left = 50;
  at(5).dead = 1;
  at(6).state = 2; // painted over the dead person on the same pixel
  RecordingHooks rec(10);
  const Person first = at(0);
  world.tick(rec);
  EXPECT_EQ(rec.kind_at(first.x, first.y), kPaintHealthy);
  EXPECT_EQ(rec.kind_at(2, 2), kPaintInfectedAmbulant);
  EXPECT_EQ(rec.kind_at(3, 3), kPaintInfectedBedridden);
  EXPECT_EQ(rec.kind_at(4, 4), kPaintRecovered);
  EXPECT_EQ(rec.kind_at(5, 5), kPaintQuarantined);
  EXPECT_EQ(rec.kind_at(6, 6), kPaintInfectedAmbulant);
  EXPECT_EQ(rec.kind_at(9, 9), -1);

  world.hide_healthy = world.hide_recovered = world.hide_quarantined = 1;
  for (int i = 0; i < 7; ++i) {
    at(i).x = i;
    at(i).y = 0;
  }
  at(0).state = 0;
  at(5).dead = 1;
  sit_still = 100;
  world.tick(rec);
  EXPECT_EQ(rec.kind_at(0, 0), -1);
  EXPECT_EQ(rec.kind_at(3, 0), -1);
  EXPECT_EQ(rec.kind_at(4, 0), -1);
  EXPECT_EQ(rec.kind_at(5, 0), kPaintDead);
}
