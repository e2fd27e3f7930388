#include "ensemble/summary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct QuantileCase {
  std::vector<double> sorted;
  double p;
  double expected; // worked by hand with h = (n - 1) p
};

TEST(Summary, quantileInterpolatesBetweenOrderStatistics) {
  const std::vector<double> one = {7}, two = {1, 3}, five = {2, 4, 8, 16, 32};
  const QuantileCase cases[] = {
      {one, 0.05, 7},    {one, 0.25, 7},   {one, 0.5, 7},  {one, 0.75, 7},   {one, 0.95, 7},
      {two, 0.05, 1.1},  {two, 0.25, 1.5}, {two, 0.5, 2},  {two, 0.75, 2.5}, {two, 0.95, 2.9},
      {five, 0.05, 2.4}, {five, 0.25, 4},  {five, 0.5, 8}, {five, 0.75, 16}, {five, 0.95, 28.8},
  };
  for (const QuantileCase& c : cases)
    EXPECT_NEAR(quantile(c.sorted, c.p), c.expected, 1e-9)
        << "n=" << c.sorted.size() << " p=" << c.p;
}

// A run of days 1..last whose every series holds `infected` except immune, which holds `immune`.
std::vector<DayFigures> run(int last, long long infected, long long immune) {
  std::vector<DayFigures> days;
  for (int d = 1; d <= last; ++d)
    days.push_back({d, {infected, infected, infected, immune, infected}});
  return days;
}

const SummaryRow& row(const std::vector<SummaryRow>& rows, int day, int series) {
  for (const SummaryRow& r : rows)
    if (r.day == day && r.series == series)
      return r;
  ADD_FAILURE() << "no row for day " << day << " series " << series;
  return rows.front();
}

TEST(Summary, endedRunCountsZeroExceptImmuneWhereItIsLeftOut) {
  PointSummary point;
  point.add_run(run(4, 40, 7));
  point.add_run(run(2, 10, 5));
  point.add_run(run(3, 20, 6));
  const std::vector<SummaryRow> rows = point.rows();
  ASSERT_EQ(rows.size(), 4u * kSummarySeries);
  for (size_t i = 0; i < rows.size(); ++i) { // by day, then series in order
    EXPECT_EQ(rows[i].day, static_cast<int>(i / kSummarySeries) + 1);
    EXPECT_EQ(rows[i].series, static_cast<int>(i % kSummarySeries));
  }
  for (int s : {0, 1, 2, 4}) {
    const SummaryRow& d3 = row(rows, 3, s); // {0, 20, 40}
    EXPECT_EQ(d3.n, 3);
    EXPECT_DOUBLE_EQ(d3.mean, 20);
    EXPECT_DOUBLE_EQ(d3.median, 20);
    const SummaryRow& d4 = row(rows, 4, s); // {0, 0, 40}
    EXPECT_EQ(d4.n, 3);
    EXPECT_DOUBLE_EQ(d4.median, 0);
    EXPECT_NEAR(d4.p95, 36, 1e-9);
  }
  EXPECT_EQ(row(rows, 1, kImmuneSeries).n, 3);
  const SummaryRow& immune3 = row(rows, 3, kImmuneSeries); // {6, 7}
  EXPECT_EQ(immune3.n, 2);
  EXPECT_DOUBLE_EQ(immune3.mean, 6.5);
  EXPECT_DOUBLE_EQ(immune3.p25, 6.25);
  const SummaryRow& immune4 = row(rows, 4, kImmuneSeries);
  EXPECT_EQ(immune4.n, 1);
  EXPECT_DOUBLE_EQ(immune4.p5, 7);
}

TEST(Summary, dayMissingInsideARunLeavesThatRunOutRatherThanZero) {
  PointSummary point;
  point.add_run(run(3, 10, 1));
  std::vector<DayFigures> gap = run(3, 30, 1);
  gap.erase(gap.begin() + 1);
  point.add_run(gap);
  const std::vector<SummaryRow> rows = point.rows();
  const SummaryRow& infected2 = row(rows, 2, 0);
  EXPECT_EQ(infected2.n, 1);
  EXPECT_DOUBLE_EQ(infected2.mean, 10);
}

std::string written(int point, const std::vector<std::string>& cells,
                    const std::vector<SummaryRow>& rows) {
  char* buf = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&buf, &size);
  EXPECT_TRUE(write_summary_rows(out, point, cells, rows));
  std::fclose(out);
  std::string text(buf, size);
  std::free(buf);
  return text;
}

TEST(Summary, headerAndRowsUseTheirColumnsAndSixSignificantDigits) {
  EXPECT_EQ(summary_header({"infection-rate", "lockdown"}),
            "point,infection-rate,lockdown,day,series,n,mean,p5,p25,median,p75,p95");
  EXPECT_EQ(summary_header({}), "point,day,series,n,mean,p5,p25,median,p75,p95");
  const std::vector<SummaryRow> rows = {
      {12, 2, 3, 1.0 / 3, 0.05, 2.5, 100000, 1234567, 0},
      {13, 4, 100000, 0, 1e-7, -2, 3, 4, 5},
  };
  EXPECT_EQ(written(7, {"10", "1"}, rows),
            "7,10,1,12,newly_quarantined,3,0.333333,0.05,2.5,100000,1.23457e+06,0\n"
            "7,10,1,13,dead_today,100000,0,1e-07,-2,3,4,5\n");
  EXPECT_EQ(written(0, {}, {{1, 0, 1, 2, 2, 2, 2, 2, 2}}), "0,1,infected,1,2,2,2,2,2,2\n");
}

TEST(Summary, failedStreamIsReported) {
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  std::setvbuf(full, nullptr, _IONBF, 0);
  EXPECT_FALSE(write_summary_rows(full, 0, {}, {{1, 0, 1, 2, 2, 2, 2, 2, 2}}));
  std::fclose(full);
}

} // namespace
