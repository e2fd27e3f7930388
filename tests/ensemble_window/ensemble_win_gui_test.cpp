// SPDX-License-Identifier: MIT
// The Ensemble window under a real event loop, running the real batch runner.
#include "tests/support/gui_run_fixture.h"

#include <FL/Fl_Menu_Item.H>

#include <csignal>

#include "chart/save_alert.h"
#include "ensemble_window/ensemble_win.h"
#include "results/my_chart.h"
#include "tests/support/batch_process.h"

namespace {

std::vector<std::string> alerts;
std::string chosen; // what a chooser answers
int menu_pick = 0;  // the menu entry a right-click picks

class EnsembleWindow : public GuiRunTest {
protected:
  void SetUp() override {
    GuiRunTest::SetUp();
    data = fresh(std::to_string(getpid()) + "_data", true);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    ensemble_batch_runner = BATCH_BINARY;
    alerts.clear();
    chart_alert = [](const char* text) { alerts.push_back(text); };
    chart_file_chooser = [](const char*, const char*) { return chosen.c_str(); };
    chart_menu_popup = [](const Fl_Menu_Item* m, int, int) { return m + menu_pick; };
    ensemble_folder_chooser = [](const char*) { return chosen.c_str(); };
    connect_ensemble_window(panel);
    small_run_settings("3", "0.001");
    panel->ensemble_button->do_callback();
    win = ensemble_window;
  }
  void TearDown() override {
    delete ensemble_window;
    std::filesystem::remove_all(data);
    GuiRunTest::TearDown();
  }
  // Sets the window's fields as typed, then presses Run.
  void run(const char* runs, const char* vary, const char* values) {
    win->runs_input->value(runs);
    win->vary_choice->value(win->vary_choice->find_index(vary));
    win->values_input->value(values);
    win->run_button->do_callback();
  }
  static bool wait(const std::function<bool()>& cond) {
    using clock = std::chrono::steady_clock;
    for (const auto end = clock::now() + std::chrono::minutes(2); !cond() && clock::now() < end;)
      Fl::wait(0.05);
    return cond();
  }
  std::string summary_of_window() {
    EXPECT_TRUE(wait([&] { return !win->busy(); }));
    return slurp(win->folder() + "/summary.csv");
  }
  std::string ensembles() { return data + "/epidemic-sim/ensembles"; }
  std::string data;
  EnsembleWin* win = nullptr;
};

bool group_gone(pid_t group) {
  return kill(-group, 0) != 0 && errno == ESRCH;
}

} // namespace

// Same panel, same seed: the window's folder holds the batch runner's own summary, to the byte.
TEST_F(EnsembleWindow, SweepGivesTheBatchRunnersSummaryTwoEntriesAndAllRunsCounted) {
  const Fl_Widget* b = panel->ensemble_button;
  EXPECT_EQ(std::make_tuple(b->x(), b->y(), b->w(), b->h(), win->shown() != 0),
            std::make_tuple(630, 330, 150, 20, true));
  win->seed_input->value("7");
  win->seed_input->do_callback();
  run("10", "vaccination", "0,2");
  const std::string summary = summary_of_window();
  EXPECT_EQ(std::string(win->progress->label()), "20 of 20 runs");
  EXPECT_EQ(win->legend->entries(),
            (std::vector<std::string>{"vaccination = 0 %", "vaccination = 2 %"}));
  EXPECT_EQ(win->folder().rfind(ensembles() + "/", 0), 0u) << win->folder();
  ::Setup s = panel->current_setup();
  s.has_seed = true;
  s.seed = 7;
  const std::string path = temp_path("s.toml"), out = temp_path("x");
  std::string error;
  ASSERT_TRUE(write_setup(path, s, &error)) << error;
  const Result r = batch("--setup " + path + " --runs 10 --vary vaccination=0,2 --out " + out);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(summary, slurp(out + "/summary.csv"));
  EXPECT_FALSE(summary.empty());
  std::filesystem::remove_all(out);
  std::remove(path.c_str());
}

