// SPDX-License-Identifier: MIT
#pragma once
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Int_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Progress.H>

#include <chrono>
#include <memory>
#include <string>

#include "ensemble_window/band_figures.h"
#include "ensemble_window/bands_panel.h"
#include "ensemble_window/child_process.h"
#include "ensemble_window/ensemble_feed.h"
#include "ensemble_window/legend_strip.h"
#include "ensemble_window/loop_gap.h"

class ControlWin;

// The window "Ensemble": runs of the panel's scenario by the batch runner, in a process of its
// own, their bands drawn as the runs end; or an ensemble or fit folder opened.
class EnsembleWin : public Fl_Double_Window {
public:
  explicit EnsembleWin(ControlWin* panel);
  ~EnsembleWin() override;

  // Fills "Seed" from the panel, unless the user has typed one: the opened setup's seed while
  // the panel still holds that setup, else empty, which the batch runner takes as the time.
  void refresh_seed();
  // Run, Stop and Open as their buttons do them.
  void run();
  void stop();
  void open_folder(const std::string& dir);
  // Stops a running ensemble at once, waiting for its processes, and removes its folder: for
  // the end of the program.
  void stop_now();

  // While an ensemble runs or a folder is being read.
  bool busy() const { return child_ != nullptr || feed_ != nullptr; }
  const std::string& folder() const { return folder_; }
  // The runner's process group while it runs, else -1.
  pid_t runner_group() const { return child_ ? child_->group() : -1; }
  long long runs_done() const { return feed_ ? feed_->done() : 0; }
  std::shared_ptr<const BandFigures> figures() const { return shown_; }
  // The longest gap between event-loop iterations during the last ensemble run, in ms.
  double longest_loop_gap_ms() const { return gap_.longest_ms(); }

  Fl_Int_Input* runs_input;
  Fl_Choice* vary_choice;
  Fl_Input* values_input;
  Fl_Int_Input* jobs_input;
  Fl_Int_Input* seed_input;
  Fl_Button* run_button;
  Fl_Button* stop_button;
  Fl_Progress* progress;
  Fl_Button* open_button;
  Fl_Output* path_output;
  Fl_Box* title_box;
  LegendStrip* legend;
  BandsPanel* panels[6];

private:
  void build_settings();
  void build_panels();
  static void poll_cb(void* window);
  void poll();
  void poll_open();
  bool start_child(const std::string& runner, std::string* error);
  void end_child(bool finished);
  // Shows the figures: at once, or (`by_turns`, while runs go on) the panels one per look, so
  // that no redraw of all six holds up the event loop.
  void show_figures(std::shared_ptr<const BandFigures> figures, bool by_turns = false);
  void catch_up_panel();
  void show_progress();
  void say(const char* text); // in the progress bar
  void set_busy(bool busy);
  bool read_settings(std::string* error);

  ControlWin* panel_;
  bool seed_typed_ = false;
  std::unique_ptr<ChildProcess> child_;
  std::unique_ptr<EnsembleFeed> feed_;
  bool stopping_ = false;
  std::string failure_; // told once the runner is gone
  std::string folder_, setup_file_;
  std::shared_ptr<const BandFigures> shown_, before_;
  std::size_t panels_shown_ = 6; // the panels that show shown_
  std::string before_folder_;
  std::chrono::steady_clock::time_point started_, asked_;
  bool final_asked_ = false; // the bands of every run are asked for
  LoopGapMeter gap_;
  std::string progress_text_;
  // The settings read at Run.
  int runs_ = 20, jobs_ = 1;
  unsigned long long seed_ = 0;
  static void seed_typed_cb(Fl_Widget* input, void* window);
};

// The folder chooser of "Open…" (fl_dir_chooser); tests swap it so nothing blocks.
extern const char* (*ensemble_folder_chooser)(const char* title);

// The one Ensemble window, created by the first "Ensemble…"; null before.
extern EnsembleWin* ensemble_window;
// The epidemic_batch the window starts; the one beside this program when empty (tests set it).
extern std::string ensemble_batch_runner;

// Gives the control panel's "Ensemble…" its callback (open or raise the window) and makes "Quit"
// stop a running ensemble first: the panel does not know this window, which sits above it.
void connect_ensemble_window(ControlWin* panel);
// Stops a running ensemble, waiting for it, and hides the window: at the end of the program.
void close_ensemble_window();

void ensemble_cb(Fl_Widget* button, void* panel);
void ensemble_run_cb(Fl_Widget* button, void* window);
void ensemble_stop_cb(Fl_Widget* button, void* window);
void ensemble_open_cb(Fl_Widget* button, void* window);
void ensemble_quit_cb(Fl_Widget* button, void* arena);
