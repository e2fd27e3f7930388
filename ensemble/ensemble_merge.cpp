// SPDX-License-Identifier: MIT
#include "ensemble/ensemble_merge.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "ensemble/bands_plot.h"
#include "ensemble/ensemble_options.h"
#include "fileio/regular_file.h"
#include "single_run/run_files.h"

namespace {

std::string varied_header(const Plan& plan) {
  std::string header;
  for (const std::string& name : plan.varied_names)
    header += name + ",";
  return header;
}

} // namespace

EnsembleMerge::EnsembleMerge(const Plan& plan, std::FILE* report_out, std::size_t summary_budget)
    : plan_(plan), report_out_(report_out),
      outputs_(plan.dir, {"bands.dat", "bands.gp", "runs.csv", "ends.csv", "points.csv",
                          "bands.png", "summary.csv"}),
      window_days_(summary_window_days(plan.runs, summary_budget)), point_summary_(window_days_) {}

bool EnsembleMerge::start(std::string* error) {
  if (!outputs_.open(error) || (runs_ = outputs_.write("runs.csv", error)) == nullptr ||
      (ends_ = outputs_.write("ends.csv", error)) == nullptr ||
      (points_ = outputs_.write("points.csv", error)) == nullptr ||
      (summary_ = outputs_.write("summary.csv", error)) == nullptr)
    return false;
  std::FILE* bands = outputs_.write("bands.dat", error);
  if (bands == nullptr)
    return false;
  bands_ = std::make_unique<BandsData>(bands);
  const std::string head = "point,run,seed," + varied_header(plan_);
  std::fprintf(runs_, "%s%s\n", head.c_str(), daily_header().c_str());
  std::fprintf(ends_,
               "%sdays,peak_day,peak_infected,total_dead,cumulative_infections,ever_infected,dead,"
               "vaccinations\n",
               head.c_str());
  std::fprintf(points_, "%s\n", points_header(plan_.varied_names).c_str());
  std::fprintf(summary_, "%s\n", summary_header(plan_.varied_names).c_str());
  return true;
}

std::string EnsembleMerge::cells(int point) const {
  std::string text;
  for (const std::string& v : plan_.points[static_cast<size_t>(point)])
    text += "," + v;
  return text;
}

bool EnsembleMerge::read_report(int point, int run, RunReport* report, std::string* error) {
  const std::string path = plan_.run_file(point, run, "txt");
  std::string text, why;
  if (!read_regular_file(path, kReportFileBytes, &text, error))
    return false;
  if (!read_report_file(text, report, &why) || report->days > kMaxEnsembleDays + 1) {
    *error = path + ":" + (why.empty() ? "1: more DAYS than a run of an ensemble goes" : why);
    return false;
  }
  // dead repeats total_dead under the name of the daily column that ends at it.
  std::fprintf(ends_, "%d,%d,%u%s,%lld,%lld,%lld,%lld,%lld,%lld,%lld,%lld\n", point, run,
               plan_.seed_of(run), cells(point).c_str(), report->days, report->peak_day,
               report->peak_infected, report->total_dead, report->cumulative_infections,
               report->ever_infected, report->total_dead, report->vaccinations);
  point_ends_.add(*report);
  return true;
}

bool EnsembleMerge::copy_rows(int point, int run, long long days, const std::string& prefix,
                              std::string* error) {
  const std::string path = plan_.run_file(point, run, "csv");
  std::string why;
  if (!read_regular_file(path, daily_csv_bytes(days), &text_, error))
    return false;
  days_.clear();
  const long long past = point_summary_.window_end();
  long long offset = 0; // of the first row past the window
  const auto take = [this, &prefix, past, &offset](const DailyRow& row) {
    days_.push_back(row.figures);
    if (row.figures.day == past)
      offset = row.text - text_.data();
    std::fputs(prefix.c_str(), runs_);
    std::fwrite(row.text, 1, row.length, runs_);
    std::fputc('\n', runs_);
  };
  if (!read_daily_csv(text_, days, take, &why)) {
    *error = path + ":" + why;
    return false;
  }
  point_summary_.add_run(days_);
  if (days >= past)
    resume_.push_back({run, static_cast<int>(days), offset});
  return true;
}

