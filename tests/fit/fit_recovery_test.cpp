// SPDX-License-Identifier: MIT
// The fit recovers parameters that made the data. Minutes under the sanitizers, so the optimised
// build alone runs it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "fit_data.h"

namespace {

const std::string kModel = "--population 5000 --arena-size 100 ";
const std::string kTruth = "--infection-rate 18 --ambulatory-days 4 --infection-length 10 ";

bool sanitized() {
#if defined(__SANITIZE_ADDRESS__)
  return true;
#else
  return false;
#endif
}

// Days 1 to 60 of a run on seed 777, which no fit below uses; `shift` days of it left out.
std::string made_data(int shift) {
  const std::string csv = temp_path("truth.csv");
  EXPECT_EQ(batch(kModel + kTruth + "--seed 777 --max-days 70 --csv " + csv).status, 0);
  const std::string path = temp_path("data" + std::to_string(shift) + ".csv");
  std::ofstream(path) << data_columns(slurp(csv), {"newly_infected", "bedridden"}, shift, 60);
  return path;
}

// The fitted values that the one line on stdout gives, by name.
double fitted(const std::string& line, const std::string& name) {
  const std::size_t at = line.find(" " + name + "=");
  return at == std::string::npos ? -1e9 : std::atof(line.c_str() + at + name.size() + 2);
}

} // namespace

TEST(FitRecovery, knownParametersForAtLeastFourOfFiveSeeds) {
  if (sanitized())
    GTEST_SKIP() << "minutes of runs under the sanitizers";
  const std::string data = made_data(0);
  int recovered = 0;
  for (const int seed : {11, 22, 33, 44, 55}) {
    const Result r =
        batch("--fit " + data + " " + kModel +
              "--fit-param infection-rate=1:60 --fit-param ambulatory-days=1:20 "
              "--fit-param infection-length=2:30 --trials 200 --runs 8 --quiet "
              "--seed " +
              std::to_string(seed) + " --out " + fresh("recovery" + std::to_string(seed)));
    ASSERT_EQ(r.status, 0) << r.err;
    const bool near = std::abs(fitted(r.out, "infection-rate") - 18) <= 2 &&
                      std::abs(fitted(r.out, "ambulatory-days") - 4) <= 1 &&
                      std::abs(fitted(r.out, "infection-length") - 10) <= 1;
    recovered += near;
    std::printf("seed %d: %s", seed, r.out.c_str());
  }
  EXPECT_GE(recovered, 4);
}

TEST(FitRecovery, aShiftOfFiveDays) {
  if (sanitized())
    GTEST_SKIP() << "minutes of runs under the sanitizers";
  const Result r =
      batch("--fit " + made_data(5) + " " + kModel + kTruth +
            "--fit-param day-offset=-10:15 --quiet --seed 11 --out " + fresh("shifted"));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NEAR(fitted(r.out, "day-offset"), 5, 1) << r.out;
}
