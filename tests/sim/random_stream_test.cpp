// SPDX-License-Identifier: MIT
#include "tests/sim/world_fixture.h"

TEST(RandomStream, PortableGeneratorAndItsTopDraw) {
  random_seed(1);
  for (int expected : {16838, 5758, 10113, 17515})
    EXPECT_EQ(random_draw(), expected);
  EXPECT_EQ(unit_of(32767), 1.0f);
  prime_next_draw(32767);
  EXPECT_EQ(percent_draw(), 100);
  prime_next_draw(32767);
  EXPECT_EQ(real_percent_draw(), 100.0);
  prime_next_draw(32766);
  EXPECT_EQ(percent_draw(), 99);
  prime_next_draw(32767);
  EXPECT_EQ(position_draw(400), 399);
  prime_next_draw(16383); // single precision, truncated
  EXPECT_EQ(position_draw(1080), static_cast<int>(1080.0f * (16383.0f / 32767.0f)));
}
