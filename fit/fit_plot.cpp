// SPDX-License-Identifier: MIT
#include "fit/fit_plot.h"

#include <cstdio>

#include "ensemble/gnuplot_render.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1200;

// fit.csv's columns: day, then seven per series (data, mean, p5, p25, median, p75, p95). The
// bands are translucent over the grid; the data, black points, stay on top. A blank cell (a day
// without data) is no point.
const char kScriptBody[] = R"(if (strstrt(GPVAL_TERMINALS, "pngcairo") > 0) {
  set terminal pngcairo size 1600,1200 noenhanced font "sans,12"
} else {
  set terminal png truecolor size 1600,1200 noenhanced
}
set output "fit.png"
set datafile separator comma
set multiplot title heading font ",16"
top = 0.95 # the rest above the grid holds the heading
cell = top / rows
set grid
set xlabel "data day"
set ylabel "persons"
set yrange [0:*]
set key top right font ",11"
set style fill transparent solid 0.2 noborder
do for [i=0:|panel|-1] {
  set origin (i % columns) * 1.0 / columns, (rows - 1 - i / columns) * cell
  set size 1.0 / columns, cell
  set title panel[i + 1] font ",14"
  c = 2 + 7 * i
  plot 'fit.csv' skip 1 using 1:(column(c+2)):(column(c+6)) with filledcurves \
         fs transparent solid 0.15 noborder lc rgb "#0072b2" title "5-95 % of runs", \
       '' skip 1 using 1:(column(c+3)):(column(c+5)) with filledcurves \
         fs transparent solid 0.35 noborder lc rgb "#0072b2" title "25-75 % of runs", \
       '' skip 1 using 1:(column(c+4)) with lines lw 2 lc rgb "#0072b2" title "median", \
       '' skip 1 using 1:(column(c)) with points pt 7 ps 1.2 lc rgb "black" title "data"
}
unset multiplot
unset output
)";

void write_script(std::FILE* out, const std::vector<std::string>& names,
                  const std::string& heading) {
  const std::size_t n = names.size();
  const int columns = n <= 1 ? 1 : n <= 6 ? 2 : 3;
  std::fputs("# Renders fit.png from fit.csv: run \"gnuplot fit.gp\" in this folder.\n", out);
  std::fprintf(out, "heading = %s\ncolumns = %d\nrows = %d\narray panel[%zu] = [",
               gnuplot_quoted(heading).c_str(), columns,
               static_cast<int>((n + static_cast<std::size_t>(columns) - 1) /
                                static_cast<std::size_t>(columns)),
               n);
  for (std::size_t i = 0; i < n; ++i)
    std::fprintf(out, "%s%s", i == 0 ? "" : ", ", gnuplot_quoted(names[i]).c_str());
  std::fputs("]\n", out);
  std::fputs(kScriptBody, out);
}

} // namespace

bool write_fit_plot(FileSet* set, Workers* children, const std::vector<std::string>& names,
                    const std::string& heading, std::string* error) {
  std::FILE* script = set->write("fit.gp", error);
  if (script == nullptr)
    return false;
  write_script(script, names, heading);
  return render_with_gnuplot(set, children, "fit.gp", "fit.png", kWidth, kHeight, error);
}
