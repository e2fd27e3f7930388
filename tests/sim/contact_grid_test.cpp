#include <gtest/gtest.h>

#include <vector>

#include "sim/contact_grid.h"

namespace {
Person at(int x, int y) {
  Person p(0);
  p.x = x;
  p.y = y;
  return p;
}
} // namespace

TEST(ContactGrid, ExactPixelNeverItselfNorTheDead) {
  clear_sick_list();
  Person sick = at(5, 7), sick2 = at(5, 7), corpse = at(8, 7), same = at(5, 7), beside = at(6, 7);
  add_sick_list(&sick);
  add_sick_list(&corpse);
  corpse.dead = 1; // died after it was entered
  Person by_corpse = at(8, 7);
  EXPECT_EQ(check_sick_list(&same), 1);
  EXPECT_EQ(check_sick_list(&beside), 0);
  EXPECT_EQ(check_sick_list(&sick), 0);
  EXPECT_EQ(check_sick_list(&by_corpse), 0);
  add_sick_list(&sick2);
  EXPECT_EQ(check_sick_list(&sick), 1);
  sick.x = 6; // moved after entry: its old row, its new column
  sick.y = 8;
  EXPECT_EQ(check_sick_list(&beside), 1);
}

TEST(ContactGrid, RowHoldsAt350AndIgnoresRowsOutside) {
  clear_sick_list();
  std::vector<Person> row;
  for (int i = 0; i < 351; ++i)
    row.push_back(at(i, 0));
  for (Person& p : row)
    add_sick_list(&p);
  Person at349 = at(349, 0), at350 = at(350, 0), low = at(1, -1), high = at(1, 1080);
  EXPECT_EQ(check_sick_list(&at349), 1);
  EXPECT_EQ(check_sick_list(&at350), 0) << "the 351st was never entered";
  add_sick_list(&low);
  add_sick_list(&high);
  EXPECT_EQ(check_sick_list(&low), 0);
  clear_sick_list();
  EXPECT_EQ(check_sick_list(&at349), 0);
}
