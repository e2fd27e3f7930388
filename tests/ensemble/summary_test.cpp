#include "ensemble/summary.h"

#include <gtest/gtest.h>

// Worked by hand with h = (n - 1) p.
TEST(Summary, quantileInterpolatesBetweenOrderStatistics) {
  const double p[] = {0.05, 0.25, 0.5, 0.75, 0.95};
  for (auto [sorted, want] : std::vector<std::pair<std::vector<double>, std::vector<double>>>{
           {{7}, {7, 7, 7, 7, 7}},
           {{1, 3}, {1.1, 1.5, 2, 2.5, 2.9}},
           {{2, 4, 8, 16, 32}, {2.4, 4, 8, 16, 28.8}}})
    for (int i = 0; i < 5; ++i)
      EXPECT_NEAR(quantile(sorted, p[i]), want[i], 1e-9) << sorted.size() << " " << p[i];
}

// A run of days 1..last whose every series holds `v` except immune, which holds `immune`.
static std::vector<DayFigures> run(int last, long long v, long long immune) {
  std::vector<DayFigures> days;
  for (int d = 1; d <= last; ++d)
    days.push_back({d, {v, v, v, immune, v}});
  return days;
}

// What write_summary_rows writes into `room` bytes, or "failed" when it reports a failure.
static std::string text(const std::vector<SummaryRow>& rows, int point = 0,
                        const std::vector<std::string>& cells = {}, size_t room = 1024) {
  char written[1024] = "";
  std::FILE* out = fmemopen(written, room, "w");
  std::setvbuf(out, nullptr, _IONBF, 0);
  const bool ok = write_summary_rows(out, point, cells, rows);
  std::fclose(out);
  return ok ? written : "failed";
}

// A day missing inside a run leaves that run out of the day, rather than counting it as 0. Rows
// have the header's columns and six significant digits.
TEST(Summary, endedRunCountsZeroExceptImmuneWhereItIsLeftOutAndRowsMatchTheHeader) {
  PointSummary point;
  std::vector<DayFigures> gap = run(4, 40, 7);
  gap.erase(gap.begin() + 1);
  point.add_run(gap);
  point.add_run(run(2, 10, 5));
  point.add_run(run(3, 20, 6));
  const std::vector<SummaryRow> rows = point.rows();
  ASSERT_EQ(rows.size(), 4u * kSummarySeries);
  EXPECT_EQ(std::pair(rows[kSummarySeries].n, rows[kSummarySeries].mean), std::pair(2, 15.0));
  EXPECT_EQ(text({rows.begin() + 2 * kSummarySeries, rows.end()}),
            "0,3,infected,3,20,2,10,20,30,38\n0,3,new_cases,3,20,2,10,20,30,38\n"
            "0,3,newly_quarantined,3,20,2,10,20,30,38\n0,3,immune,2,6.5,6.05,6.25,6.5,6.75,6.95\n"
            "0,3,dead_today,3,20,2,10,20,30,38\n0,4,infected,3,13.3333,0,0,0,20,36\n"
            "0,4,new_cases,3,13.3333,0,0,0,20,36\n0,4,newly_quarantined,3,13.3333,0,0,0,20,36\n"
            "0,4,immune,1,7,7,7,7,7,7\n0,4,dead_today,3,13.3333,0,0,0,20,36\n");
  EXPECT_EQ(summary_header({"infection-rate", "lockdown"}),
            "point,infection-rate,lockdown,day,series,n,mean,p5,p25,median,p75,p95");
  EXPECT_EQ(text({{12, 4, 3, 1.0 / 3, 1e-7, 2.5, 100000, 1234567, 0}}, 7, {"10", "1"}),
            "7,10,1,12,dead_today,3,0.333333,1e-07,2.5,100000,1.23457e+06,0\n");
  EXPECT_EQ(text({{1, 0, 1, 2, 2, 2, 2, 2, 2}}, 0, {}, 4), "failed");
}
