// SPDX-License-Identifier: MIT
#include "ensemble/summary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <map>

#include "ensemble/ensemble_merge.h"
#include "tests/support/batch_process.h"

// A run of days 1..last whose every series holds `v` except immune, which holds `immune`.
static std::vector<DayFigures> run(int last, int v, int immune) {
  std::vector<DayFigures> days;
  for (int d = 1; d <= last; ++d) {
    days.push_back({d, {}});
    std::fill(std::begin(days.back().sample.value), std::end(days.back().sample.value), v);
    days.back().sample.value[kSampleImmune] = immune;
  }
  return days;
}

// What write_summary_rows writes into `room` bytes, or "failed" when it reports a failure.
static std::string text(const std::vector<SummaryRow>& rows, int point = 0,
                        const std::vector<std::string>& cells = {}, size_t room = 1 << 16) {
  std::vector<char> written(room + 1, '\0');
  std::FILE* out = fmemopen(written.data(), room, "w");
  std::setvbuf(out, nullptr, _IONBF, 0);
  const bool ok = write_summary_rows(out, point, cells, rows);
  std::fclose(out);
  return ok ? written.data() : "failed";
}

// A day missing inside a run leaves that run out of the day rather than counting it as ended.
TEST(Summary, endedRunCountsZeroOrItsLastValueOrIsLeftOutAndRowsMatchTheHeader) {
  PointSummary point;
  std::vector<DayFigures> gap = run(4, 40, 7);
  gap.erase(gap.begin() + 1);
  point.add_run(gap);
  point.add_run(run(2, 10, 5));
  point.add_run(run(3, 20, 6));
  const std::vector<SummaryRow> rows = point.rows();
  ASSERT_EQ(rows.size(), 4u * kSummarySeries);
  EXPECT_EQ(std::pair(rows[kSummarySeries].n, rows[kSummarySeries].mean), std::pair(2, 15.0));
  std::vector<SummaryRow> shown; // a flow, immune and a stock, by the quantiles of type 7
  for (const SummaryRow& r : rows)
    if (r.day >= 3 && (r.series == kSampleDeadToday || r.series == kSampleImmune ||
                       r.series == kSampleCumulativeInfections))
      shown.push_back(r);
  EXPECT_EQ(text(shown), "0,3,immune,2,6.5,6.05,6.25,6.5,6.75,6.95\n"
                         "0,3,dead_today,3,20,2,10,20,30,38\n"
                         "0,3,cumulative_infections,3,23.333333333333332,11,15,20,30,38\n"
                         "0,4,immune,1,7,7,7,7,7,7\n"
                         "0,4,dead_today,3,13.333333333333334,0,0,0,20,36\n"
                         "0,4,cumulative_infections,3,23.333333333333332,11,15,20,30,38\n");
  EXPECT_EQ(summary_header({"infection-rate", "lockdown"}),
            "point,infection-rate,lockdown,day,series,n,mean,p5,p25,median,p75,p95");
  EXPECT_EQ(
      text({{12, 4, 3, 1.0 / 3, 1e-7, 2.5, 100000, 14531.666666666666, 0}}, 7, {"10", "1"}),
      "7,10,1,12,dead_today,3,0.3333333333333333,0.0000001,2.5,100000,14531.666666666666,0\n");
  EXPECT_EQ(text({{1, 0, 1, 2, 2, 2, 2, 2, 2}}, 0, {}, 4), "failed");
}

// The budget bounds a window's values and every run's last row, and a point that fits takes one
// window. The merge of the recomputed ensemble below runs windows of one day.
TEST(Summary, windowsStayWithinTheBudget) {
  EXPECT_LE(summary_window_days(kMaxRunsPerPoint) * kMaxRunsPerPoint * kSummarySeries * 8 +
                kMaxRunsPerPoint * sizeof(DayFigures),
            kSummaryBudget);
  EXPECT_GT(summary_window_days(1000), 100);
}

static std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, ',');)
    out.push_back(field);
  return out;
}

// Counts of persons: always within fixed notation's reach.
static std::string shortest(double value) {
  char text[64];
  return std::string(text,
                     std::to_chars(text, text + sizeof text, value, std::chars_format::fixed).ptr);
}

using Days = std::map<int, std::array<long long, kSummarySeries>>; // one run's rows by day

// runs.csv of a one-option sweep by point and run; each (point, day) with a row goes to point_days.
static std::map<int, std::map<int, Days>> read_runs(const std::string& path,
                                                    std::set<std::pair<int, int>>* point_days) {
  std::map<int, std::map<int, Days>> runs;
  const std::vector<std::string> lines = split_lines(slurp(path));
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> f = fields(lines[i]);
    point_days->insert({std::stoi(f[0]), std::stoi(f[4])});
    auto& values = runs[std::stoi(f[0])][std::stoi(f[1])][std::stoi(f[4])];
    for (int s = 0; s < kSummarySeries; ++s)
      values[s] = std::stoll(f[5 + s]);
  }
  return runs;
}

// bands.dat's words after the day, by point and day: one block per point, blank lines between.
static std::map<std::pair<int, int>, std::vector<std::string>> read_bands(const std::string& path) {
  std::map<std::pair<int, int>, std::vector<std::string>> out;
  int point = 0;
  bool in_block = false;
  for (const std::string& line : split_lines(slurp(path))) {
    std::istringstream in(line);
    const std::vector<std::string> w{std::istream_iterator<std::string>(in), {}};
    if (line.empty())
      point += std::exchange(in_block, false);
    else if (line[0] != '#')
      in_block = true, out[{point, std::stoi(w[0])}] = {w.begin() + 1, w.end()};
  }
  return out;
}

