#include "tests/sim/world_fixture.h"

using TickRules = WorldTest;

namespace {
// Raw draws that make one axis of a random step go -1, 0 or +1.
bool left(int r) {
  return r >= 16384 && r < 24575;
}
bool stay(int r) {
  return r < 16383;
}
bool right(int r) {
  return r >= 24576 && r < 32767;
}
} // namespace

TEST_F(TickRules, DayHasInteractionsPlusOneTicks) {
  populate({{1, 1}});
  ticks(8); // the program's first day is one tick short: the tick count starts at 0
  EXPECT_EQ(day, 0);
  ticks(1);
  EXPECT_EQ(day, 1);
  ticks(9);
  EXPECT_EQ(day, 2);
  EXPECT_EQ(rec.samples.size(), 2u);
  ticks(4);
  day = 0; // a new run resets the day but not the tick within it
  ticks(5);
  EXPECT_EQ(day, 1);
}

TEST_F(TickRules, RandomStepsStopOrWrapAtTheEdge) {
  populate({{0, 50}});
  at(0).mobile = 1;
  prime_draws(2, [](const int* r) { return left(r[0]) && stay(r[1]); });
  ticks(1);
  EXPECT_EQ(at(0).x, 0);
  world.hard_edge = 0;
  prime_draws(2, [](const int* r) { return left(r[0]) && right(r[1]); });
  ticks(1);
  EXPECT_EQ(at(0).x, 99);
  EXPECT_EQ(at(0).y, 51);
  prime_draws(2, [](const int* r) { return right(r[0]) && r[1] == 32767; }); // u = 1: no step
  ticks(1);
  EXPECT_EQ(at(0).x, 0);
  EXPECT_EQ(at(0).y, 51);
}

TEST_F(TickRules, OnlyTheMobileTheWellAndTheFreeMove) {
  world.ambulatory_days = 3;
  populate({{50, 50}, {60, 60}, {10, 10}, {20, 20}});
  for (int i = 0; i < 4; ++i)
    at(i).mobile = i != 1;
  at(2).state = -5; // quarantined, still immune
  at(2).immunity_left = 500;
  at(3).state = 3; // too ill to walk about
  int moves = 0;
  for (int t = 0; t < 8; ++t) {
    const Person before = at(0);
    ticks(1);
    moves += at(0).x != before.x || at(0).y != before.y;
  }
  EXPECT_GT(moves, 2);
  EXPECT_EQ(at(1).x, 60);
  EXPECT_EQ(at(2).x, 10);
  EXPECT_EQ(at(3).x, 20);
  world.lockdown = 0; // without lockdown an inactivity of 100 keeps everybody still
  sit_still = 100;
  const Person before = at(0);
  ticks(8);
  EXPECT_EQ(at(0).x, before.x);
  EXPECT_EQ(at(0).y, before.y);
}

TEST_F(TickRules, DriversDwellAndGoHomeWithoutDraws) {
  populate({{5, 5}});
  at(0).mobile = 1;
  at(0).dest_x = 70;
  at(0).dest_y = 80;
  for (int x : {70, 70, 70, 70, 5, 70}) { // dwell 4 with 8 daily interactions
    const uint32_t before = random_state;
    ticks(1);
    EXPECT_EQ(at(0).x, x);
    EXPECT_EQ(random_state, before);
  }
  world.daily_interactions = 1; // dwell 0: jumps to the destination again and again
  at(0).dwell = 0;
  ticks(5);
  EXPECT_EQ(at(0).x, 70);
}

TEST_F(TickRules, ContactIsTheRowBeforeTheMoveAndTheColumnAfter) {
  populate({{10, 10}, {70, 10}, {70, 80}});
  at(0).state = 1;
  at(0).mobile = 1;
  at(0).dest_x = 70; // drives from (10, 10) to (70, 80) in this tick
  at(0).dest_y = 80;
  ticks(1);
  EXPECT_EQ(at(1).state, 1);
  EXPECT_EQ(at(2).state, 0);
  EXPECT_EQ(world.infected, 1) << "a person infected in this tick counts from the next";
}

TEST_F(TickRules, InfectionDrawAgainstTheRate) {
  populate({{5, 5}, {5, 5}});
  at(0).state = 1;
  infection_rate = 15;
  for (auto [r, infects] : {std::pair{4900, true}, {4920, false}}) { // percent 14, 15
    at(1).state = 0;
    prime_next_draw(r);
    ticks(1);
    EXPECT_EQ(at(1).state, infects ? 1 : 0) << r;
  }
}

