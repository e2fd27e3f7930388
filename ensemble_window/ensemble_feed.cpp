// SPDX-License-Identifier: MIT
#include "ensemble_window/ensemble_feed.h"

#include <algorithm>

#include "ensemble/bands_plot.h"
#include "ensemble/manifest.h"
#include "fileio/regular_file.h"
#include "params/run_parameters.h"
#include "params/runner_options.h"

namespace {

// Runs start in order, at most --jobs (256) at once, so those that may have ended lie this
// close after the first one not read yet.
constexpr long long kLookAhead = 2 * kMostJobs;

// A percentage reads as one: "vaccination = 1 %".
std::string unit_of(const std::string& name) {
  const ParamRow* row = find_param(name);
  const std::string label = row ? row->label : "";
  return label.size() > 1 && label.back() == '%' ? " %" : "";
}

BandDay band_day(const SummaryRow& r) {
  return {r.day, r.p5, r.p25, r.median, r.p75, r.p95};
}

} // namespace

bool EnsembleFeed::read_plan(bool live, bool* there, std::string* error) {
  const std::string manifest = dir_ + "/manifest.txt";
  *there = can_read_regular_file(manifest, error);
  if (!*there)
    return live;
  if (!read_manifest(dir_, &plan_, error))
    return false;
  const std::size_t points = plan_.points.size();
  summaries_.assign(points, PointSummary());
  run_days_.assign(points, {});
  rows_.assign(points, {});
  stale_.assign(points, 0);
  read_.assign(static_cast<std::size_t>(plan_.total()), 0);
  planned_ = true;
  return true;
}

// The report first: its DAYS is the number of rows the CSV must hold. Each file is renamed into
// place whole, and the report after the CSV, so a run whose report is there can be read.
bool EnsembleFeed::read_run(long long index, bool live, bool* there, std::string* error) {
  const int point = plan_.point_of(index), run = plan_.run_of(index);
  const std::string report_path = plan_.run_file(point, run, "txt");
  const std::string csv_path = plan_.run_file(point, run, "csv");
  *there = can_read_regular_file(report_path, error) && can_read_regular_file(csv_path, error);
  if (!*there)
    return live;
  RunReport report;
  std::string why;
  if (!read_regular_file(report_path, kReportFileBytes, &text_, error))
    return false;
  if (!read_report_file(text_, &report, &why) || report.days > kMaxEnsembleDays + 1) {
    *error =
        report_path + ":" + (why.empty() ? "1: more DAYS than a run of an ensemble goes" : why);
    return false;
  }
  if (!read_regular_file(csv_path, daily_csv_bytes(report.days), &text_, error))
    return false;
  run_.clear();
  if (!read_daily_csv(
          text_, report.days, [this](const DailyRow& row) { run_.push_back(row.figures); }, &why)) {
    *error = csv_path + ":" + why;
    return false;
  }
  summaries_[static_cast<std::size_t>(point)].add_run(run_);
  run_days_[static_cast<std::size_t>(point)].push_back(report.days);
  stale_[static_cast<std::size_t>(point)] = 1;
  return true;
}

bool EnsembleFeed::read(bool live, Clock::time_point until, std::string* error) {
  bool there = planned_;
  if (!planned_ && (!read_plan(live, &there, error) || !there))
    return there || live;
  const long long total = plan_.total();
  const long long end = live ? std::min(total, first_unread_ + kLookAhead) : total;
  for (long long i = first_unread_; i < end && Clock::now() < until; ++i) {
    if (read_[static_cast<std::size_t>(i)])
      continue;
    if (!read_run(i, live, &there, error))
      return false;
    if (!there)
      continue;
    read_[static_cast<std::size_t>(i)] = 1;
    ++done_;
  }
  while (first_unread_ < total && read_[static_cast<std::size_t>(first_unread_)])
    ++first_unread_;
  return true;
}

std::string EnsembleFeed::legend_entry(int point) const {
  const std::vector<std::string>& values = plan_.points[static_cast<std::size_t>(point)];
  std::string entry;
  for (std::size_t v = 0; v < values.size(); ++v)
    entry += (v == 0 ? "" : "; ") + plan_.varied_names[v] + " = " + values[v] +
             unit_of(plan_.varied_names[v]);
  return entry.empty() ? "all runs" : entry;
}

BandFigures EnsembleFeed::figures() {
  BandFigures f;
  if (!planned_)
    return f;
  f.title = bands_heading({plan_.runs, plan_.seed_of(0), plan_.seed_of(plan_.runs - 1)});
  long long busy = 0;
  for (std::size_t p = 0; p < plan_.points.size(); ++p) {
    if (stale_[p])
      rows_[p] = summaries_[p].rows();
    stale_[p] = 0;
    busy = std::max(busy, busy_until(run_days_[p]));
    f.legend.push_back(legend_entry(static_cast<int>(p)));
  }
  f.last_day = plot_last_day(plan_.plot_days, busy);
  for (const PanelSeries& s : ensemble_panels()) {
    PanelFigures panel{s.title, {}, {}};
    for (const std::vector<SummaryRow>& rows : rows_) {
      BandCurve curve;
      for (const SummaryRow& r : rows)
        if (r.series == s.figure)
          curve.days.push_back(band_day(r));
      panel.curves.push_back(std::move(curve));
    }
    f.panels.push_back(std::move(panel));
  }
  return f;
}
