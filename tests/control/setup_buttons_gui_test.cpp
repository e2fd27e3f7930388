// SPDX-License-Identifier: MIT
// "Open Setup…" and "Save Setup…": round trip, bad files, locking, a seeded setup's run.
#include "tests/support/gui_run_fixture.h"

#include <FL/fl_draw.H>

#include "chart/save_alert.h"
#include "control/policy_event.h"
#include "results/my_chart.h"
#include "tests/support/batch_process.h"

namespace {

std::vector<std::string> asked, alerts;
std::string answer;                   // the chooser's answer
std::function<void()> while_choosing; // what happens while the chooser is up

const char* choose(const char* title, const char* pattern) {
  asked.push_back(std::string(title) + " " + pattern);
  if (while_choosing)
    while_choosing();
  return answer.c_str();
}

class SetupButtons : public GuiRunTest {
protected:
  void SetUp() override {
    GuiRunTest::SetUp();
    asked.clear();
    alerts.clear();
    while_choosing = nullptr;
    chart_file_chooser = choose;
    chart_alert = [](const char* text) { alerts.push_back(text); };
  }
  // Through the button, as a click or its shortcut would; the alert comes from a timeout.
  void press(Fl_Button* button, const std::string& path) {
    answer = path;
    button->do_callback();
    Fl::check();
  }
  std::string shown() { return setup_text(panel->current_setup()); }
  std::string text(const char* name) { return panel->field(name)->input->value(); }
};

} // namespace

// Up to the live chart's right edge; their labels and tooltips are the panel test's.
TEST_F(SetupButtons, TwoButtonsRightOfClearDataInTheRowOverlappingNothing) {
  const Fl_Widget *clear = panel->clear_button, *chart = arena->graph;
  for (auto [b, key] :
       {std::pair{panel->open_setup_button, 'o'}, {panel->save_setup_button, 's'}}) {
    EXPECT_TRUE(b->shortcut() == FL_CTRL + key && b->y() == clear->y() &&
                b->x() >= clear->x() + clear->w() && b->x() + b->w() <= chart->x() + chart->w())
        << b->label();
    fl_font(b->labelfont(), b->labelsize());
    EXPECT_LE(fl_width(b->label()) + 4, b->w()) << b->label() << " fits its button";
    for (int i = 0; i < panel->children(); ++i) {
      const Fl_Widget* o = panel->child(i);
      EXPECT_TRUE(o == b || o->x() >= b->x() + b->w() || o->x() + o->w() <= b->x() ||
                  o->y() >= b->y() + b->h() || o->y() + o->h() <= b->y())
          << b->label() << " overlaps " << (o->label() ? o->label() : "a widget");
    }
  }
}