TEST_F(TickRules, IllnessEndsAndImmunityWanes) {
  world.infection_length = 2;
  world.immunity_duration = 2;
  populate({{5, 5}});
  at(0).state = 1;
  tick_to_boundary();
  EXPECT_EQ(at(0).state, 2);
  EXPECT_EQ(world.infected, 1);
  ticks(1);
  EXPECT_EQ(at(0).state, -1);
  EXPECT_EQ(at(0).immunity_left, 2);
  tick_to_boundary();
  EXPECT_EQ(at(0).state, -1);
  tick_to_boundary();
  EXPECT_EQ(at(0).state, 0);

  // Without immunity both become susceptible in the tick they recover and infect each other.
  world.infection_length = 1;
  world.immunity_duration = 0;
  clean_world();
  populate({{5, 5}, {5, 5}});
  at(0).state = at(1).state = 1;
  ticks(1);
  EXPECT_EQ(at(0).state, 1);
  EXPECT_EQ(at(1).state, 1);
}

TEST_F(TickRules, QuarantineCountsTwiceAndLastsNineteenDays) {
  quarantine_rate = 100.0;
  infection_rate = 0;
  populate({{5, 5}});
  at(0).state = 1;
  tick_to_boundary();
  EXPECT_EQ(at(0).state, -20);
  EXPECT_EQ(world.infected, 1);
  EXPECT_NE(rec.status.find("EVER SICKENED: 2 "), std::string::npos) << rec.status;
  EXPECT_EQ(rec.samples.back().newly_quarantined, 1);
  EXPECT_EQ(rec.samples.back().immune_count, 1) << "the infected hold full immunity";
  ticks(1);
  EXPECT_EQ(rec.endings, 1) << "quarantined persons do not keep a run alive";
  while (day < 20)
    tick_to_boundary();
  EXPECT_EQ(at(0).state, -1) << "recovered at the boundary that begins day 1 + 19";

  world.immunity_duration = 0; // released as soon as it is quarantined
  at(0).state = 1;
  tick_to_boundary();
  EXPECT_EQ(at(0).state, 0);
}

TEST_F(TickRules, DeathEndsTheIllnessAndCountsInTheNextSample) {
  world.infection_length = 1;
  world.death_rate = 100;
  world.hide_recovered = 0;
  populate({{5, 5}, {5, 5}, {50, 50}});
  at(0).state = at(2).state = 1;
  iteration = 8; // the next tick is a day boundary
  prime_draws(2, [](const int* r) { return r[0] < 32767 && r[1] == 32767; });
  ticks(1);
  EXPECT_EQ(at(0).dead, 1);
  EXPECT_EQ(at(2).dead, 0) << "a draw of exactly 100 spares even a death rate of 100";
  EXPECT_EQ(at(1).state, 0) << "the dying infect nobody";
  EXPECT_EQ(rec.kind_at(5, 5), kPaintRecovered) << "painted by its state in its last tick";
  EXPECT_EQ(rec.samples.back().dead_today, 0);
  EXPECT_EQ(world.dead_today, 1);
  ticks(1);
  EXPECT_EQ(rec.kind_at(5, 5), kPaintDead);
  EXPECT_EQ(world.dead_total, 1);
}

TEST_F(TickRules, StatusLinePeakAndRunEnd) {
  populate({{5, 5}, {6, 6}});
  at(0).state = 1;
  old_infected = 5; // left over from an earlier run
  ticks(1);
  EXPECT_EQ(rec.status, "DAY: 0 INFECTED: 1 EVER SICKENED: 1 NEW CASES: 0 DEAD: 0");
  EXPECT_STREQ(save_buf, rec.status.c_str());
  at(1).state = 1;
  ticks(1);
  const std::string peak = save_buf;
  EXPECT_EQ(peak, "DAY: 0 INFECTED: 2 EVER SICKENED: 2 NEW CASES: 1 DEAD: 0");
  day = 5;
  ticks(1); // an equal count does not replace the peak
  EXPECT_EQ(save_buf, peak);

  world.infection_length = 1;
  ticks(2);
  EXPECT_EQ(world.done, 1);
  EXPECT_EQ(rec.endings, 1);
  world.done = 0;
  world.population = 0; // nobody: a run without persons never ends by itself
  ticks(1);
  EXPECT_EQ(world.done, 0);
}

TEST_F(TickRules, PaintsByStateWherePersonsStoodBeforeMoving) {
  world.hide_healthy = world.hide_recovered = world.hide_quarantined = 0;
  world.ambulatory_days = 3;
  populate({{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {6, 6}});
  const int states[] = {0, 1, 5, -1, -7, 0, 2};
  for (int i = 0; i < 7; ++i) {
    at(i).state = states[i];
    at(i).immunity_left = 50;
  }
  at(0).mobile = 1;
  at(5).dead = 1; // a later person paints over it
  ticks(1);
  const int expected[] = {kPaintHealthy,   kPaintInfectedAmbulant, kPaintInfectedBedridden,
                          kPaintRecovered, kPaintQuarantined,      kPaintInfectedAmbulant};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(rec.kind_at(i + 1, i + 1), expected[i]) << i;
  world.hide_healthy = world.hide_recovered = world.hide_quarantined = 1;
  at(0).state = 0;
  ticks(1);
  EXPECT_EQ(rec.kind_at(at(0).x, at(0).y), -1);
  EXPECT_EQ(rec.kind_at(4, 4), -1);
  EXPECT_EQ(rec.kind_at(5, 5), -1);
}
