// SPDX-License-Identifier: MIT
#include "ensemble_window/ensemble_win.h"

#include <FL/Fl.H>

#include "arena/run_control.h"
#include "control/control_win.h"
#include "ensemble/ensemble_commands.h"
#include "params/run_parameters.h"

EnsembleWin* ensemble_window = nullptr;
std::string ensemble_batch_runner;

namespace {

constexpr int kWidth = 1000, kHeight = 760;
// Two columns of three panels below the settings, the title and the legend.
constexpr int kPanelsTop = 118, kPanelWidth = 490, kPanelHeight = 210;

template <class W> W* labelled(W* w, const char* tip) {
  w->labelsize(12);
  w->textsize(12);
  w->tooltip(tip);
  return w;
}

Fl_Button* button(int x, int y, int w, const char* label, const char* tip) {
  auto* b = new Fl_Button(x, y, w, 20, label);
  b->labelsize(12);
  b->color(FL_WHITE);
  b->tooltip(tip);
  return b;
}

void close_cb(Fl_Widget* w, void*) {
  // Hidden, not stopped: a run goes on while another window is open, and the end of the
  // program stops it (close_ensemble_window).
  w->hide();
}

} // namespace

EnsembleWin::EnsembleWin(ControlWin* panel)
    : Fl_Double_Window(kWidth, kHeight, "Ensemble"), panel_(panel) {
  color(FL_WHITE);
  build_settings();
  build_panels();
  end();
  callback(close_cb);
  load_panel_fonts();
  set_busy(false);
  refresh_seed();
}

EnsembleWin::~EnsembleWin() {
  stop_now();
  Fl::remove_timeout(poll_cb, this);
  if (ensemble_window == this)
    ensemble_window = nullptr;
}

void EnsembleWin::build_settings() {
  runs_input = labelled(new Fl_Int_Input(45, 10, 60, 20, "Runs"),
                        "Runs per point, 1 to 10000; seeds Seed, Seed + 1, ...");
  runs_input->value("20");
  vary_choice = labelled(new Fl_Choice(150, 10, 150, 20, "Vary"),
                         "A run parameter to sweep over Values, or None.");
  vary_choice->add("None");
  for (const ParamRow& row : param_rows())
    if (row.role == ParamRole::RunParameter)
      vary_choice->add(row.name);
  vary_choice->value(0);
  values_input = labelled(new Fl_Input(355, 10, 150, 20, "Values"),
                          "The values to sweep: A,B,C or FROM:TO:STEP.");
  jobs_input = labelled(new Fl_Int_Input(545, 10, 45, 20, "Jobs"), "Runs at once, 1 to 256.");
  jobs_input->value(std::to_string(online_processors()).c_str());
  seed_input = labelled(new Fl_Int_Input(635, 10, 95, 20, "Seed"),
                        "The first run's seed; empty: the time, as the batch runner takes it.");
  seed_input->when(FL_WHEN_CHANGED);
  seed_input->callback(seed_typed_cb, this);
  run_button = button(740, 10, 70, "Run", "Runs the ensemble of the panel's setup (Ctrl+R).");
  run_button->shortcut(FL_CTRL + 'r');
  run_button->callback(ensemble_run_cb, this);
  stop_button = button(820, 10, 70, "Stop", "Stops the ensemble and removes its folder.");
  stop_button->callback(ensemble_stop_cb, this);
  progress = new Fl_Progress(10, 40, 380, 20);
  progress->labelsize(12);
  progress->selection_color(fl_rgb_color(86, 180, 233));
  progress->color(FL_WHITE);
  open_button = button(400, 40, 80, "Open\u2026", "Opens an ensemble or fit folder.");
  open_button->callback(ensemble_open_cb, this);
  path_output = labelled(new Fl_Output(490, 40, 500, 20), "The folder shown.");
}

void EnsembleWin::build_panels() {
  title_box = new Fl_Box(10, 66, kWidth - 20, 20);
  title_box->box(FL_FLAT_BOX); // redrawn alone, over its old title
  title_box->color(FL_WHITE);
  title_box->labelsize(13);
  title_box->labelfont(FL_HELVETICA_BOLD);
  title_box->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
  legend = new LegendStrip(10, 90, kWidth - 20, 24);
  for (int k = 0; k < 6; ++k)
    panels[k] = new BandsPanel(10 + (k % 2) * kPanelWidth, kPanelsTop + (k / 2) * kPanelHeight,
                               kPanelWidth, kPanelHeight);
}

void EnsembleWin::seed_typed_cb(Fl_Widget* input, void* window) {
  static_cast<EnsembleWin*>(window)->seed_typed_ = static_cast<Fl_Input*>(input)->size() > 0;
}

void EnsembleWin::refresh_seed() {
  if (seed_typed_ || !panel_)
    return;
  const Setup setup = panel_->current_setup();
  seed_input->value(setup.has_seed ? std::to_string(setup.seed).c_str() : "");
}

void EnsembleWin::show_figures(std::shared_ptr<const BandFigures> figures, bool by_turns) {
  shown_ = std::move(figures);
  title_box->copy_label(shown_ ? shown_->title.c_str() : "");
  legend->entries(shown_ ? shown_->legend : std::vector<std::string>());
  title_box->redraw();
  panels_shown_ = 0;
  if (!by_turns)
    while (panels_shown_ < 6)
      catch_up_panel();
}

void EnsembleWin::say(const char* text) {
  progress->copy_label(text);
  progress->redraw();
}

void EnsembleWin::catch_up_panel() {
  if (panels_shown_ < 6) {
    panels[panels_shown_]->show_figures(shown_, panels_shown_);
    ++panels_shown_;
  }
}

void EnsembleWin::set_busy(bool busy) {
  for (Fl_Widget* w : {static_cast<Fl_Widget*>(run_button), static_cast<Fl_Widget*>(open_button),
                       static_cast<Fl_Widget*>(runs_input), static_cast<Fl_Widget*>(vary_choice),
                       static_cast<Fl_Widget*>(values_input), static_cast<Fl_Widget*>(jobs_input),
                       static_cast<Fl_Widget*>(seed_input)})
    busy ? w->deactivate() : w->activate();
  busy ? stop_button->activate() : stop_button->deactivate();
}

void connect_ensemble_window(ControlWin* panel) {
  panel->ensemble_button->callback(ensemble_cb, panel);
  panel->quit_button->callback(ensemble_quit_cb, panel->world);
}

void close_ensemble_window() {
  if (!ensemble_window)
    return;
  ensemble_window->stop_now();
  ensemble_window->hide();
}

void ensemble_cb(Fl_Widget*, void* panel) {
  if (!panel)
    return;
  if (!ensemble_window) {
    Fl_Group::current(nullptr); // a window of its own, whatever group a caller left open
    ensemble_window = new EnsembleWin(static_cast<ControlWin*>(panel));
  }
  ensemble_window->refresh_seed();
  ensemble_window->show(); // raises it when it is shown already
}

void ensemble_quit_cb(Fl_Widget* w, void* arena) {
  close_ensemble_window();
  quit_sim_cb(w, arena);
}

void ensemble_run_cb(Fl_Widget*, void* window) {
  if (window)
    static_cast<EnsembleWin*>(window)->run();
}

void ensemble_stop_cb(Fl_Widget*, void* window) {
  if (window)
    static_cast<EnsembleWin*>(window)->stop();
}
