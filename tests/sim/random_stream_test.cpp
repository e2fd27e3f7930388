#include <gtest/gtest.h>

#include "sim/random_stream.h"
#include "tests/sim/draw_control.h"

TEST(RandomStream, IsTheClassicPortableGenerator) {
  random_seed(1);
  EXPECT_EQ(random_draw(), 16838);
  EXPECT_EQ(random_draw(), 5758);
  EXPECT_EQ(random_draw(), 10113);
  EXPECT_EQ(random_draw(), 17515);
  random_seed(1);
  EXPECT_EQ(random_draw(), 16838); // reseeding replays the stream
}

TEST(RandomStream, DrawsStayWithinTheirRanges) {
  random_seed(99);
  for (int i = 0; i < 100000; ++i) {
    const int r = random_draw();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 32767);
  }
}

TEST(RandomStream, TopDrawIsExactlyOne) {
  EXPECT_EQ(unit_of(32767), 1.0f);
  prime_next_draw(32767);
  EXPECT_EQ(percent_draw(), 100);
  prime_next_draw(32767);
  EXPECT_EQ(real_percent_draw(), 100.0);
  prime_next_draw(32766);
  EXPECT_EQ(percent_draw(), 99);
  prime_next_draw(16384);
  EXPECT_DOUBLE_EQ(real_percent_draw(), static_cast<double>(16384.0f / 32767.0f) * 100.0);
}

TEST(RandomStream, PositionOfTheTopDrawStaysOnTheArena) {
  prime_next_draw(32767);
  EXPECT_EQ(position_draw(400), 399);
  prime_next_draw(0);
  EXPECT_EQ(position_draw(400), 0);
  // Single precision: 400 * (32766 / 32767) is 399.98..., truncated.
  prime_next_draw(32766);
  EXPECT_EQ(position_draw(400), 399);
  prime_next_draw(16383);
  EXPECT_EQ(position_draw(1080), static_cast<int>(1080.0f * (16383.0f / 32767.0f)));
}
