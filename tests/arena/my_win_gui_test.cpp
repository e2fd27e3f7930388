// SPDX-License-Identifier: MIT
// First: the X11 headers under fl_draw.H define macros (None, Bool) that trip gtest.
#include "params/run_parameters.h"
#include "tests/support/gui_run_fixture.h"

#include <FL/fl_draw.H>

#include <array>
#include <memory>
#include <vector>

using ArenaWindow = GuiRunTest;

// Persons {x, y, state, immunity_left, dead, vaccinated} keep still; the pixels are read back.
TEST_F(ArenaWindow, PaintsEachStateInItsColourUnderTheStatusBand) {
  const std::vector<std::pair<std::array<int, 6>, Fl_Color>> people = {
      {{20, 60, 0, 0, 0, 0}, fl_rgb_color(0, 150, 255)},
      {{30, 60, -1, 500, 0, 0}, fl_rgb_color(0, 230, 80)},
      {{40, 60, -10, 500, 0, 0}, fl_rgb_color(255, 200, 225)},
      {{35, 60, -1, 500, 0, 1}, fl_rgb_color(0, 200, 200)},
      {{50, 60, 1, 0, 0, 0}, fl_darker(FL_YELLOW)},
      {{60, 60, 7, 0, 0, 0}, FL_RED}, // on its seventh day: too ill to walk about
      {{70, 60, -1, 0, 1, 0}, fl_rgb_color(80, 80, 80)},
      {{5, 5, 1, 0, 0, 0}, fl_darker(FL_YELLOW)},
      {{190, 35, 1, 0, 0, 0}, FL_BLACK}};     // under the status band, near its foot
  RunParameters r = initial_run_parameters(); // no infection, no quarantine
  std::tie(r.arena_size, r.population, r.initially_infected, r.infection_rate, r.quarantine_rate) =
      std::make_tuple(200, static_cast<int>(people.size()), 0, 0, 0.0);
  arena->start_run(r);
  arena->resize(820, 0, 200, 200);
  arena->show();
  ASSERT_TRUE(pump_until([&] { return ticks() > 0; })) << "shown and drawn once";
  for (size_t i = 0; i < people.size(); ++i)
    std::tie(person[i]->x, person[i]->y, person[i]->state, person[i]->immunity_left,
             person[i]->dead, person[i]->vaccinated, person[i]->mobile) =
        std::tuple_cat(people[i].first, std::tuple{0});
  // Through the X server's shared image, through fl_draw_image, then the first four hidden.
  for (auto [shared, hide] : {std::pair{true, 0}, {false, 0}, {true, 1}}) {
    arena_shared_memory = shared;
    arena->hide_healthy = arena->hide_recovered = arena->hide_quarantined = hide;
    arena->redraw();
    Fl::flush();
    arena->make_current();
    const std::unique_ptr<unsigned char[]> img(fl_read_image(nullptr, 0, 0, 200, 200));
    const auto at = [&](int x, int y) {
      const unsigned char* px = &img[(y * 200 + x) * 3];
      return unsigned(px[0]) << 24 | unsigned(px[1]) << 16 | unsigned(px[2]) << 8;
    };
    for (size_t i = 0; i < people.size(); ++i) {
      const auto& [s, colour] = people[i];
      EXPECT_EQ(at(s[0], s[1]), hide && i < 4 ? 0u : Fl::get_color(colour)) << shared << hide << i;
    }
    EXPECT_EQ(at(25, 60), 0u);
    int light = 0; // the status band's anti-aliased white text, on rows 10 to 39
    for (int i = 200 * 10 * 3; i < 200 * 40 * 3; i += 3)
      light += img[i] > 100 && img[i] == img[i + 2];
    EXPECT_GT(light, 20);
  }
}
