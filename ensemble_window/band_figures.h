// SPDX-License-Identifier: MIT
#pragma once
#include <cstdio>
#include <string>
#include <vector>

// What the Ensemble window draws: panels of daily bands, one curve per parameter point (or the
// fitted runs), and for a fit the data it was fitted to.

struct BandDay {
  int day;
  double p5, p25, median, p75, p95;
};

struct BandCurve {
  std::vector<BandDay> days; // ascending
};

struct DataPoint {
  int day;
  double value;
};

struct PanelFigures {
  std::string title;             // "Infected"
  std::vector<BandCurve> curves; // one per legend entry, in its order
  std::vector<DataPoint> data;   // a fit's data; empty for an ensemble
};

struct BandFigures {
  std::string title;               // runs per point and seeds, or what a fit shows
  std::vector<std::string> legend; // one per curve, e.g. "vaccination = 1 %"
  std::vector<PanelFigures> panels;
  long long last_day = 1; // the days axis runs from 0 to here
};

// The panels of an ensemble: their daily CSV columns and titles.
struct PanelSeries {
  int figure;        // index into the daily sample's figures
  const char* title; // "Newly infected"
};
const std::vector<PanelSeries>& ensemble_panels();
// The title of the panel of a daily CSV column, or the column's own name for another one.
std::string panel_title(const std::string& column);

// "Save Data": "curve,day,p5,p25,median,p75,p95" with a row per curve and day, the curve named
// by its legend entry; when the panel shows data, a last column "data", filled on the data's
// days (a data day beyond the curves' gets a row of its own). Numbers as shortest_text writes
// them. False when the stream failed.
bool write_panel_csv(const PanelFigures& panel, const std::vector<std::string>& legend,
                     std::FILE* out);
