// SPDX-License-Identifier: MIT
#include "ensemble_window/bands_maker.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "ensemble/bands_plot.h"
#include "params/run_parameters.h"

namespace {

// A percentage reads as one: "vaccination = 1 %".
std::string unit_of(const std::string& name) {
  const ParamRow* row = find_param(name);
  const std::string label = row ? row->label : "";
  return label.size() > 1 && label.back() == '%' ? " %" : "";
}

BandDay band_day(const SummaryRow& r) {
  return {r.day, r.p5, r.p25, r.median, r.p75, r.p95};
}

struct RunRows {
  int point;
  std::vector<DayFigures> rows;
  long long days;
};

} // namespace

struct BandsMaker::State {
  std::mutex lock;
  std::condition_variable wake;
  std::deque<RunRows> runs; // handed over, not yet summarised
  long long asked = 0, answered = 0;
  std::shared_ptr<const BandFigures> answer;
  bool quit = false;
};

namespace {

// The thread: takes every run handed over, then answers the ask it found, if any. The runs
// handed over before an ask are all in the queue when the ask is read, so its answer holds them.
void make_bands(std::shared_ptr<BandsMaker::State> s, PointBands bands) {
  std::unique_lock<std::mutex> held(s->lock);
  while (true) {
    s->wake.wait(held, [&] { return s->quit || !s->runs.empty() || s->asked > s->answered; });
    if (s->quit)
      return;
    std::deque<RunRows> runs;
    runs.swap(s->runs);
    const long long ask = s->asked;
    held.unlock();
    for (const RunRows& r : runs)
      bands.add_run(r.point, r.rows, r.days);
    std::shared_ptr<const BandFigures> made;
    if (ask > s->answered) // only this thread writes `answered`
      made = std::make_shared<const BandFigures>(bands.figures());
    held.lock();
    if (made) {
      s->answer = made;
      s->answered = ask;
    }
  }
}

} // namespace

BandsMaker::BandsMaker(const Plan& plan) : state_(std::make_shared<State>()) {
  std::thread(make_bands, state_, PointBands(plan)).detach();
}

BandsMaker::~BandsMaker() {
  std::lock_guard<std::mutex> held(state_->lock);
  state_->quit = true;
  state_->wake.notify_one();
}

void BandsMaker::add_run(int point, std::vector<DayFigures> rows, long long days) {
  std::lock_guard<std::mutex> held(state_->lock);
  state_->runs.push_back({point, std::move(rows), days});
  state_->wake.notify_one();
}

void BandsMaker::ask() {
  std::lock_guard<std::mutex> held(state_->lock);
  ++state_->asked;
  state_->wake.notify_one();
}

std::shared_ptr<const BandFigures> BandsMaker::latest(bool* current) const {
  std::lock_guard<std::mutex> held(state_->lock);
  *current = state_->answered == state_->asked;
  return state_->answer;
}

PointBands::PointBands(const Plan& plan)
    : plan_(plan), summaries_(plan.points.size()), run_days_(plan.points.size()),
      rows_(plan.points.size()), stale_(plan.points.size(), 0) {}

void PointBands::add_run(int point, const std::vector<DayFigures>& rows, long long days) {
  const auto p = static_cast<std::size_t>(point);
  summaries_[p].add_run(rows);
  run_days_[p].push_back(days);
  stale_[p] = 1;
}

std::string PointBands::legend_entry(int point) const {
  const std::vector<std::string>& values = plan_.points[static_cast<std::size_t>(point)];
  std::string entry;
  for (std::size_t v = 0; v < values.size(); ++v)
    entry += (v == 0 ? "" : "; ") + plan_.varied_names[v] + " = " + values[v] +
             unit_of(plan_.varied_names[v]);
  return entry.empty() ? "all runs" : entry;
}

BandFigures PointBands::figures() {
  BandFigures f;
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
