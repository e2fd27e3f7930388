// SPDX-License-Identifier: MIT
// "Open Setup…" and "Save Setup…": the panel to a file and back, bad files, locking, and a
// seeded setup's run against the batch runner's.
#include "tests/support/gui_run_fixture.h"

#include <FL/fl_draw.H>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <vector>

#include "chart/save_alert.h"
#include "control/policy_event.h"
#include "results/my_chart.h"
#include "setup/setup_file.h"
#include "tests/tools/batch_process.h"

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

std::string temp_path(const char* name) {
  return TEST_BINARY_DIR "/setup_" + std::to_string(getpid()) + "_" + name + ".toml";
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

TEST_F(SetupButtons, TwoButtonsRightOfClearDataInTheRowOverlappingNothing) {
  Fl_Button* buttons[] = {panel->open_setup_button, panel->save_setup_button};
  EXPECT_STREQ(buttons[0]->label(), "Open Setup\u2026");
  EXPECT_STREQ(buttons[1]->label(), "Save Setup\u2026");
  EXPECT_EQ(buttons[0]->shortcut(), FL_CTRL + 'o');
  EXPECT_EQ(buttons[1]->shortcut(), FL_CTRL + 's');
  for (Fl_Button* b : buttons) {
    EXPECT_TRUE(b->y() == 10 && b->h() == 20 && b->color() == FL_WHITE);
    EXPECT_TRUE(b->x() >= panel->clear_button->x() + panel->clear_button->w() &&
                b->x() + b->w() <= 790);
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

// Typed texts not yet committed, toggles, the chart type and a schedule in use go to the file;
// after everything has changed, opening it brings every one of them back.
TEST_F(SetupButtons, SavedPanelComesBackWholeWhenOpened) {
  const std::string path = temp_path("round");
  panel->population_slider->input->value("1234");         // typed, not committed
  panel->quarantine_rate_slider->input->value("2.25");    // a real one
  panel->field("death-rate")->input->value("7");          // a whole one shown with a decimal
  panel->field("chart-upper-limit")->input->value("900"); // display settings
  panel->speed_slider->input->value("0.05");
  panel->toggle("hard-edge")->value(0);
  panel->toggle("hide-healthy")->value(0);
  panel->chart_type_menu->value(panel->chart_type_menu->find_index("Daily Dead"));
  panel->chart_type_menu->do_callback();
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

  panel->population_slider->input->value("999");
  panel->quarantine_rate_slider->input->value("40");
  panel->field("death-rate")->input->value("1");
  panel->field("chart-upper-limit")->input->value("5");
  panel->speed_slider->input->value("0.5");
  panel->toggle("hard-edge")->value(1);
  panel->toggle("hide-healthy")->value(1);
  panel->chart_type_menu->value(panel->chart_type_menu->find_index("None"));
  panel->chart_type_menu->do_callback();
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
  EXPECT_EQ(shown(), saved);
  EXPECT_EQ(text("population") + " " + text("quarantine-rate") + " " + text("death-rate") + " " +
                text("chart-upper-limit") + " " + text("speed"),
            "1234 2.25 7 900 0.05");
  EXPECT_EQ(panel->population_slider->slider->value(), 1234);
  EXPECT_TRUE(!panel->toggle("hard-edge")->value() && !panel->toggle("hide-healthy")->value() &&
              panel->toggle("lockdown")->value());
  EXPECT_STREQ(panel->chart_type_menu->label(), "Current | Dead");
  EXPECT_EQ(arena->chart_mask, 17);
  EXPECT_TRUE(panel->lazy_policy_on == 1 && panel->quarantine_policy_on == 0 &&
              panel->lazy_policy[1].value == 11 && panel->lazy_policy[3].setpoint_day == -1);
  EXPECT_STREQ(panel->lazy_button->label(), "@-4<");
  EXPECT_STREQ(panel->quarantine_button->label(), "@-4+");
  EXPECT_FALSE(panel->inactivity_slider->input->active()) << "the schedule drives it";

  // A save that cannot be written is told with its reason, and leaves no file.
  const std::string nowhere = temp_path("no_dir") + "/x.toml";
  press(panel->save_setup_button, nowhere);
  ASSERT_TRUE(pump_until([] { return !alerts.empty(); }));
  EXPECT_NE(alerts[0].find("No such file or directory"), std::string::npos) << alerts[0];
  EXPECT_NE(access(nowhere.c_str(), F_OK), 0);
  std::remove(path.c_str());
}

// A bad file is read whole before anything changes: an alert names the file, the line and the
// reason, and the panel keeps every value, the valid lines above the fault's included.
TEST_F(SetupButtons, BadFileAlertsWithPathAndLineAndChangesNothing) {
  const std::string path = temp_path("bad");
  panel->population_slider->input->value("4321");
  const std::string before = shown();
  const struct {
    const char* text;
    const char* told;
  } files[] = {
      {"format = 1\n[run]\npopulation = 500\npopulaton = 3\n",
       ":4: unknown key 'populaton' in [run], did you mean 'population'?"},
      {"format = 1\n[run]\nhard-edge = false\n\n[display]\nspeed = 7.0\n", ":6: --speed must be"},
  };
  for (const auto& f : files) {
    std::ofstream(path) << f.text;
    alerts.clear();
    press(panel->open_setup_button, path);
    ASSERT_TRUE(pump_until([] { return !alerts.empty(); })) << f.text;
    EXPECT_NE(alerts[0].find(path + f.told), std::string::npos) << alerts[0];
    EXPECT_EQ(shown(), before) << f.text;
  }
  EXPECT_EQ(text("population"), "4321");
  std::remove(path.c_str());
}

// Opening is locked during a run like the parameters; saving is not. A run started while the
// chooser was up (its own event loop runs) keeps the panel as it is.
TEST_F(SetupButtons, OpenIsLockedDuringARunAndSaveIsNot) {
  const std::string path = temp_path("locked");
  ::Setup other = initial_setup();
  other.params.population = 777;
  ASSERT_EQ(write_setup(path, other), "");
  small_run_settings("2", "0.05");
  panel->start_button->do_callback();
  EXPECT_FALSE(panel->open_setup_button->active());
  EXPECT_TRUE(panel->save_setup_button->active());
  ASSERT_TRUE(pump_until([&] { return panel->start_button->active() != 0; }));
  EXPECT_TRUE(panel->open_setup_button->active());

  while_choosing = [&] { panel->start_button->do_callback(); };
  press(panel->open_setup_button, path);
  ASSERT_TRUE(pump_until([] { return !alerts.empty(); }));
  EXPECT_NE(alerts[0].find("a run is going"), std::string::npos) << alerts[0];
  EXPECT_EQ(text("population"), "300");
  panel->stop_button->do_callback();
  std::remove(path.c_str());
}

// A seeded setup's next Start is the batch runner's run of the same file: the same report line.
// The seed serves that one Start only.
TEST_F(SetupButtons, SeededSetupRunsAsTheBatchRunnerRunsIt) {
  const std::string path = temp_path("seeded");
  ::Setup s = small_seeded_setup(300, 30, 77);
  s.params.quarantine_rate = 12.345; // finer than the field's two decimals
  s.params.vaccination_rate = 2.5;
  s.schedules.vaccination_policy = initial_schedule(*find_schedule("vaccination-schedule"));
  s.schedules.vaccination_policy[1] = {2, 30.0}; // a campaign at its height on day 3
  s.schedules.vaccination_policy_on = 1;
  ASSERT_EQ(write_setup(path, s), "");
  const Result batch_run = batch("--setup " + path);
  ASSERT_EQ(batch_run.status, 0) << batch_run.err;
  press(panel->open_setup_button, path);
  EXPECT_EQ(panel->read_panel().params.quarantine_rate, 12.345);
  printed();
  panel->start_button->do_callback();
  ASSERT_TRUE(pump_until([&] { return panel->start_button->active() != 0; }));
  const std::string report = printed();
  EXPECT_TRUE(is_report_line(report, "300", "33.333333")) << report;
  EXPECT_EQ(report, batch_run.out);
  uint32_t seed = 0;
  EXPECT_FALSE(panel->take_seed(&seed)) << "the next Start goes on with the stream";
  std::remove(path.c_str());
}
