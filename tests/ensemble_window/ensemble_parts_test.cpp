// SPDX-License-Identifier: MIT
// The Ensemble window's parts that need no display: fit.csv's reader, the bands' raster, the
// child process and the data folder.
#include <gtest/gtest.h>

#include <csignal>

#include "ensemble_window/band_raster.h"
#include "ensemble_window/batch_launch.h"
#include "ensemble_window/child_process.h"
#include "ensemble_window/fit_figures.h"
#include "tests/support/batch_process.h"

namespace {

const std::string kHeader = "day,dead_data,dead_mean,dead_p5,dead_p25,dead_median,dead_p75,"
                            "dead_p95\n";

bool gone(pid_t group) {
  return kill(-group, 0) != 0 && errno == ESRCH;
}

} // namespace

// Only what the fit's writer writes is read; each fault is told with its line.
TEST(FitCsv, ReadsBandsAndDataAndRefusesWhatNoFitWrites) {
  BandFigures f;
  std::string error;
  ASSERT_TRUE(
      read_fit_csv(kHeader + "1,,0,0,0,0,0,0\n3,2.5,2,1,1.5,2,3,4\n4,1,,,,,,\n", &f, &error))
      << error;
  ASSERT_EQ(f.panels.size(), 1u);
  EXPECT_EQ(f.panels[0].title, "Dead");
  EXPECT_EQ(f.last_day, 4);
  ASSERT_EQ(f.panels[0].data.size(), 2u);
  EXPECT_EQ(f.panels[0].curves[0].days.size(), 2u) << "no band where no run counts";
  EXPECT_EQ(f.panels[0].data[0].value, 2.5);
  const BandDay d = f.panels[0].curves.at(0).days.at(1);
  EXPECT_EQ(std::make_tuple(d.day, d.p5, d.p25, d.median, d.p75, d.p95),
            std::make_tuple(3, 1.0, 1.5, 2.0, 3.0, 4.0));
  const std::string header2 =
      kHeader.substr(0, kHeader.size() - 1) + "," + kHeader.substr(4, kHeader.size() - 4);
  for (auto [text, told] :
       {std::pair{kHeader, "2: no days"},
        {"day,deaths_data\n1,2\n", "1: not a fit.csv header"},
        {"day,dead_data,dead_mean,dead_p5,dead_p25,dead_median,dead_p95,dead_p75\n",
         "1: unexpected column dead_p95"},
        {header2 + "1,,0,0,0,0,0,0,,0,0,0,0,0,0\n", "1: series dead twice"},
        {kHeader + "1,,0,0,0,0,0\n", "2: expected 8 cells"},
        {kHeader + "2,,0,0,0,0,0,0\n2,,0,0,0,0,0,0\n", "3: the day must be"},
        {kHeader + "1,,0,0,0,x,0,0\n", "2: not a number: x"},
        {kHeader + "1,,0,0,0,0,0,1.0\n", "2: not a number: 1.0"},
        {kHeader + "1,,0,,,,,\n", "2: not a number: "},
        {kHeader + "1,,0,0,0,0,0,", "2: the last line has no end"}}) {
    EXPECT_FALSE(read_fit_csv(text, &f, &error)) << text;
    EXPECT_EQ(error.rfind(told, 0), 0u) << error;
  }
}

// Two points' bands overlap: each mixes over what lies below, so both stay visible, and the
// inner band is darker than the outer; between days the band follows a straight line.
TEST(BandRaster, OverlappingBandsBothShowAndFollowTheirDays) {
  const auto flat = [](double p5, double p25, double p75, double p95) {
    return BandCurve{{{0, p5, p25, p25, p75, p95}, {10, p5, p25, p25, p75, p95}}};
  };
  PanelFigures panel{"x", {flat(0, 10, 30, 50), flat(25, 60, 80, 100)}, {}};
  const std::vector<unsigned char> px = band_raster(panel, PlotScale{11, 101, 10, 100.0});
  const auto at = [&](int count) { // in column 5
    const unsigned char* p = &px[3 * (static_cast<std::size_t>(100 - count) * 11 + 5)];
    return std::array<int, 3>{p[0], p[1], p[2]};
  };
  const auto sum = [](std::array<int, 3> c) { return c[0] + c[1] + c[2]; };
  EXPECT_TRUE(at(5)[2] > at(5)[0] && at(90)[0] > at(90)[2]) << "blue, then vermillion";
  EXPECT_LT(sum(at(20)), sum(at(5))) << "the inner band is darker";
  EXPECT_TRUE(at(40) != at(5) && at(40) != at(90) && sum(at(40)) < sum(at(5))) << "both";
  BandDay d{};
  const BandCurve rising{{{1, 0, 0, 0, 0, 10}, {3, 0, 0, 4, 0, 30}}};
  ASSERT_TRUE(band_at(rising, 2.5, &d));
  EXPECT_EQ(std::make_pair(d.median, d.p95), std::make_pair(3.0, 25.0));
  EXPECT_FALSE(band_at(rising, 0.5, &d) || band_at(rising, 3.5, &d));
  EXPECT_EQ(std::make_tuple(tick_step(100, 4), tick_step(7, 4), tick_step(3000, 8)),
            std::make_tuple(50.0, 2.0, 500.0));
}

// The runner's last stderr line is what a failure quotes; a runner that ignores the request to
// stop is killed with all it started once the grace time is over.
TEST(ChildProcess, QuotesTheLastLineAndLeavesNoProcessBehind) {
  ChildProcess failing;
  std::string error;
  ASSERT_TRUE(failing.start({"/bin/sh", "-c", "echo one >&2; echo 'last one' >&2; exit 3"}, &error))
      << error;
  while (failing.poll())
    ;
  EXPECT_FALSE(failing.succeeded());
  EXPECT_EQ(failing.last_error_line(), "last one");

  ChildProcess stubborn;
  ASSERT_TRUE(stubborn.start(
      {"/bin/sh", "-c", "trap '' TERM; sleep 100 & echo ready >&2; while :; do sleep 1; done"},
      &error));
  const pid_t group = stubborn.group();
  while (stubborn.poll() && stubborn.last_error_line() != "ready")
    ;
  stubborn.request_stop(100);
  while (!stubborn.gone())
    stubborn.poll();
  EXPECT_TRUE(gone(group) && !stubborn.succeeded());
  ChildProcess missing;
  EXPECT_FALSE(missing.start({"/nonexistent/epidemic_batch"}, &error));
  EXPECT_EQ(error, "cannot start /nonexistent/epidemic_batch: No such file or directory");
}

// The XDG rules for the data folder, and a second folder of the same second beside the first.
TEST(BatchLaunch, DataFolderFollowsXdgAndNamesNeverClash) {
  setenv("HOME", "/home/h", 1);
  for (auto [xdg, folder] : {std::pair{"/d", "/d/epidemic-sim/ensembles"},
                             {"rel", "/home/h/.local/share/epidemic-sim/ensembles"},
                             {"", "/home/h/.local/share/epidemic-sim/ensembles"}}) {
    setenv("XDG_DATA_HOME", xdg, 1);
    EXPECT_EQ(ensembles_folder(), folder) << xdg;
  }
  const std::string parent = fresh(std::to_string(getpid()) + "_launch") + "/a/b";
  std::string first, second, error;
  ASSERT_TRUE(make_folders(parent, &error)) << error;
  ASSERT_TRUE(make_dated_folder(parent, 0, &first, &error) &&
              make_dated_folder(parent, 0, &second, &error))
      << error;
  EXPECT_EQ(second, first + "-2");
  std::filesystem::remove_all(parent + "/../..");
}
