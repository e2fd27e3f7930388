#include "chart/cow_graph.h"

#include <gtest/gtest.h>

TEST(CowGraph, SettersReachEveryLayerGettersReadLayerZero) {
  CowGraph g(0, 0, 100, 50, 3, 0.5, nullptr);
  g.maxsize(7);
  g.charts[1]->maxsize(9);
  g.add(1, 3.0);
  g.add(7, 1.0); // no such layer: ignored
  double a = -3.0, b = 0.0;
  g.bounds(&a, nullptr);
  g.bounds(5.0, 10.0);
  g.charts[2]->bounds(1.0, 2.0);
  g.bounds(&a, &b);
  EXPECT_EQ((std::vector<int>{g.maxsize(), g.charts[2]->maxsize(), g.size()}),
            (std::vector<int>{7, 7, 0}));
  EXPECT_EQ((std::pair{a, b}), (std::pair{5.0, 10.0}));
}
