// SPDX-License-Identifier: MIT
#include "ensemble_window/ensemble_feed.h"

#include <algorithm>

#include "ensemble/manifest.h"
#include "fileio/regular_file.h"
#include "params/runner_options.h"

namespace {

// Runs start in order, at most --jobs (256) at once, so those that may have ended lie this
// close after the first one not read yet.
constexpr long long kLookAhead = 2 * kMostJobs;

} // namespace

bool EnsembleFeed::read_plan(bool live, bool* there, std::string* error) {
  const std::string manifest = dir_ + "/manifest.txt";
  *there = can_read_regular_file(manifest, error);
  if (!*there)
    return live;
  if (!read_manifest(dir_, &plan_, error))
    return false;
  maker_ = std::make_unique<BandsMaker>(plan_);
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
  maker_->add_run(point, std::move(run_), report.days);
  run_.clear();
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

void EnsembleFeed::ask_figures() {
  if (maker_)
    maker_->ask();
}

std::shared_ptr<const BandFigures> EnsembleFeed::latest_figures(bool* current) const {
  *current = false;
  return maker_ ? maker_->latest(current) : nullptr;
}