// ends.csv against each run's daily rows: what the run's end adds to its last row is bounded.
static void check_ends(const std::string& path, const std::map<int, std::map<int, Days>>& runs) {
  const std::vector<std::string> lines = split_lines(slurp(path));
  ASSERT_EQ(lines[0], "point,run,seed,infection-rate,days,peak_day,peak_infected,total_dead,"
                      "cumulative_infections,ever_infected,dead,vaccinations");
  ASSERT_EQ(lines.size(), 7u);
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<long long> e;
    for (const std::string& f : fields(lines[i]))
      e.push_back(std::stoll(f));
    const Days& days = runs.at(static_cast<int>(e[0])).at(static_cast<int>(e[1]));
    const auto& last = days.rbegin()->second;
    long long vaccinated = 0; // the draws are made at day boundaries, each one a row's
    for (const auto& [on_day, values] : days)
      vaccinated += values[kSampleNewlyVaccinated];
    // Only the sick at the last sample can die later that day (an illness lasts 3 days).
    const long long sick = last[kSampleAmbulatory] + last[kSampleBedridden];
    EXPECT_EQ(std::tuple(e[4], e[10], e[11]), std::tuple(days.rbegin()->first, e[7], vaccinated))
        << lines[i];
    EXPECT_TRUE(e[8] >= last[kSampleCumulativeInfections] && e[9] <= e[8] && e[9] > 0 &&
                e[10] >= last[kSampleDead] && e[10] <= last[kSampleDead] + sick)
        << lines[i];
  }
}

// By the README's rules, exact: with tens of thousands immune, six digits would lose the means.
TEST(Summary, EnsembleSummaryRecomputedFromRunsCsvAndMergedDayByDay) {
  const std::string dir = fresh("recomputed");
  const Result r = batch(
      "--seed 3 --population 40000 --arena-size 100 --infection-length 3 --death-rate 30 "
      "--initially-infected 10 --vaccination 0.5 --runs 3 --vary infection-rate=20,40 --quiet "
      "--out " +
      dir);
  ASSERT_EQ(r.status, 0) << r.err;
  std::set<std::pair<int, int>> point_days;
  const auto runs = read_runs(dir + "/runs.csv", &point_days);
  const auto bands = read_bands(dir + "/bands.dat");
  const std::string summary = slurp(dir + "/summary.csv"), plotted = slurp(dir + "/bands.dat");
  const std::vector<std::string> lines = split_lines(summary);
  ASSERT_EQ(lines.size(), 1 + point_days.size() * kSummarySeries);
  int fewer = 0, held = 0; // immune rows without the runs that had ended, stock rows with them
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> f = fields(lines[i]);
    const int point = std::stoi(f[0]), on_day = std::stoi(f[2]);
    const int s = static_cast<int>(
        std::find(kDailyFigureNames, kDailyFigureNames + kSummarySeries, f[3]) - kDailyFigureNames);
    ASSERT_LT(s, kSummarySeries) << lines[i];
    const bool stock = s == kSampleCumulativeInfections || s >= kFirstCompartment;
    long long sum = 0;
    int n = 0;
    for (const auto& [run, days] : runs.at(point)) {
      const auto row = days.find(on_day);
      const bool ended = on_day > days.rbegin()->first;
      if (row != days.end())
        sum += row->second[s];
      else if (ended && stock)
        sum += days.rbegin()->second[s], held += days.rbegin()->second[s] > 0;
      n += row != days.end() || (ended && s != kImmuneSeries);
    }
    fewer += n < static_cast<int>(runs.at(point).size());
    const double mean = static_cast<double>(sum) / n;
    ASSERT_EQ(std::pair(f[4], std::strtod(f[5].c_str(), nullptr)),
              std::pair(std::to_string(n), mean))
        << lines[i] << ": recomputed mean " << shortest(mean);
    for (size_t c = 5; c < f.size(); ++c)
      ASSERT_EQ(f[c], shortest(std::strtod(f[c].c_str(), nullptr))) << lines[i];
    const std::vector<std::string>& band = bands.at({point, on_day});
    ASSERT_EQ(std::vector(f.begin() + 6, f.end()),
              std::vector(band.begin() + 5 * s, band.begin() + 5 * s + 5))
        << lines[i];
  }
  EXPECT_GT(fewer * held, 0) << "no run ended before another";
  check_ends(dir + "/ends.csv", runs);
  // points.csv recomputed from ends.csv by Python, and read by pandas: Debian's Python, where
  // the test command installs pandas, whatever other Python comes first on the PATH.
  const std::string check = std::filesystem::path(__FILE__).parent_path() / "points_check.py";
  const Result py = sh("/usr/bin/python3 " + check + " " + dir);
  EXPECT_EQ(std::pair(py.status, py.out), std::pair(0, std::string("2 points checked\n")))
      << py.err;
  const std::string points = slurp(dir + "/points.csv");

  Plan plan{"", dir, 3, 3, {}, {"infection-rate"}, {{"20"}, {"40"}}, {}, 0};
  std::FILE* reports = std::fopen("/dev/null", "w");
  std::string error;
  Workers children;
  EnsembleMerge merge(plan, reports, 1); // a budget of one byte: windows of one day
  bool ok = merge.start(&error);
  for (long long i = 0; ok && i < plan.total(); ++i)
    ok = merge.add_run(i, &error);
  ASSERT_TRUE(ok && merge.finish(&children, &error)) << error;
  std::fclose(reports);
  EXPECT_EQ(std::tuple(slurp(dir + "/summary.csv"), slurp(dir + "/bands.dat"),
                       slurp(dir + "/points.csv")),
            std::tuple(summary, plotted, points));
}