// Reads each run that reaches the current window again, from where the last window stopped: the
// window then holds every run's rows on its days, as the first pass gave it for the first.
bool EnsembleMerge::reread_window(int point, std::string* error) {
  const long long begin = point_summary_.window_begin(), end = point_summary_.window_end();
  for (Resume& r : resume_) {
    if (r.last_day < begin)
      continue;
    const int last = static_cast<int>(std::min<long long>(r.last_day, end - 1));
    const std::string path = plan_.run_file(point, r.run, "csv");
    const std::size_t bytes = static_cast<std::size_t>(last - begin + 1) * daily_row_bytes(last);
    std::string why;
    std::size_t used = 0;
    days_.clear();
    const auto take = [this](const DailyRow& row) { days_.push_back(row.figures); };
    if (!read_regular_range(path, r.offset, bytes, &text_, error))
      return false;
    if (!read_daily_rows(text_, static_cast<int>(begin), last, take, &used, &why)) {
      *error = path + ":" + why;
      return false;
    }
    r.offset += static_cast<long long>(used);
    point_summary_.add_rows(days_);
  }
  return true;
}

bool EnsembleMerge::summarise_point(int point, std::string* error) {
  if (!point_ends_.write_row(points_, point, plan_.points[static_cast<size_t>(point)])) {
    *error = write_error(plan_.dir + "/points.csv", errno != 0 ? errno : EIO);
    return false;
  }
  plot_days_ = std::max(plot_days_, busy_until(point_ends_.days()));
  point_ends_.clear();
  while (true) {
    const std::vector<SummaryRow> rows = point_summary_.rows();
    if (!write_summary_rows(summary_, point, plan_.points[static_cast<size_t>(point)], rows)) {
      *error = write_error(plan_.dir + "/summary.csv", errno != 0 ? errno : EIO);
      return false;
    }
    bands_->add_rows(rows);
    if (!point_summary_.next_window())
      break;
    if (!reread_window(point, error))
      return false;
  }
  bands_->end_point();
  point_summary_ = PointSummary(window_days_);
  resume_.clear();
  return true;
}

bool EnsembleMerge::add_run(long long index, std::string* error) {
  const int point = plan_.point_of(index), run = plan_.run_of(index);
  RunReport report{};
  const std::string prefix = std::to_string(point) + "," + std::to_string(run) + "," +
                             std::to_string(plan_.seed_of(run)) + cells(point) + ",";
  if (!read_report(point, run, &report, error) ||
      !copy_rows(point, run, report.days, prefix, error))
    return false;
  std::fprintf(report_out_, "%s\n", report.line.c_str());
  return run + 1 < plan_.runs || summarise_point(point, error);
}

bool EnsembleMerge::finish(Workers* children, std::string* error) {
  std::vector<std::string> labels;
  for (const std::vector<std::string>& point : plan_.points) {
    std::string label;
    for (size_t v = 0; v < point.size(); ++v)
      label += (v == 0 ? "" : " ") + plan_.varied_names[v] + "=" + point[v];
    labels.push_back(label.empty() ? "all runs" : label);
  }
  const BandsRuns runs{plan_.runs, plan_.seed_of(0), plan_.seed_of(plan_.runs - 1)};
  std::vector<Workers::End> none;
  // A stop signal that came once gnuplot was done still wins over the move into place.
  const BandsView view{plan_.plot.empty() ? kDefaultPanels : plan_.plot,
                       plot_last_day(plan_.plot_days, plot_days_)};
  return render_bands_plot(&outputs_, children, runs, labels, view, error) &&
         children->wait(0, &none) == 0 && outputs_.commit(error);
}
