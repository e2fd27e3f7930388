// SPDX-License-Identifier: MIT
#include "ensemble/manifest.h"

#include <gtest/gtest.h>

TEST(Manifest, ReadsBackWhatWasWritten) {
  Plan plan{"", TEST_BINARY_DIR, 4000000000u, 7, {}, {"lockdown", "death-rate"}, {}}, back;
  plan.fixed = {{"--inactivity-schedule", "0:1,2:3"}, {"--population", "3000"}};
  plan.points = {{"0", "5"}, {"1", "7"}};
  std::string error;
  ASSERT_TRUE(write_manifest(plan, "epidemic_batch --runs 7 --out 'a\\x5c b'", &error)) << error;
  ASSERT_TRUE(read_manifest(TEST_BINARY_DIR, &back, &error)) << error;
  EXPECT_EQ(std::tie(back.seed, back.runs, back.fixed, back.varied_names, back.points),
            std::tie(plan.seed, plan.runs, plan.fixed, plan.varied_names, plan.points));
  EXPECT_TRUE(back.program.empty()) << "a manifest names nothing to run";
}
