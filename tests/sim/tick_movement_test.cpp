#include "tests/sim/draw_control.h"
#include "tests/sim/world_fixture.h"

// Raw draws that make a random step of -1, 0 or +1 on one axis.
constexpr int kStepLeft = 20000;  // u ~ 0.61: v = 1
constexpr int kStepStay = 0;      // u = 0: v = -1
constexpr int kStepRight = 30000; // u ~ 0.92: v = 2

using TickMovement = WorldTest;

TEST_F(TickMovement, RandomStepsObeyTheEdges) {
  world.lockdown = 1; // no mobility draw: the next two draws are the step
  populate({{0, 50}});
  // Hard edge: a step left from column 0 stays at 0.
  prime_draws(2, [](const int* r) { return r[0] >= 16384 && r[0] < 24575 && r[1] < 8191; });
  world.tick(hooks);
  EXPECT_EQ(at(0).x, 0);
  EXPECT_EQ(at(0).y, 50);
  // Wrapping: the same step lands on the far column of the same row.
  world.hard_edge = 0;
  prime_draws(2, [](const int* r) { return r[0] >= 16384 && r[0] < 24575 && r[1] < 8191; });
  world.tick(hooks);
  EXPECT_EQ(at(0).x, 99);
  EXPECT_EQ(at(0).y, 50);
  // And a step right from the far column wraps back to 0.
  prime_draws(2, [](const int* r) { return r[0] >= 24576 && r[0] < 32767 && r[1] < 8191; });
  world.tick(hooks);
  EXPECT_EQ(at(0).x, 0);
}

TEST_F(TickMovement, StepDrawsMapToMinusZeroPlus) {
  world.lockdown = 1;
  populate({{50, 50}});
  // raw x draw, raw y draw, expected dx, expected dy; u = 1 gives v = 3: no step.
  const int cases[][4] = {
      {kStepLeft, kStepStay, -1, 0}, {kStepRight, kStepLeft, 1, -1}, {32767, kStepRight, 0, 1}};
  for (const auto& c : cases) {
    prime_draws(2, [&](const int* r) {
      auto band = [](int v) {
        const int t = static_cast<int>(static_cast<double>(unit_of(v)) * 4.0 - 1.0);
        return t == 1 ? -1 : t == 2 ? 1 : 0;
      };
      return band(r[0]) == band(c[0]) && band(r[1]) == band(c[1]);
    });
    const int x0 = at(0).x, y0 = at(0).y;
    world.tick(hooks);
    EXPECT_EQ(at(0).x - x0, c[2]);
    EXPECT_EQ(at(0).y - y0, c[3]);
  }
}

TEST_F(TickMovement, InactivityAndLockdownDecideWhoMoves) {
  populate({{50, 50}, {60, 60}});
  sit_still = 100; // a percent draw is never above 100
  for (int i = 0; i < 50; ++i)
    world.tick(hooks);
  EXPECT_EQ(at(0).x, 50);
  EXPECT_EQ(at(0).y, 50);

  world.lockdown = 1;
  sit_still = 0;
  at(0).mobile = 0;
  at(1).mobile = 1;
  int moved = 0;
  for (int i = 0; i < 50; ++i) {
    const int x1 = at(1).x, y1 = at(1).y;
    world.tick(hooks);
    moved += (at(1).x != x1 || at(1).y != y1);
  }
  EXPECT_EQ(at(0).x, 50); // not mobile: never moves under lockdown
  EXPECT_GT(moved, 20);
}

TEST_F(TickMovement, QuarantinedAndBedriddenStayPut) {
  world.lockdown = 1;
  world.ambulatory_days = 3;
  world.infection_length = 90;
  populate({{10, 10}, {20, 20}, {30, 30}, {40, 40}});
  at(0).state = -5; // quarantined, still immune
  at(0).immunity_left = 500;
  at(1).state = 3; // infected, day 3 of illness: too ill
  at(1).immunity_left = 1;
  at(2).state = 2;  // still walking about
  at(3).state = -1; // recovered
  at(3).immunity_left = 500;
  int moved2 = 0, moved3 = 0;
  for (int i = 0; i < 8; ++i) { // no day boundary: states hold
    const Person a = at(2), b = at(3);
    world.tick(hooks);
    moved2 += (at(2).x != a.x || at(2).y != a.y);
    moved3 += (at(3).x != b.x || at(3).y != b.y);
  }
  EXPECT_EQ(at(0).x, 10);
  EXPECT_EQ(at(1).x, 20);
  EXPECT_EQ(at(1).y, 20);
  EXPECT_GT(moved2, 0);
  EXPECT_GT(moved3, 0);
}

TEST_F(TickMovement, DriversDwellThenGoHomeWithoutDraws) {
  world.lockdown = 1;
  populate({{5, 5}});
  at(0).dest_x = 70;
  at(0).dest_y = 80;
  // 8 daily interactions: dwell 4 — the jump, three more moves there, home on the fourth.
  const int expect_x[] = {70, 70, 70, 70, 5, 70, 70};
  for (int x : expect_x) {
    const uint32_t before = random_state;
    world.tick(hooks);
    EXPECT_EQ(at(0).x, x);
    EXPECT_EQ(random_state, before) << "a driver's move draws nothing";
  }
  EXPECT_EQ(at(0).y, 80);

  // One daily interaction: dwell 0, so the driver keeps jumping to its destination.
  world.daily_interactions = 1;
  at(0).x = 5;
  at(0).y = 5;
  at(0).dwell = 0;
  for (int i = 0; i < 5; ++i) {
    world.tick(hooks);
    EXPECT_EQ(at(0).x, 70);
  }
}

TEST_F(TickMovement, WithoutLockdownEveryMoverMakesAMobilityDraw) {
  // Steps are u-bands of the raw draw; with inactivity 0 only a draw of exactly 0 keeps still.
  populate({{50, 50}});
  sit_still = 0;
  prime_next_draw(0);
  const Person before = at(0);
  world.tick(hooks);
  EXPECT_EQ(at(0).x, before.x);
  EXPECT_EQ(at(0).y, before.y);
}
