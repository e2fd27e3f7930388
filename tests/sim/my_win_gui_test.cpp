// First: the X11 headers under fl_draw.H define macros (None, Bool) that trip gtest.
#include "tests/support/gui_run_fixture.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <array>
#include <cstdlib>
#include <vector>

#include "results/accumulation_store.h"
#include "results/my_chart.h"

namespace {

using Rgb = std::array<int, 3>;
const Rgb kBlack = {0, 0, 0};

Rgb rgb(Fl_Color c) {
  unsigned char r, g, b;
  Fl::get_color(c, r, g, b);
  return {r, g, b};
}

// An arena window, shown, with a population placed by hand that keeps still.
class ArenaWindow : public ::testing::Test {
protected:
  void SetUp() override {
    reset_engine_state();
    reset_accumulation_store();
    win = new MyWin(200, 200);
    win->arena->size(200, 200);
    global_area = 200;
    win->daily_interactions = 8;
    win->infection_length = 30;
    win->ambulatory_days = 7;
    win->immunity_duration = 730;
    win->hide_healthy = win->hide_recovered = win->hide_quarantined = 0;
    infection_rate = 0;
    quarantine_rate = 0.0;
    win->position(0, 0);
    win->show();
    pump_for(0.1);
  }
  void TearDown() override {
    delete win;
    reset_engine_state();
    reset_accumulation_store();
  }

  // Persons {x, y, state, immunity_left, dead}, in array order; under lockdown, none mobile.
  void populate(const std::vector<std::array<int, 5>>& spec) {
    clean_world();
    init_pop = win->population = static_cast<int>(spec.size());
    person = static_cast<Person**>(std::malloc(sizeof(Person*) * spec.size()));
    for (size_t i = 0; i < spec.size(); ++i) {
      Person* p = person[i] = new Person(0);
      p->x = p->home_x = spec[i][0];
      p->y = p->home_y = spec[i][1];
      p->state = spec[i][2];
      p->immunity_left = spec[i][3];
      p->dead = spec[i][4];
      p->mobile = 0;
    }
  }

  // One tick drawn as the toolkit draws it, then the window's pixels read back.
  void draw_tick() {
    win->redraw();
    Fl::flush();
    win->make_current();
    unsigned char* img = fl_read_image(nullptr, 0, 0, 200, 200);
    pixels.assign(img, img + 200 * 200 * 3);
    delete[] img;
  }
  Rgb at(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * 200 + x) * 3;
    return {pixels[i], pixels[i + 1], pixels[i + 2]};
  }

  std::vector<unsigned char> pixels;
  MyWin* win = nullptr;
};

} // namespace

TEST_F(ArenaWindow, PaintsEachStateInItsColourLaterPersonsOnTop) {
  populate({{20, 60, 0, 0, 0},
            {30, 60, -1, 500, 0},
            {40, 60, -10, 500, 0},
            {50, 60, 1, 0, 0},
            {60, 60, 20, 0, 0},
            {70, 60, -1, 0, 1},
            {80, 60, 5, 0, 0},
            {80, 60, 0, 0, 0}});
  draw_tick();
  EXPECT_EQ(at(20, 60), rgb(fl_rgb_color(0, 150, 255)));
  EXPECT_EQ(at(30, 60), rgb(fl_rgb_color(0, 230, 80)));
  EXPECT_EQ(at(40, 60), rgb(fl_rgb_color(255, 200, 225)));
  EXPECT_EQ(at(50, 60), rgb(fl_darker(FL_YELLOW)));
  EXPECT_EQ(at(60, 60), rgb(FL_RED));
  EXPECT_EQ(at(70, 60), rgb(fl_rgb_color(80, 80, 80)));
  EXPECT_EQ(at(80, 60), rgb(fl_rgb_color(0, 150, 255))) << "the later person shows";
  EXPECT_EQ(at(25, 60), kBlack);

  // Hidden states are not drawn, and nothing of the last tick stays.
  win->hide_healthy = win->hide_recovered = win->hide_quarantined = 1;
  person[3]->x = 51;
  draw_tick();
  EXPECT_EQ(at(20, 60), kBlack);
  EXPECT_EQ(at(30, 60), kBlack);
  EXPECT_EQ(at(40, 60), kBlack);
  EXPECT_EQ(at(50, 60), kBlack);
  EXPECT_EQ(at(51, 60), rgb(fl_darker(FL_YELLOW)));
}

TEST_F(ArenaWindow, StatusBandCoversItsRowsAndCarriesTheText) {
  populate({{5, 5, 1, 0, 0}, {190, 20, 1, 0, 0}, {190, 45, 1, 0, 0}});
  draw_tick();
  EXPECT_EQ(at(5, 5), rgb(fl_darker(FL_YELLOW)));
  EXPECT_EQ(at(190, 20), kBlack) << "covered by the band";
  EXPECT_EQ(at(190, 45), rgb(fl_darker(FL_YELLOW)));
  int light = 0; // anti-aliased white text
  for (int y = 10; y < 40; ++y)
    for (int x = 0; x < 200; ++x)
      light += at(x, y)[0] > 100 && at(x, y)[0] == at(x, y)[2];
  EXPECT_GT(light, 20);
  EXPECT_EQ(at(5, 25), kBlack) << "the text starts at x = 10";
}

TEST_F(ArenaWindow, DailySampleFeedsTheLiveChartAndTheStore) {
  Fl_Window holder(300, 100);
  auto* chart = new MyChart(0, 0, 300, 100, nullptr);
  holder.end();
  win->graph = chart;
  win->chart_mask = 1 | 4 | 16;
  win->daily_interactions = 0; // every tick is a day boundary
  win->dead_today = 3;
  populate({{20, 60, 1, 0, 0}, {30, 60, 0, 0, 0}});
  day = 9;
  win->make_current();
  win->draw(); // day 10
  win->draw(); // day 11
  ASSERT_EQ(chart->charts[0]->size(), 6);
  const FL_CHART_ENTRY* e = chart_entries(chart->charts[0]);
  EXPECT_STREQ(e[0].str, "10") << "only the first series sent on a tenth day";
  EXPECT_STREQ(e[1].str, "");
  EXPECT_STREQ(e[3].str, "");
  EXPECT_FLOAT_EQ(e[0].val, 1.0f);
  EXPECT_FLOAT_EQ(e[2].val, 3.0f) << "the deaths since the last sample";
  EXPECT_EQ(e[0].col, fl_rgb_color(160, 60, 0));
  EXPECT_EQ(e[1].col, fl_rgb_color(60, 160, 0));
  EXPECT_EQ(e[2].col, fl_rgb_color(60, 0, 160));
  EXPECT_EQ(accumulation_cnt, 2) << "all five series stored whatever the chart shows";
  EXPECT_DOUBLE_EQ(chart_accumulation[0][3][1], 1.0);
  EXPECT_DOUBLE_EQ(chart_accumulation[0][4][0], 3.0);

  win->graph = nullptr; // without a live chart nothing is sampled
  win->draw();
  EXPECT_EQ(accumulation_cnt, 2);
}
