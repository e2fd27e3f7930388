// SPDX-License-Identifier: MIT
#include "tests/support/gui_run_fixture.h"

#include <cstring>
#include <set>

#include "results/my_chart.h"

using Panel = GuiRunTest;

// Each control's label, tooltip, first text, slider ends and committed text if it differs.
struct Row {
  const char *label, *tip, *text = nullptr;
  double left = 0, right = 0;
  const char* committed = nullptr;
} const kRows[] = {
    {"Start", "Kicks off the simulation."},
    {"Stop", "Stops the simulation."},
    {"Pause", "Pauses the simulation."},
    {"Quit", "Stops the simulation and ends the application."},
    {"Clear Data", "Clears already accumulated data."},
    {"Open Setup\u2026", "Fills the panel from a setup file (Ctrl+O)."},
    {"Save Setup\u2026", "Saves the panel's values to a setup file (Ctrl+S)."},
    {"Initial Population", "The initial number of participants.", "50000", 0, 350000},
    {"Infection Rate %", "The ease with which the disease passes from one person to another.", "15",
     0, 100},
    {"Infection Length", "The number of days a sick person can transmit the disease.", "30", 1, 90},
    {"Ambulatory Days", "The number of days a sick person can socially move around.", "7", 1, 90},
    {"Inactivity %", "How socially active the society is. Higher numbers mean less activity.", "10",
     0, 100},
    {"Initially Infected", "How many people start the simulation already sick.", "10", 1, 1000},
    {"Arena Size", "The social area of the simulation, squared.", "400", 100, 1080},
    {"Chart Upper Limit", "The upper boundary of the chart", "50000", 0, 350000},
    {"Chart Maximum Values",
     "The maximum number of data values collected by the chart. Set to zero for no limit.", "200",
     0, 365},
    {"Quarantine Rate %", "The percentage of sick people that will be fixed in place and cured.",
     "0.5", 0, 100, "0.50"},
    {"Speed",
     "The speed at which the simulation runs, specified as fractions of second delay between "
     "steps.",
     "0.01", 1.0, 0.001, "0.010"},
    {"Daily Interactions", "The number of times a person can move per day.", "8", 1, 24},
    {"Immunity Duration", "How long a person is immune after recovering or being cured.", "730", 0,
     2000},
    {"Drivers %",
     "Percent of people that drive to destinations.\nDriving causes them to travel to the "
     "destination and return without exposing anyone.\nThey do expose people at the destination "
     "and at their home.",
     "0", 0, 100},
    {"Number of destinations", "Number of places people can drive to.", "0", 0, 1000},
    {"Death Rate", "Percentage of people that die of the disease.", "0", 0, 100, "0.0"},
    {"Vaccination %",
     "Percent chance per day that a susceptible person is vaccinated and becomes immune.", "0", 0,
     100, "0.00"},
    {"Hide Healthy", "Hide the people that are heathy."},
    {"Hide Quarantined", "Hide the people that are in treatment/quarantine"},
    {"Hide Recovered", "Hide the people that have recovered."},
    {"Hard Edge", "Cause the side and upper edges to not wrap around\n"},
    {"Lockdown", "A percentage of people are inactive rather than all people being less active."},
    {"Ensemble\u2026", "Runs the setup many times over and shows the spread of its runs."},
    {"Currently Infected", "Set which results are to be charted. More than one can be selected. "
                           "Selecting None clears the selection."}};

