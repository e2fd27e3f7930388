// SPDX-License-Identifier: MIT
#include "ensemble_window/fit_figures.h"

#include "single_run/run_files.h"

bool read_fit_csv(const std::string& text, BandFigures* f, std::string* error) {
  FitCsv table;
  if (!read_fit_csv(text, &table, error))
    return false;
  *f = BandFigures();
  f->title = "The data as points; the median line, 25-75 % and 5-95 % bands of the best fit's runs";
  f->legend = {"best fit"};
  for (const int figure : table.series)
    f->panels.push_back({panel_title(kDailyFigureNames[figure]), {BandCurve{}}, {}});
  for (const FitCsvRow& row : table.rows)
    for (std::size_t s = 0; s < row.cells.size(); ++s) {
      const FitCsvCell& c = row.cells[s];
      PanelFigures& panel = f->panels[s];
      if (c.has_data)
        panel.data.push_back({row.day, c.data});
      if (c.has_band)
        panel.curves[0].days.push_back({row.day, c.p5, c.p25, c.median, c.p75, c.p95});
    }
  f->last_day = table.rows.back().day;
  return true;
}
