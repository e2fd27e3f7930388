// SPDX-License-Identifier: MIT
// Run and Stop: the batch runner started in a process group of its own, watched from a timer,
// its folder read as the runs end.
#include <unistd.h>

#include <FL/Fl.H>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "chart/save_alert.h"
#include "control/control_win.h"
#include "ensemble_window/batch_launch.h"
#include "ensemble_window/ensemble_win.h"
#include "numbers/number_reading.h"
#include "params/runner_options.h"
#include "setup/setup_file.h"
#include "text/quoted_text.h"

namespace {

constexpr double kPoll = 0.05;                              // s between looks at the runner
constexpr auto kReadBudget = std::chrono::milliseconds(10); // of reading per look
constexpr auto kRedraw = std::chrono::seconds(1);           // at most one redraw a second
constexpr int kMostRuns = 10000;
// The runs yield to the window: a machine busy with them still answers its user at once.
constexpr int kRunnerNiceness = 10;
// The runner's message may name a long path; it is quoted whole up to this many characters.
constexpr std::size_t kRunnerLine = 400;

bool whole(const Fl_Input* input, const char* name, long long low, long long high, long long* out,
           std::string* error) {
  if (parse_whole_number(input->value(), low, high, out))
    return true;
  *error = std::string(name) + " must be a whole number from " + std::to_string(low) + " to " +
           std::to_string(high) + ", not " + quoted(input->value()) + ".";
  return false;
}

std::string base_name(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

} // namespace

bool EnsembleWin::read_settings(std::string* error) {
  long long runs = 0, jobs = 0, seed = 0;
  if (!whole(runs_input, "Runs", 1, kMostRuns, &runs, error) ||
      !whole(jobs_input, "Jobs", 1, kMostJobs, &jobs, error) ||
      (seed_typed_ && !whole(seed_input, "Seed", 0, 4294967295LL, &seed, error)))
    return false;
  runs_ = static_cast<int>(runs);
  jobs_ = static_cast<int>(jobs);
  seed_ = static_cast<unsigned long long>(seed);
  return true;
}

// The panel's values are taken as Save Setup takes them, typed text included; the folder and
// the setup file exist before the runner starts, so each failure is told with what is at fault.
void EnsembleWin::run() {
  if (busy() || !panel_)
    return;
  std::string error;
  if (!read_settings(&error)) {
    alert_later(error);
    return;
  }
  const std::string runner =
      ensemble_batch_runner.empty() ? installed_batch_runner() : ensemble_batch_runner;
  if (access(runner.c_str(), X_OK) != 0) {
    alert_later("The batch runner is missing: " + quoted(runner, kWholePath) + ": " +
                std::strerror(errno));
    return;
  }
  before_ = shown_;
  before_folder_ = path_output->value();
  refresh_seed();
  Setup setup = panel_->current_setup();
  if (seed_typed_) {
    setup.has_seed = true;
    setup.seed = static_cast<uint32_t>(seed_);
  }
  const std::string parent = ensembles_folder();
  std::string folder;
  if (!make_folders(parent, &error) ||
      !make_dated_folder(parent, std::time(nullptr), &folder, &error)) {
    alert_later("The data folder could not be made.\n" + error);
    return;
  }
  folder_ = folder;
  setup_file_ = parent + "/." + base_name(folder) + ".setup.toml";
  if (!write_setup(setup_file_, setup, &error) || !start_child(runner, &error)) {
    end_child(false);
    alert_later("The ensemble could not be started.\n" + error);
    return;
  }
}

bool EnsembleWin::start_child(const std::string& runner, std::string* error) {
  EnsembleRequest request{runner, setup_file_, folder_, runs_, jobs_, "", ""};
  if (vary_choice->value() > 0) {
    request.vary = vary_choice->text();
    request.values = values_input->value();
  }
  child_ = std::make_unique<ChildProcess>();
  if (!child_->start(batch_command(request), error, kRunnerNiceness))
    return false;
  feed_ = std::make_unique<EnsembleFeed>(folder_);
  stopping_ = false;
  final_asked_ = false;
  started_ = std::chrono::steady_clock::now();
  asked_ = {};
  gap_.start();
  set_busy(true);
  path_output->value(folder_.c_str());
  say("Starting\u2026");
  Fl::add_timeout(kPoll, poll_cb, this);
  return true;
}

void EnsembleWin::poll_cb(void* window) {
  static_cast<EnsembleWin*>(window)->poll();
}

void EnsembleWin::poll() {
  if (!child_) {
    poll_open();
    return;
  }
  child_->poll();
  if (stopping_) {
    if (child_->gone())
      end_child(false);
    else
      Fl::repeat_timeout(kPoll, poll_cb, this);
    return;
  }
  const bool live = child_->running();
  std::string error;
  if (!live && !child_->succeeded()) {
    const std::string line = child_->last_error_line();
    end_child(false);
    alert_later("The batch runner failed:\n" + ::quoted(line, kRunnerLine));
    return;
  }
  if (!feed_->read(live, std::chrono::steady_clock::now() + kReadBudget, &error)) {
    stop();
    failure_ = "The ensemble's files could not be read.\n" + error;
    Fl::repeat_timeout(kPoll, poll_cb, this);
    return;
  }
  const bool complete = !live && feed_->complete();
  const auto now = std::chrono::steady_clock::now();
  // Asked at most once a second while runs go on, and once more when all are read.
  if (feed_->planned() && !final_asked_ && (complete || now - asked_ >= kRedraw)) {
    feed_->ask_figures();
    asked_ = now;
    final_asked_ = complete;
  }
  bool current = false;
  const std::shared_ptr<const BandFigures> latest = feed_->latest_figures(&current);
  show_progress();
  if (final_asked_ && current && latest) {
    show_figures(latest);
    end_child(true);
    return;
  }
  if (latest && latest != shown_)
    show_figures(latest, true);
  else
    catch_up_panel();
  Fl::repeat_timeout(kPoll, poll_cb, this);
}

void EnsembleWin::show_progress() {
  const long long k = feed_->done(), n = feed_->total();
  std::string text =
      n == 0 ? "Starting\u2026" : std::to_string(k) + " of " + std::to_string(n) + " runs";
  if (k > 0 && k < n) {
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - started_;
    const double left = spent.count() * static_cast<double>(n - k) / static_cast<double>(k);
    text += ", about " + std::to_string(static_cast<long long>(std::ceil(left))) + " s left";
  }
  progress->maximum(static_cast<float>(std::max(n, 1LL)));
  progress->value(static_cast<float>(k));
  say(text.c_str());
}

void EnsembleWin::stop() {
  if (!child_ && feed_) { // a folder being opened: the view stays as it was
    Fl::remove_timeout(poll_cb, this);
    feed_.reset();
    set_busy(false);
    say("");
    return;
  }
  if (!child_ || stopping_)
    return;
  stopping_ = true;
  child_->request_stop();
  say("Stopping\u2026");
}

// A run that did not finish leaves nothing: its folder and the setup file go, and the window
// shows again what it showed before it.
void EnsembleWin::end_child(bool finished) {
  gap_.stop();
  Fl::remove_timeout(poll_cb, this);
  const bool stopped = stopping_ && failure_.empty();
  child_.reset();
  feed_.reset();
  stopping_ = false;
  if (!setup_file_.empty())
    std::remove(setup_file_.c_str());
  setup_file_.clear();
  if (!finished && !folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    show_figures(before_);
    path_output->value(before_folder_.c_str());
    progress->value(0);
    say(stopped ? ("Stopped: the unfinished folder " + base_name(folder_) + " was removed.").c_str()
                : "");
    folder_ = before_folder_;
  }
  before_.reset();
  set_busy(false);
  if (!failure_.empty())
    alert_later(failure_);
  failure_.clear();
}

void EnsembleWin::stop_now() {
  if (!child_)
    return;
  child_->stop();
  end_child(false);
}