TEST_F(Panel, ControlsTheirPlacesAndWhatTheyDo) {
  for (const Row& r : kRows) {
    Fl_Widget* w = labelled(*panel, r.label);
    ASSERT_NE(w, nullptr) << r.label;
    EXPECT_STREQ(w->tooltip(), r.tip);
    const auto* toggle = dynamic_cast<const Fl_Light_Button*>(w);
    EXPECT_TRUE(!toggle || toggle->value() == 1) << r.label;
    if (!r.text)
      continue;
    auto* input = static_cast<Fl_Input*>(w); // its slider follows it
    const auto* slider = static_cast<const Fl_Slider*>(panel->child(panel->find(w) + 1));
    EXPECT_EQ(std::make_tuple(std::string(input->value()), slider->minimum(), slider->maximum(),
                              std::string(slider->tooltip())),
              std::make_tuple(r.text, r.left, r.right, r.tip));
    input->do_callback();
    EXPECT_STREQ(input->value(), r.committed ? r.committed : r.text);
  }
  EXPECT_STREQ(panel->lazy_button->tooltip(), "Allows setting up to 10 days to act as setpoints.");
  EXPECT_STREQ(panel->quarantine_button->tooltip(),
               "Allow setting up to 10 days to act as setpoints.");
  // What a schedule puts in force is shown in its control: the text and the slider agree.
  panel->show_inactivity(23), panel->show_quarantine_rate(1.4), panel->show_vaccination_rate(1.75);
  for (auto [s, text] : {std::pair{panel->inactivity_slider, "23"},
                         {panel->quarantine_rate_slider, "1.4"},
                         {panel->vaccination_slider, "1.75"}})
    EXPECT_EQ(std::make_pair(std::string(s->input->value()), s->slider->value()),
              std::make_pair(std::string(text), std::stod(text)));
  // Everything fits the 800 x 700 window, and nothing covers the live chart.
  for (int i = 0; i < panel->children(); ++i) {
    const Fl_Widget* w = panel->child(i);
    EXPECT_TRUE(w->x() >= 0 && w->y() >= 0 && w->x() + w->w() <= 800 && w->y() + w->h() <= 700 &&
                (w == arena->graph || w->y() + w->h() <= arena->graph->y()))
        << (w->label() ? w->label() : "?");
  }
  // Locking leaves only the run controls, Speed, saving the setup and the ensembles, which run
  // beside a run.
  const auto children = [&](bool on) { // the active ones, or with `on` false, the others
    std::set<Fl_Widget*> found;
    for (int i = 0; i < panel->children(); ++i)
      if (!panel->child(i)->active() != on)
        found.insert(panel->child(i));
    return found;
  };
  const std::set<Fl_Widget*> idle = {panel->stop_button, panel->pause_button};
  EXPECT_EQ(children(false), idle);
  panel->LockControls();
  EXPECT_EQ(children(true),
            (std::set<Fl_Widget*>{panel->stop_button, panel->pause_button, panel->quit_button,
                                  panel->save_setup_button, panel->ensemble_button, arena->graph,
                                  panel->speed_slider->input, panel->speed_slider->slider}));
  panel->inactivity_slider->deactivate(); // as a schedule in use leaves it
  panel->UnlockControls();
  EXPECT_EQ(children(false), idle);

  auto choose = [&](const char* item) {
    panel->chart_type_menu->value(panel->chart_type_menu->find_index(item));
    panel->chart_type_menu->do_callback();
    return panel->chart_type_menu->label() + (" " + std::to_string(arena->chart_mask));
  };
  EXPECT_EQ(choose("New Infections"), "Currently Infected | New 3");
  EXPECT_EQ(choose("Currently Infected"), "Currently Infected | New | Current 3");
  EXPECT_EQ(choose("None"), "None 0");
  EXPECT_EQ(choose("Daily Dead"), "Dead 16");
  for (int i = 0; i < 40; ++i) // far past the label's 256 bytes
    choose("Currently Quarantined");
  EXPECT_EQ(choose("Currently Immune").substr(255), " 28") << "the label is cut at 255 bytes";
  Fl::check(); // the cut label must also draw

  auto press_slot = [&](int slot) {
    panel->slot_buttons[slot]->do_callback();
    return std::make_tuple(panel->slot_buttons[slot]->box(), meta_idx, meta_limit);
  };
  EXPECT_EQ(press_slot(2), std::make_tuple(FL_DOWN_BOX, 2, 2));
  EXPECT_EQ(press_slot(1), std::make_tuple(FL_DOWN_BOX, 1, 1)); // frees "3" without advancing
  EXPECT_EQ(panel->slot_buttons[2]->box(), FL_ENGRAVED_BOX);
  EXPECT_EQ(press_slot(1), std::make_tuple(FL_ENGRAVED_BOX, 2, -1));
  press_slot(3);
  EXPECT_EQ(press_slot(3), std::make_tuple(FL_ENGRAVED_BOX, 0, -1)); // unpinning 3 wraps round
  max_accumulation_cnt = 4; // what the store's own clearing does is the store's test
  panel->clear_button->do_callback();
  EXPECT_EQ(max_accumulation_cnt, 0) << "Clear Data";

  // Each field, toggle and setpoint button spans the place its row of the table gives it.
  const auto spans = [](const Fl_Widget* a, const Fl_Widget* b, const PanelPlace& at) {
    return a->x() == at.x && a->y() == at.y && b->x() + b->w() == at.x + at.w &&
           b->y() + b->h() == at.y + at.h;
  };
  for (const PanelField& f : panel->fields)
    EXPECT_TRUE(f.toggle ? spans(f.toggle, f.toggle, f.row->place)
                         : spans(f.slider->input, f.slider->slider, f.row->place))
        << f.row->name;
  for (const ScheduleRow& s : schedule_rows())
    EXPECT_TRUE(spans(panel->schedule_button(s.name), panel->schedule_button(s.name), s.place));
}

