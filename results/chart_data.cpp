// SPDX-License-Identifier: MIT
#include "results/chart_data.h"

#include "fileio/whole_file.h"

bool write_chart_csv(const ChartData& data, std::FILE* out) {
  std::fputs("day,slot1,slot2,slot3,slot4\n", out);
  for (int day = 1; day <= data.days; ++day) {
    std::fprintf(out, "%d", day);
    for (const std::vector<float>& values : data.slots) {
      std::fputc(',', out);
      const size_t j = static_cast<size_t>(day - 1);
      // Nine significant digits give a float back exactly.
      if (j < values.size())
        std::fprintf(out, "%.9g", static_cast<double>(values[j]));
    }
    std::fputc('\n', out);
  }
  return !std::ferror(out);
}

bool save_chart_csv(const ChartData& data, const std::string& path, std::string* reason) {
  return write_whole_file(
      path, [&](std::FILE* out) { return write_chart_csv(data, out); }, reason);
}