// "epidemic_sim FILE", then "Ensemble…" and Ctrl+R with the defaults: the file's seed is the
// window's, and the runs are those of --setup FILE --runs 20.
TEST_F(EnsembleWindow, SeededFileRunWithTheDefaultsIsTheBatchRunnersOwn) {
  const std::string path = temp_path("seeded.toml"), out = temp_path("y");
  std::string error;
  ASSERT_TRUE(write_setup(path, small_seeded_setup(300, 30, 11), &error)) << error;
  ASSERT_TRUE(open_setup_file(panel, path, &error)) << error;
  panel->ensemble_button->do_callback();
  EXPECT_EQ(std::string(win->seed_input->value()), "11");
  EXPECT_EQ(win->run_button->shortcut(), FL_CTRL + 'r');
  win->run_button->do_callback();
  const std::string summary = summary_of_window();
  const Result r = batch("--setup " + path + " --runs 20 --out " + out);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(summary, slurp(out + "/summary.csv"));
  EXPECT_EQ(win->legend->entries(), std::vector<std::string>{"all runs"});
  std::filesystem::remove_all(out);
  std::remove(path.c_str());
}

// Stop and Quit half-way: no process of the runner's group is left, nor the folder.
TEST_F(EnsembleWindow, StopAndQuitMidWayLeaveNoProcessAndNoFolder) {
  small_run_settings("40", "0.001");
  for (const bool quit : {false, true}) {
    win->jobs_input->value("2");
    run("400", "None", "");
    ASSERT_TRUE(wait([&] { return win->runs_done() >= 2; }));
    const pid_t group = win->runner_group();
    const std::string folder = win->folder();
    ASSERT_GT(group, 0);
    if (quit) {
      panel->quit_button->do_callback();
      EXPECT_FALSE(win->shown() || panel->shown());
    } else {
      win->stop_button->do_callback();
      ASSERT_TRUE(wait([&] { return !win->busy(); }));
      EXPECT_EQ(std::string(win->progress->label()).rfind("Stopped", 0), 0u);
    }
    EXPECT_TRUE(group_gone(group)) << (quit ? "quit" : "stop");
    EXPECT_FALSE(std::filesystem::exists(folder)) << folder;
  }
  EXPECT_TRUE(names_in(ensembles()).empty());
}

// The 50 ms the loop may be held, with room: 200 runs read and drawn as they end. The sanitizers
// slow every process of the test several times over, on a machine their runs keep busy: there
// only a gap far beyond what scheduling makes, such as a wait for the runner, is a fault.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kMostGapMs = 400;
#else
constexpr double kMostGapMs = 100;
#endif
TEST_F(EnsembleWindow, LoopIsNeverHeldWhile200RunsGoOn) {
  win->wait_for_expose(); // on screen, drawn, before Run can be pressed, as for the user
  redraw_now(win);
  run("200", "None", "");
  ASSERT_TRUE(wait([&] { return !win->busy(); }));
  EXPECT_EQ(std::string(win->progress->label()), "200 of 200 runs");
  EXPECT_LT(win->longest_loop_gap_ms(), kMostGapMs);
}

// Each failure is told with its reason, and leaves neither a folder nor another view.
TEST_F(EnsembleWindow, FailuresAreToldAndChangeNothing) {
  const auto told = [&](const char* words) {
    const bool seen =
        wait([] { return !alerts.empty(); }) && alerts.back().find(words) != std::string::npos;
    EXPECT_TRUE(seen) << words << ": " << (alerts.empty() ? "no alert" : alerts.back());
    EXPECT_FALSE(win->busy());
    alerts.clear();
  };
  ensemble_batch_runner = data + "/nowhere/epidemic_batch";
  run("3", "None", "");
  told("The batch runner is missing");
  ensemble_batch_runner = BATCH_BINARY;
  run("3", "vaccination", "1,x");
  told("--vaccination must be");
  std::ofstream(data + "/file") << "x";
  setenv("XDG_DATA_HOME", (data + "/file").c_str(), 1);
  run("3", "None", "");
  told("The data folder could not be made");
  chosen = data;
  win->open_button->do_callback();
  told("holds no manifest.txt (an ensemble's) and no fit.csv (a fit's)");
  EXPECT_TRUE(names_in(ensembles()).empty());
  EXPECT_EQ(win->figures(), nullptr);
}

