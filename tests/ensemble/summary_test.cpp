#include "ensemble/summary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

TEST(Summary, quantileInterpolatesBetweenOrderStatistics) {
  const std::vector<double> one = {7}, two = {1, 3}, five = {2, 4, 8, 16, 32};
  const double p[] = {0.05, 0.25, 0.5, 0.75, 0.95};
  // Worked by hand with h = (n - 1) p.
  const struct {
    const std::vector<double>& sorted;
    double expected[5];
  } cases[] = {
      {one, {7, 7, 7, 7, 7}}, {two, {1.1, 1.5, 2, 2.5, 2.9}}, {five, {2.4, 4, 8, 16, 28.8}}};
  for (const auto& c : cases)
    for (int i = 0; i < 5; ++i)
      EXPECT_NEAR(quantile(c.sorted, p[i]), c.expected[i], 1e-9)
          << "n=" << c.sorted.size() << " p=" << p[i];
}

// A run of days 1..last whose every series holds `v` except immune, which holds `immune`.
std::vector<DayFigures> run(int last, long long v, long long immune) {
  std::vector<DayFigures> days;
  for (int d = 1; d <= last; ++d)
    days.push_back({d, {v, v, v, immune, v}});
  return days;
}

TEST(Summary, endedRunCountsZeroExceptImmuneWhereItIsLeftOut) {
  PointSummary point;
  point.add_run(run(4, 40, 7));
  point.add_run(run(2, 10, 5));
  point.add_run(run(3, 20, 6));
  const std::vector<SummaryRow> rows = point.rows();
  ASSERT_EQ(rows.size(), 4u * kSummarySeries);
  for (size_t i = 0; i < rows.size(); ++i) { // by day, then series in order
    ASSERT_EQ(rows[i].day, static_cast<int>(i / kSummarySeries) + 1);
    ASSERT_EQ(rows[i].series, static_cast<int>(i % kSummarySeries));
  }
  auto at = [&](int day, int series) { return rows[(day - 1) * kSummarySeries + series]; };
  for (int s : {0, 1, 2, 4}) {
    EXPECT_EQ(at(3, s).n, 3); // {0, 20, 40}
    EXPECT_DOUBLE_EQ(at(3, s).mean, 20);
    EXPECT_DOUBLE_EQ(at(3, s).median, 20);
    EXPECT_EQ(at(4, s).n, 3); // {0, 0, 40}
    EXPECT_DOUBLE_EQ(at(4, s).median, 0);
    EXPECT_NEAR(at(4, s).p95, 36, 1e-9);
  }
  EXPECT_EQ(at(1, kImmuneSeries).n, 3);
  EXPECT_EQ(at(3, kImmuneSeries).n, 2); // {6, 7}
  EXPECT_DOUBLE_EQ(at(3, kImmuneSeries).mean, 6.5);
  EXPECT_DOUBLE_EQ(at(3, kImmuneSeries).p25, 6.25);
  EXPECT_EQ(at(4, kImmuneSeries).n, 1);
  EXPECT_DOUBLE_EQ(at(4, kImmuneSeries).p5, 7);
}

TEST(Summary, dayMissingInsideARunLeavesThatRunOutRatherThanZero) {
  PointSummary point;
  point.add_run(run(3, 10, 1));
  std::vector<DayFigures> gap = run(3, 30, 1);
  gap.erase(gap.begin() + 1);
  point.add_run(gap);
  const SummaryRow infected2 = point.rows()[kSummarySeries];
  EXPECT_EQ(infected2.n, 1);
  EXPECT_DOUBLE_EQ(infected2.mean, 10);
}

TEST(Summary, headerAndRowsUseTheirColumnsAndSixSignificantDigits) {
  EXPECT_EQ(summary_header({"infection-rate", "lockdown"}),
            "point,infection-rate,lockdown,day,series,n,mean,p5,p25,median,p75,p95");
  char* buf = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&buf, &size);
  EXPECT_TRUE(write_summary_rows(
      out, 7, {"10", "1"},
      {{12, 2, 3, 1.0 / 3, 0.05, 2.5, 100000, 1234567, 0}, {13, 4, 100000, 0, 1e-7, -2, 3, 4, 5}}));
  std::fclose(out);
  EXPECT_EQ(std::string(buf, size),
            "7,10,1,12,newly_quarantined,3,0.333333,0.05,2.5,100000,1.23457e+06,0\n"
            "7,10,1,13,dead_today,100000,0,1e-07,-2,3,4,5\n");
  std::free(buf);

  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  std::setvbuf(full, nullptr, _IONBF, 0);
  EXPECT_FALSE(write_summary_rows(full, 0, {}, {{1, 0, 1, 2, 2, 2, 2, 2, 2}}));
  std::fclose(full);
}

} // namespace
