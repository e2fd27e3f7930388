// SPDX-License-Identifier: MIT
#include <FL/Fl_Menu_Button.H>
#include <cstdio>
#include <cstring>

#include "arena/my_win.h"
#include "control/control_win.h"

namespace {

struct ChartSeries {
  const char* item;  // menu text
  int bit;           // in the arena window's chart_mask
  const char* shown; // appended to the selector's label
};

// Compared in this order; the first match acts.
const ChartSeries kSeries[] = {{"New Infections", 2, "New"},
                               {"Currently Quarantined", 4, "Quarantined"},
                               {"Currently Infected", 1, "Current"},
                               {"Currently Immune", 8, "Immune"},
                               {"Daily Dead", 16, "Dead"}};

World* charted_world() {
  return control_win ? control_win->world : nullptr;
}

} // namespace

// Each choice lengthens the label and only "None" shortens it, so the label is cut at the end of
// its buffer; the series is charted all the same.
void chart_type_cb(Fl_Widget* w, void*) {
  static char label_buf[256];
  auto* menu = static_cast<Fl_Menu_Button*>(w);
  const char* chosen = menu ? menu->text() : nullptr;
  if (!chosen)
    return;
  World* world = charted_world();
  if (std::strcmp(chosen, "None") == 0) {
    std::snprintf(label_buf, sizeof label_buf, "None");
    if (world)
      world->chart_mask = 0;
  } else {
    const char* current = menu->label() ? menu->label() : "";
    const char* shown = "";
    for (const ChartSeries& s : kSeries) {
      if (std::strcmp(chosen, s.item) != 0)
        continue;
      shown = s.shown;
      if (world)
        world->chart_mask |= s.bit;
      break;
    }
    // The label may already be the buffer itself, so it is composed aside first.
    char next[sizeof label_buf];
    if (std::strcmp(current, "None") == 0)
      std::snprintf(next, sizeof next, "%s", shown);
    else
      std::snprintf(next, sizeof next, "%s | %s", current, shown);
    std::memcpy(label_buf, next, sizeof label_buf);
  }
  menu->label(label_buf);
  menu->redraw();
}