// Uncommitted texts, toggles, chart type and a schedule in use come back whole when opened.
TEST_F(SetupButtons, SavedPanelComesBackWholeWhenOpened) {
  const std::string path = temp_path("round.toml");
  // Saved, then changed: a real, a whole one shown with a decimal, display settings.
  const char* const texts[][3] = {{"population", "1234", "999"},
                                  {"quarantine-rate", "2.25", "40"},
                                  {"death-rate", "7", "1"},
                                  {"chart-upper-limit", "900", "5"},
                                  {"speed", "0.05", "0.5"}};
  const auto fill = [&](int k, const char* chart_type) {
    for (const auto& t : texts)
      panel->field(t[0])->input->value(t[1 + k]);
    panel->toggle("hard-edge")->value(k);
    panel->toggle("hide-healthy")->value(k);
    panel->chart_type_menu->value(panel->chart_type_menu->find_index(chart_type));
    panel->chart_type_menu->do_callback();
  };
  fill(0, "Daily Dead");
  for (int k = 0; k < kSetpoints; ++k)
    panel->lazy_policy[k] = {k < 3 ? 5 * k : -1, 10.0 + k};
  panel->lazy_policy_on = 1;
  press(panel->save_setup_button, path);
  EXPECT_EQ(asked, std::vector<std::string>{"Save the setup *.toml"});
  const std::string saved = shown();
  ::Setup file;
  std::string error;
  ASSERT_TRUE(read_setup(path, &file, &error)) << error;
  EXPECT_EQ(setup_text(file), saved);
  EXPECT_TRUE(file.params.population == 1234 && file.display["chart-type"] == 17 &&
              file.schedules.lazy_policy_on == 1)
      << slurp(path);

  fill(1, "None");
  panel->lazy_policy_on = 0;
  panel->lazy_policy[1].value = 99;
  panel->quarantine_policy_on = 1;
  ASSERT_NE(shown(), saved);
  panel->lazy_button->do_callback(); // an editor open on the old schedule goes
  panel->quarantine_button->do_callback();
  press(panel->open_setup_button, path);
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    EXPECT_EQ(dynamic_cast<PolicyEvent*>(w), nullptr) << w->label();
  EXPECT_EQ(asked.back(), "Open a setup *.toml");
  EXPECT_TRUE(alerts.empty()) << alerts[0];
  EXPECT_EQ(shown(), saved); // every value, toggle and schedule, read back from the panel
  for (const auto& t : texts)
    EXPECT_EQ(text(t[0]), t[1]);
  EXPECT_EQ(panel->population_slider->slider->value(), 1234);
  EXPECT_EQ(std::make_tuple(std::string(panel->chart_type_menu->label()), arena->chart_mask,
                            std::string(panel->lazy_button->label()),
                            std::string(panel->quarantine_button->label())),
            std::make_tuple("Current | Dead", 17, "@-4<", "@-4+"));
  EXPECT_FALSE(panel->inactivity_slider->input->active()) << "the schedule drives it";

  // A save that cannot be written is told with its reason, and leaves no file.
  const std::string nowhere = temp_path("no_dir/x.toml");
  press(panel->save_setup_button, nowhere);
  ASSERT_TRUE(pump_until([] { return !alerts.empty(); }));
  EXPECT_NE(alerts[0].find("No such file or directory"), std::string::npos) << alerts[0];
  EXPECT_NE(access(nowhere.c_str(), F_OK), 0);
  std::remove(path.c_str());
}

// The alert names file, line and reason; the valid lines above the fault change nothing either.
TEST_F(SetupButtons, BadFileAlertsWithPathAndLineAndChangesNothing) {
  const std::string path = temp_path("bad.toml");
  panel->population_slider->input->value("4321");
  const std::string before = shown();
  for (auto [file, told] : {std::pair{"format = 1\n[run]\npopulation = 500\npopulaton = 3\n",
                                      ":4: unknown key 'populaton' in [run], did you mean "
                                      "'population'?"},
                            {"format = 1\n[run]\nhard-edge = false\n\n[display]\nspeed = 7.0\n",
                             ":6: --speed must be"}}) {
    std::ofstream(path) << file;
    alerts.clear();
    press(panel->open_setup_button, path);
    ASSERT_TRUE(pump_until([] { return !alerts.empty(); })) << file;
    EXPECT_NE(alerts[0].find(path + told), std::string::npos) << alerts[0];
    EXPECT_EQ(shown(), before) << file;
  }
  EXPECT_EQ(text("population"), "4321");
  std::remove(path.c_str());
}

// Open is locked during a run (the panel test holds the lock), and a run started while its
// chooser was up keeps the panel as it is.
TEST_F(SetupButtons, OpenIsRefusedIfARunBeganWhileItsChooserWasUp) {
  const std::string path = temp_path("locked.toml");
  ::Setup other = initial_setup();
  other.params.population = 777;
  std::string error;
  ASSERT_TRUE(write_setup(path, other, &error)) << error;
  small_run_settings("2", "0.05");
  while_choosing = [&] { panel->start_button->do_callback(); };
  press(panel->open_setup_button, path);
  ASSERT_TRUE(pump_until([] { return !alerts.empty(); }));
  EXPECT_NE(alerts[0].find("a run is going"), std::string::npos) << alerts[0];
  EXPECT_EQ(text("population"), "300");
  panel->stop_button->do_callback();
  std::remove(path.c_str());
}

