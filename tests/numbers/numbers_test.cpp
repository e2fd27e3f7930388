// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "numbers/number_reading.h"
#include "numbers/number_text.h"

// Both forms read back exactly; they differ in where an exponent goes and in a whole value.
TEST(NumberText, ShortestFormsReadBackExactly) {
  for (const double v : {0.1 + 0.2, 100.0 / 3.0, 1e-7, 1e300, -2.5, 350000.0})
    for (const std::string& text : {shortest_text(v), real_literal(v)})
      EXPECT_EQ(std::strtod(text.c_str(), nullptr), v) << text;
  EXPECT_EQ(
      (std::vector{shortest_text(1e5), shortest_text(1e-7), shortest_text(-0.0), real_literal(20),
                   real_literal(2e-5), real_literal(1e-7), real_literal(-0.0)}),
      (std::vector<std::string>{"100000", "0.0000001", "0", "20.0", "0.00002", "1e-07", "0.0"}));
}

// The whole text or nothing; a count only as printf writes it, up to its bound.
TEST(NumberReading, TakesTheWholeTextOnly) {
  long long whole = -1, count = -1;
  double real = -1;
  for (const char* bad : {"", "-", "+5", " 5", "5 ", "5x", "9223372036854775808"})
    EXPECT_FALSE(parse_whole_number(bad, -10, 1LL << 62, &whole)) << bad;
  EXPECT_FALSE(parse_whole_number(std::string("5\0", 2), 0, 9, &whole));
  EXPECT_TRUE(parse_whole_number("-007", -10, 10, &whole) && whole == -7);
  for (const char* bad : {"", " 1", "1 ", "inf", "nan", "1e999", "1,5"})
    EXPECT_FALSE(parse_real_number(bad, &real)) << bad;
  EXPECT_TRUE(parse_real_number("0x10", &real) && real == 16);
  EXPECT_EQ((std::vector{read_count("12,3", 99, &count), read_count("0", 0, &count),
                         read_count("01", 99, &count), read_count("-1", 99, &count),
                         read_count("100", 99, &count), read_count("", 99, &count)}),
            (std::vector<std::size_t>{2, 1, 0, 0, 0, 0}));
  EXPECT_EQ(split_commas(",a,"), (std::vector<std::string>{"", "a", ""}));
}
