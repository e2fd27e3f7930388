// SPDX-License-Identifier: MIT
// "Open…": an ensemble's folder (its manifest and run files) or a fit's (fit.csv). The folder may
// come from anywhere: only regular files are read, each within what our writers write, and a
// folder that is neither is refused with what it lacks.
#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>

#include "chart/save_alert.h"
#include "ensemble_window/ensemble_win.h"
#include "ensemble_window/fit_figures.h"
#include "fileio/regular_file.h"
#include "text/quoted_text.h"

namespace {

const char* choose_folder(const char* title) {
  return fl_dir_chooser(title, nullptr, 0);
}

constexpr auto kReadBudget = std::chrono::milliseconds(20);
constexpr double kPoll = 0.02; // an opened folder is read as fast as the loop allows

} // namespace

const char* (*ensemble_folder_chooser)(const char* title) = choose_folder;

void EnsembleWin::open_folder(const std::string& chosen) {
  if (busy())
    return;
  std::string dir = chosen;
  while (dir.size() > 1 && dir.back() == '/')
    dir.pop_back();
  std::string error, text;
  if (can_read_regular_file(dir + "/fit.csv", &error)) {
    auto figures = std::make_shared<BandFigures>();
    if (!read_regular_file(dir + "/fit.csv", kFitCsvBytes, &text, &error) ||
        !read_fit_csv(text, figures.get(), &error)) {
      alert_later("The fit could not be opened.\n" +
                  (error.rfind("cannot read", 0) == 0 ? error : dir + "/fit.csv:" + error));
      return;
    }
    show_figures(figures);
    folder_ = dir;
    path_output->value(dir.c_str());
    progress->value(0);
    say("");
    return;
  }
  if (!can_read_regular_file(dir + "/manifest.txt", &error)) {
    alert_later(quoted(dir, kWholePath) +
                " is neither an ensemble nor a fit: it holds no manifest.txt (an ensemble's) and "
                "no fit.csv (a fit's).");
    return;
  }
  feed_ = std::make_unique<EnsembleFeed>(dir);
  final_asked_ = false;
  set_busy(true);
  say("Reading\u2026");
  Fl::add_timeout(0.0, poll_cb, this);
}

// The figures replace the view only once every run is read: a folder that fails half-way
// changes nothing.
void EnsembleWin::poll_open() {
  if (!feed_)
    return;
  std::string error;
  if (!feed_->read(false, std::chrono::steady_clock::now() + kReadBudget, &error)) {
    feed_.reset();
    set_busy(false);
    say("");
    alert_later("The ensemble could not be opened.\n" + error);
    return;
  }
  bool current = false;
  const std::shared_ptr<const BandFigures> made = feed_->latest_figures(&current);
  if (!feed_->complete() || !current || !made) {
    if (feed_->complete() && !final_asked_)
      feed_->ask_figures();
    final_asked_ = feed_->complete();
    say(("Reading " + std::to_string(feed_->done()) + " of " + std::to_string(feed_->total()) +
         " runs")
            .c_str());
    Fl::repeat_timeout(kPoll, poll_cb, this);
    return;
  }
  show_figures(made);
  folder_ = feed_->dir();
  path_output->value(folder_.c_str());
  progress->maximum(static_cast<float>(std::max(feed_->total(), 1LL)));
  progress->value(static_cast<float>(feed_->total()));
  say((std::to_string(feed_->done()) + " of " + std::to_string(feed_->total()) + " runs").c_str());
  feed_.reset();
  set_busy(false);
}

void ensemble_open_cb(Fl_Widget*, void* window) {
  if (!window)
    return;
  auto* win = static_cast<EnsembleWin*>(window);
  Fl_Widget_Tracker alive(win);
  const char* name = ensemble_folder_chooser("Open an ensemble or fit folder");
  if (!name || alive.deleted())
    return;
  const std::string dir = name;
  // The chooser ran its own event loop: a run may have begun meanwhile.
  if (win->busy()) {
    alert_later(quoted(dir, kWholePath) + " was not opened: an ensemble is running.");
    return;
  }
  win->open_folder(dir);
}
