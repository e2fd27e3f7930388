#include "chart/cow_graph.h"

#include <gtest/gtest.h>

namespace {

TEST(CowGraph, LayersCoverTheWindow) {
  CowGraph g(5, 6, 120, 80, 3, 0.5, "graph");
  ASSERT_EQ(g.chart_count, 3);
  EXPECT_EQ(Fl_Group::current(), nullptr); // ended its own group
  g.size(70, 30);
  for (const CowChart* c : {g.charts[0], g.charts[1], g.charts[2]}) {
    EXPECT_EQ(c->parent(), &g);
    EXPECT_EQ(c->box(), FL_NO_BOX);
    EXPECT_EQ((std::vector<int>{c->x(), c->y(), c->w(), c->h()}), (std::vector<int>{0, 0, 70, 30}));
  }
}

TEST(CowGraph, SettersReachEveryLayerGettersReadLayerZero) {
  CowGraph g(0, 0, 100, 50, 3, 0.5, nullptr);
  g.type(1, 2);
  EXPECT_EQ(g.charts[0]->type(), 0);
  EXPECT_EQ(g.charts[1]->type(), 2);
  g.type(258); // cut to 8 bits
  EXPECT_EQ(g.charts[2]->type(), 2);
  g.maxsize(7);
  g.textsize(6);
  g.charts[1]->maxsize(9);
  g.charts[2]->textsize(14);
  EXPECT_EQ(g.maxsize(), 7);
  EXPECT_EQ(g.textsize(), 6);
  EXPECT_EQ(g.charts[1]->textsize(), 6);

  g.add(1, 3.0, "a", 88);
  EXPECT_EQ(g.size(), 0); // layer 0 is still empty
  g.add(0, 1.0, nullptr, 95);
  g.add(7, 1.0, nullptr, 95); // no such layer: ignored
  EXPECT_EQ(g.size(), 1);
  g.clear();
  EXPECT_EQ(g.charts[1]->size(), 0);

  double a = -3.0, b = -4.0;
  g.bounds(&a, nullptr);
  EXPECT_EQ(a, -3.0);
  g.bounds(5.0, 10.0);
  g.bounds(&a, &b);
  EXPECT_EQ(a, 5.0);
  EXPECT_EQ(b, 10.0);
}

} // namespace
