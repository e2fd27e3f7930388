// SPDX-License-Identifier: MIT
#include "results/accumulation_store.h"

#include <algorithm>

double chart_accumulation[kSlots][kSeries][kSamples];
int accumulation_cnt = 0;
int max_accumulation_cnt = 0;
int last_accumulation_cnt = 0;
int meta_idx = 0;
int meta_limit = -1;
int meta_cnt = kSlots;
int slot_recorded_cnt[kSlots] = {};

void clear_acc_cb(Fl_Widget*, void*) {
  std::fill(&chart_accumulation[0][0][0],
            &chart_accumulation[0][0][0] + kSlots * kSeries * kSamples, 0.0);
  accumulation_cnt = 0;
  max_accumulation_cnt = 0;
  std::fill(slot_recorded_cnt, slot_recorded_cnt + kSlots, 0);
}

void record_sample(const double figures[kSeries]) {
  if (accumulation_cnt > kSamples - 1)
    return; // a run longer than the table goes on without samples
  for (int s = 0; s < kSeries; ++s)
    chart_accumulation[meta_idx][s][accumulation_cnt] = figures[s];
  accumulation_cnt += 1;
  if (accumulation_cnt > max_accumulation_cnt)
    max_accumulation_cnt = accumulation_cnt;
  if (accumulation_cnt > slot_recorded_cnt[meta_idx])
    slot_recorded_cnt[meta_idx] = accumulation_cnt;
}

// Unrecorded samples are 0.0 and take part, so the minimum is at most 0 while any sample of
// the series has never been written.
void max_min_acc(int series, double* max_value, double* min_value) {
  double lowest = 1e12;
  double highest = -1e12;
  if (series >= 0 && series < kSeries) {
    for (int slot = 0; slot < kSlots; ++slot) {
      for (double v : chart_accumulation[slot][series]) {
        if (lowest > v)
          lowest = v;
        if (v > highest)
          highest = v;
      }
    }
  }
  *max_value = highest;
  *min_value = lowest;
}

void advance_slot() {
  if (meta_limit >= 0) {
    meta_idx = meta_limit;
  } else {
    meta_idx += 1;
    if (meta_idx > kSlots - 1)
      meta_idx = 0;
  }
  last_accumulation_cnt = accumulation_cnt;
  accumulation_cnt = 0;
}

void start_accumulation() {
  accumulation_cnt = 0;
}

void reset_accumulation_store() {
  clear_acc_cb(nullptr, nullptr);
  last_accumulation_cnt = 0;
  meta_idx = 0;
  meta_limit = -1;
  meta_cnt = kSlots;
}