// An ensemble folder and a fit folder open and draw; a panel's menu saves its picture and figures.
TEST_F(EnsembleWindow, OpenedEnsembleAndFitDrawAndSaveTheirPanels) {
  const std::string ens = temp_path("ens"), fit = fresh(std::to_string(getpid()) + "_fit", true);
  const std::string png = temp_path("p.png"), csv = temp_path("p.csv");
  const Result r = batch("--population 300 --arena-size 100 --initially-infected 30 "
                         "--infection-length 3 --daily-interactions 1 --seed 3 --runs 3 "
                         "--vary infection-rate=10,60 --out " +
                         ens);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto open = [&](const std::string& dir) {
    chosen = dir;
    win->open_button->do_callback();
    EXPECT_TRUE(wait([&] { return !win->busy(); }));
  };
  // Through the menu of a right-button press on the panel.
  const auto save = [&](int entry, const std::string& path) {
    menu_pick = entry;
    chosen = path;
    Fl::e_keysym = FL_Button + FL_RIGHT_MOUSE;
    win->panels[0]->handle(FL_PUSH);
  };
  const auto has_pixel = [&](Px colour) {
    png_image img;
    const std::vector<unsigned char> px = read_png(png, &img);
    EXPECT_EQ(std::make_pair(int(img.width), int(img.height)),
              std::make_pair(win->panels[0]->w(), win->panels[0]->h()));
    for (std::size_t i = 0; i + 2 < px.size(); i += 3)
      if (Px{px[i], px[i + 1], px[i + 2]} == colour)
        return true;
    return false;
  };
  open(ens);
  EXPECT_EQ(win->legend->entries(),
            (std::vector<std::string>{"infection-rate = 10 %", "infection-rate = 60 %"}));
  EXPECT_EQ(std::string(win->title_box->label()).rfind("3 runs per point, seeds 3 to 5", 0), 0u);
  save(0, png);
  EXPECT_TRUE(has_pixel({0, 114, 178}) && has_pixel({213, 94, 0})) << "both medians drawn";
  save(1, csv);
  const std::vector<std::string> rows = split_lines(slurp(csv));
  ASSERT_GT(rows.size(), 2u);
  EXPECT_EQ(rows[0], "curve,day,p5,p25,median,p75,p95");
  EXPECT_EQ(rows[1].rfind("infection-rate = 10 %,1,30,30,30,30,30", 0), 0u) << rows[1];

  std::ofstream(fit + "/fit.csv")
      << "day,newly_infected_data,newly_infected_mean,newly_infected_p5,newly_infected_p25,"
         "newly_infected_median,newly_infected_p75,newly_infected_p95,bedridden_data,"
         "bedridden_mean,bedridden_p5,bedridden_p25,bedridden_median,bedridden_p75,bedridden_p95\n"
         "1,40,5,1,2,5,6,8,,0,0,0,0,0,0\n2,,5,1,2,5,6,8,1,1,0,0,1,1,2\n3,2,3,0,1,3,4,6,2,1,0,0,1,1,"
         "2\n";
  open(fit);
  ASSERT_TRUE(win->panels[0]->figures() && !win->panels[2]->figures());
  EXPECT_EQ(win->panels[1]->figures()->title, "Bedridden");
  EXPECT_EQ(win->panels[0]->figures()->data.size(), 2u);
  save(0, png);
  EXPECT_TRUE(has_pixel({0, 0, 0}) && has_pixel({0, 114, 178})) << "data points and median";
  std::ofstream(fit + "/fit.csv", std::ios::app) << "5,1\n";
  open(fit);
  ASSERT_TRUE(wait([] { return !alerts.empty(); }));
  EXPECT_NE(alerts[0].find(fit + "/fit.csv:5: expected 15 cells"), std::string::npos) << alerts[0];
  EXPECT_EQ(win->panels[1]->figures()->title, "Bedridden") << "the view stays";
  for (const std::string& path : {ens, fit, png, csv})
    std::filesystem::remove_all(path);
}
