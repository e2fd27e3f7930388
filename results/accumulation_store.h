// SPDX-License-Identifier: MIT
#pragma once

// The daily figures of up to four runs, side by side, for the results window to overlay.
// Series: 0 infected, 1 new infections, 2 sent into quarantine, 3 immune, 4 deaths of the day.
constexpr int kSlots = 4;
constexpr int kSeries = 5;
constexpr int kSamples = 32768;

extern double chart_accumulation[kSlots][kSeries][kSamples];
extern int accumulation_cnt;      // samples of the current run; index of the next one
extern int max_accumulation_cnt;  // most samples of any run since start-up or "Clear Data"
extern int last_accumulation_cnt; // samples of the last run that ended
extern int meta_idx;              // slot the current or next run writes
extern int meta_limit;            // pinned slot, or -1 when the slots rotate
extern int meta_cnt;              // slots shown by the results window
// Samples written into each slot since start-up or "Clear Data", by whatever run: beyond this
// a slot holds only the zeros of the cleared table, which the charts draw but nobody measured.
extern int slot_recorded_cnt[kSlots];

class Fl_Widget;

// "Clear Data": zeroes the table and the two sample counters; keeps the slot choice.
void clear_acc_cb(Fl_Widget*, void*);

// One day boundary's five figures into slot meta_idx; dropped once the slot is full.
void record_sample(const double figures[kSeries]);

// Largest and smallest value of one series over every slot and every sample.
void max_min_acc(int series, double* max_value, double* min_value);

// End of a run: next slot (or the pinned one), and the run's sample count kept for the charts.
void advance_slot();

// Start of a run.
void start_accumulation();

// Program-start state, for tests.
void reset_accumulation_store();
