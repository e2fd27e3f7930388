// SPDX-License-Identifier: MIT
#include "fit/observed_data.h"

#include <gtest/gtest.h>

#include <utility>

#include "sim/tick_hooks.h"

TEST(ObservedData, readsColumnsInAnyOrderWithBlankCellsMissing) {
  ObservedData data;
  std::string error;
  ASSERT_TRUE(read_observed_data("dead,day,infected\r\n,2,5\r\n3.5,4,\r\n0,9,1e1", &data, &error))
      << error;
  // The rows' first and last day, then each series' figure, max, days and values.
  std::vector<double> read = {1.0 * data.first_day, 1.0 * data.last_day};
  for (const ObservedSeries& s : data.series) {
    read.insert(read.end(), {1.0 * s.figure, s.max});
    for (const Observation& o : s.observed)
      read.insert(read.end(), {1.0 * o.day, o.value});
  }
  EXPECT_EQ(read, (std::vector<double>{2, 9, kSampleDead, 3.5, 4, 3.5, 9, 0, kSampleInfected, 10, 2,
                                       5, 9, 10}));
}

TEST(ObservedData, refusesWithTheLineAtFault) {
  using namespace std::string_literals;
  const std::pair<std::string, std::string> refused[] = {
      {"", "1: no header: not a CSV file"},
      {"day,infected\n1,2\0\n"s, "2: a NUL byte: not a CSV file"},
      {"infected,dead\n1,2\n", "1: no day column"},
      {"day\n1\n", "1: no column of figures besides day"},
      {"day,Infected\n1,2\n", "1: unknown column \"Infected\""},
      {"day,dead,dead\n1,2,3\n", "1: column \"dead\" twice"},
      {"day" + std::string(16, ',') + "\n1", "1: more than 16 columns"},
      {"day,dead\n", "2: no row after the header"},
      {"day,dead\n1,2\n2\n", "3: 1 cells where the header has 2"},
      {"day,dead\n1,2,\n", "2: 3 cells where the header has 2"},
      {"day,dead\n0,2\n", "2: day \"0\" is not a whole number from 1 to 32768"},
      {"day,dead\n32769,2\n", "2: day \"32769\" is not a whole number from 1 to 32768"},
      {"day,dead\n2,1\n2,1\n", "3: day 2 after day 2: days must increase"},
      {"day,dead\n1,-1\n", "2: dead \"-1\" is not a finite number from 0 up"},
      {"day,dead\n1,1e999\n", "2: dead \"1e999\" is not a finite number from 0 up"},
      {"day,dead,infected\n1,2,\n2,3,\n", "1: column \"infected\" has no value"},
      {"day,dead\x1b\n1,2\n", "1: unknown column \"dead\\x1b\""},
  };
  for (const auto& [text, reason] : refused) {
    ObservedData data;
    std::string error;
    EXPECT_FALSE(read_observed_data(text, &data, &error)) << text;
    EXPECT_EQ(error, reason) << text;
  }
}
