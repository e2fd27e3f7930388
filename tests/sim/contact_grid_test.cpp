// SPDX-License-Identifier: MIT
#include "sim/contact_grid.h"

#include <gtest/gtest.h>

#include <utility>

// Askers the pixel index does not cover (an arena wider than it) walk their row instead. The
// walk must answer as the index does: a person entered this tick who has died since, or the
// asker itself, susceptible again in its own tick, is no contact.
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
