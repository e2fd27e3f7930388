// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

// How a tick reaches the outside world. The arena window implements these to paint and to feed
// its charts; the batch runner and the tests leave them empty or record what they are given.

// What a person is painted as. The order indexes ArenaCanvas::colour.
enum PaintKind {
  kPaintDead,
  kPaintInfectedAmbulant, // infected, day of illness below the ambulatory days
  kPaintInfectedBedridden,
  kPaintHealthy,
  kPaintRecovered,
  kPaintQuarantined,
  kPaintVaccinated,
  kPaintKinds
};

// A picture of the arena, one 32-bit pixel each, rows top first without padding, into which the
// tick plots one pixel per visible person. The painter chooses the pixel encoding and gives the
// colours in it. Plots outside the picture are dropped.
struct ArenaCanvas {
  uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  uint32_t colour[kPaintKinds] = {};
};

// The figures taken at a day boundary, in the order of the daily CSV's columns; the first five
// are also the accumulation store's series.
enum DailyFigure {
  kSampleInfected,
  kSampleNewCases, // the rise of `infected` over the sampling tick alone, never below 0
  kSampleNewlyQuarantined,
  kSampleImmune, // everyone whose immunity clock runs, the sick included
  kSampleDeadToday,
  kSampleNewlyVaccinated,
  // What an epidemiologist measures. Infections made since the previous sample, and all of the
  // run's so far (the initially infected included, a person infected twice counted twice):
  kSampleNewlyInfected,
  kSampleCumulativeInfections,
  // The population as the sampling tick's infection pass leaves it; these seven add up to it.
  kSampleSusceptible,
  kSampleAmbulatory, // sick and still moving: day of illness below the ambulatory days
  kSampleBedridden,
  kSampleQuarantined,
  kSampleRecovered,
  kSampleVaccinated,
  kSampleDead, // everyone dead so far, this tick's deaths included
  kSampleFigures
};
constexpr int kFirstCompartment = kSampleSusceptible;
constexpr int kCompartments = kSampleFigures - kFirstCompartment;
// 64-bit: cumulative infections can pass 2^31 in a long endemic run at full population.
struct DailySample {
  long long value[kSampleFigures];
};

class TickHooks {
public:
  virtual ~TickHooks() = default;
  // Start of the tick, after the day clock: paint the background. A returned canvas receives
  // the persons of this tick; null means nothing is plotted.
  virtual ArenaCanvas* begin_frame() { return nullptr; }
  // A day boundary's sample, before the tick's own deaths are counted.
  virtual void daily_sample(const DailySample&) {}
  // End of the tick: the status line of this tick.
  virtual void end_frame(const char* /*status*/) {}
  // The tick in which nobody is infected any more; `done` is already set.
  virtual void run_ended() {}
};
