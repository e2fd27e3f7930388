// SPDX-License-Identifier: MIT
#include "ensemble/ensemble_merge.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "ensemble/bands_plot.h"

namespace {

const char* const kDailyHeader = "day,infected,new_cases,newly_quarantined,immune,dead_today";

std::string varied_header(const Plan& plan) {
  std::string header;
  for (const std::string& name : plan.varied_names)
    header += name + ",";
  return header;
}

std::string unreadable(const std::string& path) {
  return "cannot read " + path + ": " + std::strerror(errno != 0 ? errno : EIO);
}

// "population: DAY: d INFECTED: i ... DAYS: n AREA: a", the report line's fields ends.csv keeps.
bool parse_report(const std::string& line, int* peak_day, int* peak_infected, int* days) {
  int population = 0, sick = 0, cases = 0, dead = 0;
  double area = 0.0;
  return std::sscanf(line.c_str(),
                     "%d: DAY: %d INFECTED: %d EVER SICKENED: %d NEW CASES: %d DEAD: %d DAYS: "
                     "%d AREA: %lf",
                     &population, peak_day, peak_infected, &sick, &cases, &dead, days, &area) == 8;
}

bool parse_day(const std::string& line, DayFigures* d) {
  int used = 0;
  const int n = std::sscanf(line.c_str(), "%d,%lld,%lld,%lld,%lld,%lld%n", &d->day, &d->value[0],
                            &d->value[1], &d->value[2], &d->value[3], &d->value[4], &used);
  return n == 6 && static_cast<size_t>(used) == line.size();
}

} // namespace

EnsembleMerge::EnsembleMerge(const Plan& plan, std::FILE* report_out)
    : plan_(plan), report_out_(report_out),
      outputs_(plan.dir,
               {"bands.dat", "bands.gp", "runs.csv", "ends.csv", "bands.png", "summary.csv"}) {}

bool EnsembleMerge::open(std::string* error) {
  if (!outputs_.open(error) || (runs_ = outputs_.write("runs.csv", error)) == nullptr ||
      (ends_ = outputs_.write("ends.csv", error)) == nullptr ||
      (summary_ = outputs_.write("summary.csv", error)) == nullptr)
    return false;
  const std::string head = "point,run,seed," + varied_header(plan_);
  std::fprintf(runs_, "%s%s\n", head.c_str(), kDailyHeader);
  std::fprintf(ends_, "%sdays,peak_day,peak_infected,total_dead\n", head.c_str());
  std::fprintf(summary_, "%s\n", summary_header(plan_.varied_names).c_str());
  return true;
}

std::string EnsembleMerge::cells(int point) const {
  std::string text;
  for (const std::string& v : plan_.points[static_cast<size_t>(point)])
    text += "," + v;
  return text;
}

bool EnsembleMerge::read_report(int point, int run, std::string* line, std::string* error) {
  const std::string path = plan_.run_file(point, run, "txt");
  errno = 0;
  std::ifstream in(path);
  std::string dead_line;
  int peak_day = 0, peak_infected = 0, days = 0, total_dead = 0;
  if (!in) {
    *error = unreadable(path);
    return false;
  }
  if (!std::getline(in, *line) || !std::getline(in, dead_line) ||
      !parse_report(*line, &peak_day, &peak_infected, &days) ||
      std::sscanf(dead_line.c_str(), "TOTAL DEAD: %d", &total_dead) != 1) {
    *error = path + ": not the report of a run";
    return false;
  }
  std::fprintf(ends_, "%d,%d,%u%s,%d,%d,%d,%d\n", point, run, plan_.seed_of(run),
               cells(point).c_str(), days, peak_day, peak_infected, total_dead);
  return true;
}

bool EnsembleMerge::copy_rows(int point, int run, const std::string& prefix, std::string* error) {
  const std::string path = plan_.run_file(point, run, "csv");
  errno = 0;
  std::ifstream in(path);
  if (!in) {
    *error = unreadable(path);
    return false;
  }
  std::string line;
  if (!std::getline(in, line) || line != kDailyHeader) {
    *error = path + ": not the daily CSV of a run";
    return false;
  }
  days_.clear();
  std::FILE* out = runs_;
  while (std::getline(in, line)) {
    DayFigures d{};
    if (!parse_day(line, &d) || (!days_.empty() && d.day <= days_.back().day)) {
      *error = path + ": not the daily CSV of a run";
      return false;
    }
    days_.push_back(d);
    std::fputs(prefix.c_str(), out);
    std::fputs(line.c_str(), out);
    std::fputc('\n', out);
  }
  return true;
}

bool EnsembleMerge::add_run(long long index, std::string* error) {
  const int point = plan_.point_of(index), run = plan_.run_of(index);
  std::string report;
  const std::string prefix = std::to_string(point) + "," + std::to_string(run) + "," +
                             std::to_string(plan_.seed_of(run)) + cells(point) + ",";
  if (!read_report(point, run, &report, error) || !copy_rows(point, run, prefix, error))
    return false;
  std::fprintf(report_out_, "%s\n", report.c_str());
  point_summary_.add_run(days_);
  if (run + 1 < plan_.runs)
    return true;
  const std::vector<SummaryRow> rows = point_summary_.rows();
  if (!write_summary_rows(summary_, point, plan_.points[static_cast<size_t>(point)], rows)) {
    *error = write_error(plan_.dir + "/summary.csv", errno != 0 ? errno : EIO);
    return false;
  }
  point_rows_.push_back(rows);
  point_summary_ = PointSummary();
  return true;
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
  return write_bands_plot(&outputs_, children, runs, labels, point_rows_, error) &&
         children->wait(0, &none) == 0 && outputs_.commit(error);
}

std::vector<std::string> unreadable_run_files(const Plan& plan) {
  std::vector<std::string> missing;
  for (long long i = 0; i < plan.total(); ++i)
    for (const char* ext : {"csv", "txt"}) {
      const std::string path = plan.run_file(plan.point_of(i), plan.run_of(i), ext);
      errno = 0;
      std::ifstream in(path);
      char c;
      // Opening a folder succeeds; reading it does not.
      if (!in || (!in.get(c) && !in.eof()))
        missing.push_back(unreadable(path));
    }
  return missing;
}
