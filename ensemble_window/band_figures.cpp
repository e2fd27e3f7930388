// SPDX-License-Identifier: MIT
#include "ensemble_window/band_figures.h"

#include <map>

#include "numbers/number_text.h"
#include "single_run/run_files.h"

namespace {

int figure_of(const char* column) {
  for (int f = 0; f < kSampleFigures; ++f)
    if (std::string(kDailyFigureNames[f]) == column)
      return f;
  return -1;
}

const struct {
  const char* column;
  const char* title;
} kPanels[] = {{"infected", "Infected"},   {"newly_infected", "Newly infected"},
               {"bedridden", "Bedridden"}, {"quarantined", "Quarantined"},
               {"dead", "Dead"},           {"vaccinated", "Vaccinated"}};

std::string cells(const BandDay& d) {
  std::string text;
  for (const double v : {d.p5, d.p25, d.median, d.p75, d.p95})
    text += "," + shortest_text(v);
  return text;
}

} // namespace

const std::vector<PanelSeries>& ensemble_panels() {
  static const std::vector<PanelSeries> panels = [] {
    std::vector<PanelSeries> list;
    for (const auto& p : kPanels)
      list.push_back({figure_of(p.column), p.title});
    return list;
  }();
  return panels;
}

std::string panel_title(const std::string& column) {
  for (const auto& p : kPanels)
    if (column == p.column)
      return p.title;
  return column;
}

bool write_panel_csv(const PanelFigures& panel, const std::vector<std::string>& legend,
                     std::FILE* out) {
  const bool data = !panel.data.empty();
  std::map<int, double> observed;
  for (const DataPoint& p : panel.data)
    observed[p.day] = p.value;
  std::fprintf(out, "curve,day,p5,p25,median,p75,p95%s\n", data ? ",data" : "");
  for (std::size_t c = 0; c < panel.curves.size(); ++c)
    for (const BandDay& d : panel.curves[c].days) {
      const auto seen = observed.find(d.day);
      std::string extra = data ? "," : "";
      if (seen != observed.end()) {
        extra += shortest_text(seen->second);
        observed.erase(seen);
      }
      std::fprintf(out, "%s,%d%s%s\n", c < legend.size() ? legend[c].c_str() : "", d.day,
                   cells(d).c_str(), extra.c_str());
    }
  for (const auto& [day, value] : observed)
    std::fprintf(out, "data,%d,,,,,,%s\n", day, shortest_text(value).c_str());
  return std::ferror(out) == 0;
}
