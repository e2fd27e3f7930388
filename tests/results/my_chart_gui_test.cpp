#include <gtest/gtest.h>

#include "results/accumulation_store.h"
#include "results/my_chart.h"
#include "tests/chart/chart_probe.h"

// Positions along row y of a white 1024 x 200 result chart, drawn after a run of `days`, that
// show `colour`; with `x` set, positions down that column instead.
static std::vector<int> lines(int days, Fl_Boxtype box, Px colour, int y, int x = -1) {
  last_accumulation_cnt = days;
  Fl_Window top(1044, 260);
  auto* chart = new Recorded<MyChart>(10, 40, 1024, 200, "Infected");
  top.end();
  chart->color(FL_WHITE);
  chart->box(box);
  redraw_now(&top);
  last_accumulation_cnt = 0;
  std::vector<int> found;
  for (int i = 0; i < (x < 0 ? 1024 : 200); ++i)
    if ((x < 0 ? chart->at(i, y) : chart->at(x, i)) == colour)
      found.push_back(i);
  return found;
}

static std::vector<int> every(int step, int last, int skip_multiples_of = 0) {
  std::vector<int> xs;
  for (int x = step; x <= last; x += step)
    if (!skip_multiples_of || x % skip_multiples_of)
      xs.push_back(x);
  return xs;
}

// Row 105 lies clear of the caption and the horizontal lines. The framed (live) chart has no
// grid; before any run the days are spaced by 10.
TEST(MyChartGui, DayGridFollowsTheLastRunsLength) {
  const Px light{240, 240, 240}, dark{200, 200, 200};
  using Grid = std::tuple<int, Fl_Boxtype, std::vector<int>, std::vector<int>>;
  for (auto [days, box, dark_at, light_at] :
       {Grid{100, FL_NO_BOX, every(10, 1020), {}},
        Grid{150, FL_NO_BOX, every(30, 1020), every(6, 1020, 30)}, Grid{300, FL_NO_BOX, {}, {}},
        Grid{0, FL_NO_BOX, every(10, 1020), {}}, Grid{100, FL_FLAT_BOX, {}, {}}}) {
    EXPECT_EQ(lines(days, box, dark, 105), dark_at) << days;
    EXPECT_EQ(lines(days, box, light, 105), light_at) << days;
  }
  EXPECT_EQ(lines(300, FL_NO_BOX, light, 0, 1001), every(10, 190)); // none at the bottom edge
}
