// SPDX-License-Identifier: MIT
#include "params/run_parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <set>
#include <tuple>
#include <vector>

static bool overlap(const PanelPlace& a, const PanelPlace& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// Names are option-shaped and unique, first values in range, panel places apart (the panel test
// sees them inside the window).
TEST(RunParameterTable, NamesRangesAndPlacesHold) {
  const auto whole = [](double v) { return std::floor(v) == v; };
  const std::regex option_shaped("[a-z][a-z0-9]*(-[a-z0-9]+)*");
  std::set<std::string> names;
  std::vector<std::pair<std::string, PanelPlace>> places;
  for (const ParamRow& r : param_rows()) {
    EXPECT_TRUE(std::regex_match(r.name, option_shaped)) << r.name;
    EXPECT_TRUE(names.insert(r.name).second) << r.name << " twice";
    EXPECT_TRUE(
        r.low <= r.initial && r.initial <= r.high &&
        (r.kind == ParamKind::Real || (whole(r.low) && whole(r.high) && whole(r.initial))) &&
        (r.kind != ParamKind::Toggle || (r.low == 0 && r.high == 1)))
        << r.name << ": range";
    places.push_back({r.name, r.place});
  }
  for (const ScheduleRow& s : schedule_rows()) {
    EXPECT_TRUE(names.insert(s.name).second) << s.name << " twice";
    EXPECT_NE(find_param(s.drives), nullptr) << s.name;
    places.push_back({s.name, s.place});
  }
  for (size_t i = 0; i < places.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      EXPECT_FALSE(overlap(places[i].second, places[j].second))
          << places[i].first << " on " << places[j].first;
}

// A run starts from the panel's first values, each taken into a place of its own.
TEST(RunParameterTable, FirstValuesAreThePanelsAndEachRowHasItsOwnTarget) {
  const RunParameters engine = initial_run_parameters();
  std::set<const void*> targets;
  for (const ParamRow& r : param_rows()) {
    EXPECT_EQ(param_value(r, engine), r.initial) << r.name;
    if (r.whole || r.real) {
      const void* at = r.whole ? static_cast<const void*>(&(engine.*r.whole))
                               : static_cast<const void*>(&(engine.*r.real));
      EXPECT_TRUE(targets.insert(at).second) << r.name << " shares its target";
    }
  }
  RunParameters changed = initial_run_parameters();
  store_param(*find_param("death-rate"), 7.9, &changed);
  EXPECT_EQ(changed.death_rate, 7) << "a whole value is truncated like atoi";
}

// A schedule as the options give it: the panel's first one until a good one comes; each value's
// refusal is the option test's.
TEST(RunParameterTable, ReadsSchedulesLikeTheOptions) {
  const ScheduleRow& lazy = *find_schedule("inactivity-schedule");
  PolicyArray p = initial_schedule(lazy);
  EXPECT_EQ(p[9].setpoint_day, 270);
  std::string error;
  ASSERT_TRUE(parse_schedule(lazy, "0:20,-1:0,5:80", &p, &error)) << error;
  EXPECT_EQ(std::tuple(p[0].setpoint_day, p[1].setpoint_day, p[2].value, p[3].setpoint_day),
            std::tuple(0, -1, 80.0, -1));
  for (const char* bad :
       {"5:1,3:1", "0:1,", "0:inf", "0:1,1:1,2:1,3:1,4:1,5:1,6:1,7:1,8:1,9:1,10:1"})
    EXPECT_FALSE(parse_schedule(lazy, bad, &p, &error)) << bad;
  EXPECT_EQ(p[2].value, 80) << "a refused schedule changes nothing";
}