// The text, then where the slider stands.
static std::string shown(const InputSlider& s) {
  return s.input->value() + (" " + std::to_string(s.slider->value()));
}

// Commits the typed text as the field does, or as a run start commits a text still pending.
static std::string commit(InputSlider& s, const char* typed, bool pending = false) {
  s.input->value(typed);
  if (pending)
    commit_pending(&s);
  else
    in_input_cb(s.input, &s);
  return shown(s);
}

TEST(InputSlider, TextsAreClampedToTheBoundsInEitherOrderAndReformattedWhenCommitted) {
  Fl_Window win(400, 200); // owns the widgets; the records are ours
  InputSlider delay(80, 10, 3, 0.01, 1.0, 0.001, "Speed");
  InputSlider population(80, 40, 0, 50000, 0, 350000, "Population");
  InputSlider rate(80, 70, 2, 0.5, 0, 100, "Rate");
  InputSlider side(80, 100, 0, 400, 100, 1080, "Side");
  win.end();
  delay.input->value("0");
  EXPECT_DOUBLE_EQ(committed_value(&delay), 0.001);
  EXPECT_EQ(shown(delay), "0 0.010000") << "a pure read";
  EXPECT_EQ(commit(population, "999999", true), "350000 350000.000000");
  EXPECT_EQ(commit(rate, "0.5", true), "0.5 0.500000") << "a text the commit would keep";
  EXPECT_EQ(commit(side, "5e2", true), "500 500.000000"); // atoi: 5, below the range; atof: 500

  EXPECT_EQ(commit(delay, "0.05"), "0.050 0.050000");
  EXPECT_EQ(commit(delay, "5"), "1.000 1.000000");
  EXPECT_EQ(commit(side, "nan"), "100 100.000000");
  EXPECT_EQ(commit(side, "1500"), "1080 1080.000000");
  side.slider->value(444.6);
  in_cb(side.slider, &side);
  EXPECT_EQ(shown(side), "445 444.600000") << "a slider move rounds only the text";
  // Dragged past its right end, the slider stops at the upper bound, and the text shows it.
  Fl::e_x = side.slider->x() + side.slider->w() / 2,
  Fl::e_y = side.slider->y() + side.slider->h() / 2;
  side.slider->handle(FL_PUSH);
  Fl::e_x += side.slider->w();
  side.slider->handle(FL_DRAG);
  EXPECT_EQ(shown(side), "1080 1080.000000");
}
