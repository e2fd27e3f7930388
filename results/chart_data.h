// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "results/accumulation_store.h"

// The numbers a result chart draws, kept with the chart: the store moves on (the next run
// overwrites a slot, "Clear Data" empties it) while the chart still shows what it was built from.
struct ChartData {
  int days = 0; // days shown; day d is sample d - 1 of every slot
  // Each slot's values from day 1 on, as the chart holds them; a slot with fewer values than
  // `days` has none on the later days.
  std::array<std::vector<float>, kSlots> slots;
};

// "day,slot1,slot2,slot3,slot4", then one row per day, a cell left empty where a slot has no
// value. False when the stream failed.
bool write_chart_csv(const ChartData& data, std::FILE* out);

// Writes the table to `path` so that the file is whole or absent. False with the reason alone in
// *reason.
bool save_chart_csv(const ChartData& data, const std::string& path, std::string* reason);
