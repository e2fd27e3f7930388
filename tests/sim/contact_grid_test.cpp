#include <gtest/gtest.h>

#include "sim/contact_grid.h"

namespace {
Person at(int x, int y) {
  Person p(0);
  p.x = x;
  p.y = y;
  return p;
}
} // namespace

TEST(ContactGrid, ContactIsTheExactPixel) {
  clear_sick_list();
  Person sick1 = at(5, 7), sick2 = at(5, 7), beside = at(6, 7), above = at(5, 6), same = at(5, 7);
  add_sick_list(&sick1);
  add_sick_list(&sick2);
  EXPECT_EQ(check_sick_list(&same), 1);
  EXPECT_EQ(check_sick_list(&beside), 0);
  EXPECT_EQ(check_sick_list(&above), 0);
  EXPECT_EQ(check_sick_list(&sick1), 1); // the other occupant of its spot
}

TEST(ContactGrid, NeverMeetsItselfOrTheDead) {
  clear_sick_list();
  Person sick = at(3, 3), corpse = at(4, 3);
  add_sick_list(&sick);
  add_sick_list(&corpse);
  corpse.dead = 1; // died after it was entered
  Person there = at(4, 3);
  EXPECT_EQ(check_sick_list(&sick), 0);
  EXPECT_EQ(check_sick_list(&there), 0);

  Person already_dead = at(9, 9);
  already_dead.dead = 1;
  add_sick_list(&already_dead);
  EXPECT_EQ(sick_list_fill[9], 0);
}

TEST(ContactGrid, ComparesTheColumnWhereTheEnteredPersonIsNow) {
  clear_sick_list();
  Person sick = at(10, 20);
  add_sick_list(&sick);
  sick.x = 11; // it moves after being entered in row 20
  sick.y = 21;
  Person old_spot = at(10, 20), new_column_old_row = at(11, 20), new_spot = at(11, 21);
  EXPECT_EQ(check_sick_list(&old_spot), 0);
  EXPECT_EQ(check_sick_list(&new_column_old_row), 1);
  EXPECT_EQ(check_sick_list(&new_spot), 0);
}

TEST(ContactGrid, RowHoldsAtMost350AndClearingEmptiesIt) {
  clear_sick_list();
  std::vector<Person> row;
  for (int i = 0; i < 351; ++i)
    row.push_back(at(i, 0));
  for (Person& p : row)
    add_sick_list(&p);
  Person at349 = at(349, 0), at350 = at(350, 0);
  EXPECT_EQ(check_sick_list(&at349), 1);
  EXPECT_EQ(check_sick_list(&at350), 0); // the 351st was never entered
  clear_sick_list();
  EXPECT_EQ(check_sick_list(&at349), 0);
}

TEST(ContactGrid, RowsOutsideTheGridAreIgnored) {
  clear_sick_list();
  Person low = at(1, -1), high = at(1, 1080), far = at(1, 5000);
  add_sick_list(&low);
  add_sick_list(&high);
  add_sick_list(&far);
  EXPECT_EQ(check_sick_list(&low), 0);
  EXPECT_EQ(check_sick_list(&high), 0);
  Person top = at(1, 1079);
  add_sick_list(&top);
  Person top2 = at(1, 1079);
  EXPECT_EQ(check_sick_list(&top2), 1);
}
