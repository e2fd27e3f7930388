// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "results/accumulation_store.h"

// A run of n samples whose first figure is base + sample index.
static void run(int n, double base) {
  start_accumulation();
  for (int i = 0; i < n; ++i) {
    const double f[kSeries] = {base + i, 1, 2, 3, 4};
    record_sample(f);
  }
  advance_slot();
}

TEST(Store, SlotsRotateOrStayPinnedAndKeepWhatFitsAndWasWritten) {
  double hi = 1, lo = 1;
  max_min_acc(0, &hi, &lo);
  EXPECT_EQ((std::pair{hi, lo}), (std::pair{0.0, 0.0}));
  run(50, 100.0);
  EXPECT_EQ((std::vector<int>{meta_idx, last_accumulation_cnt, accumulation_cnt}),
            (std::vector<int>{1, 50, 0}));
  for (int i = 0; i < 3; ++i)
    run(10, 1.0);
  run(30, 7.0); // the fifth run writes slot 0 again
  EXPECT_EQ((std::vector<int>{meta_idx, max_accumulation_cnt, last_accumulation_cnt}),
            (std::vector<int>{1, 50, 30}));
  EXPECT_EQ((std::pair{chart_accumulation[0][0][29], chart_accumulation[0][0][30]}),
            (std::pair{36.0, 130.0}))
      << "the earlier, longer run shows through";
  EXPECT_EQ(std::vector<int>(slot_recorded_cnt, slot_recorded_cnt + kSlots),
            (std::vector<int>{50, 10, 10, 10}));
  max_min_acc(0, &hi, &lo);
  EXPECT_EQ((std::pair{hi, lo}), (std::pair{149.0, 0.0})) << "unwritten samples take part";

  reset_accumulation_store();
  meta_limit = meta_idx = 2;
  run(5, 1.0);
  run(5, 2.0);
  EXPECT_EQ((std::pair{meta_idx, chart_accumulation[2][0][0]}), (std::pair{2, 2.0}));
  clear_acc_cb(nullptr, nullptr); // keeps the pinned slot and the last run's length
  EXPECT_EQ((std::tuple{max_accumulation_cnt, slot_recorded_cnt[2], last_accumulation_cnt, meta_idx,
                        chart_accumulation[2][0][0]}),
            (std::tuple{0, 0, 5, 2, 0.0}));
  // Series 4 of one slot lies just before series 0 of the next: nothing may spill over.
  run(kSamples + 10, 1.0);
  EXPECT_EQ((std::tuple{last_accumulation_cnt, slot_recorded_cnt[2], chart_accumulation[3][0][0]}),
            (std::tuple{kSamples, kSamples, 0.0}));
}