// A seeded setup's next Start gives the batch runner's report line, whatever ran before: a run
// stopped before it leaves the day clock mid-day, infected counted and an inactivity ramp going.
TEST_F(SetupButtons, SeededSetupRunsAsTheBatchRunnerRunsItAfterAnEarlierRun) {
  const std::string path = temp_path("seeded.toml");
  ::Setup s = small_seeded_setup(300, 30, 77);
  s.params.quarantine_rate = 12.345; // finer than the field's two decimals
  s.params.vaccination_rate = 2.5;
  s.schedules.vaccination_policy = initial_schedule(*find_schedule("vaccination-schedule"));
  s.schedules.vaccination_policy[1] = {2, 30.0}; // a campaign at its height on day 3
  s.schedules.vaccination_policy_on = 1;
  std::string error;
  ASSERT_TRUE(parse_schedule(*find_schedule("inactivity-schedule"), "3:40",
                             &s.schedules.lazy_policy, &error));
  s.schedules.lazy_policy_on = 1; // ramps with what a run before it left until day 3
  ASSERT_TRUE(write_setup(path, s, &error)) << error;
  const Result batch_run = batch("--setup " + path);
  ASSERT_EQ(batch_run.status, 0) << batch_run.err;

  small_run_settings("10", "0.001");
  panel->field("daily-interactions")->input->value("4");
  panel->lazy_policy[0] = {0, 0.0}; // rising by 1 a day to 100 on day 100
  panel->lazy_policy[1] = {100, 100.0};
  panel->lazy_policy_on = 1;
  panel->start_button->do_callback();
  ASSERT_TRUE(pump_until([] { return day >= 2 && iteration != 0 && old_infected != 0; }));
  panel->stop_button->do_callback();

  press(panel->open_setup_button, path);
  EXPECT_EQ(panel->read_panel().params.quarantine_rate, 12.345);
  ASSERT_TRUE(iteration != 0 && old_infected != 0 && sit_factor != 0.0);
  printed();
  panel->start_button->do_callback();
  ASSERT_TRUE(pump_until([&] { return panel->start_button->active() != 0; }));
  const std::string report = printed();
  EXPECT_TRUE(is_report_line(report, "300", "33.333333")) << report;
  EXPECT_EQ(report, batch_run.out);
  uint32_t seed = 0;
  EXPECT_FALSE(panel->begin_run(&seed)) << "the next Start goes on with the stream";
  std::remove(path.c_str());
}

// Saved mid-run and after it, the setup is the one opened: the values under the schedules, not
// the rates these put in force and show, and the seed the run started with; an edit drops it.
TEST_F(SetupButtons, SaveDuringARunWritesTheOpenedValuesNotTheRatesInForce) {
  const std::string path = temp_path("opened.toml"), saved = temp_path("saved.toml");
  ::Setup s = small_seeded_setup(300, 30, 5);
  s.params.infection_length = 12;
  std::string error;
  for (auto [name, text] : {std::pair{"inactivity-schedule", "2:30"},
                            {"quarantine-schedule", "2:20"},
                            {"vaccination-schedule", "3:50"}}) {
    const ScheduleRow& row = *find_schedule(name);
    ASSERT_TRUE(parse_schedule(row, text, &(s.schedules.*row.policy), &error)) << error;
    s.schedules.*row.in_use = 1;
  }
  ASSERT_TRUE(write_setup(path, s, &error)) << error;
  ::Setup opened;
  ASSERT_TRUE(read_setup(path, &opened, &error)) << error;
  press(panel->open_setup_button, path);
  panel->start_button->do_callback();
  ASSERT_TRUE(pump_until([] { return day >= 5; }));
  ASSERT_EQ(std::make_tuple(text("inactivity"), text("quarantine-rate"), text("vaccination")),
            std::make_tuple("30", "20", "50"))
      << "the rates in force are shown";
  press(panel->save_setup_button, saved);
  ::Setup file;
  ASSERT_TRUE(read_setup(saved, &file, &error)) << error;
  EXPECT_EQ(setup_text(file), setup_text(opened));

  ASSERT_TRUE(pump_until([&] { return panel->start_button->active() != 0; }));
  EXPECT_EQ(shown(), setup_text(opened)) << "after the run too";
  panel->population_slider->input->value("301");
  EXPECT_FALSE(panel->current_setup().has_seed);
  std::remove(path.c_str());
  std::remove(saved.c_str());
}
