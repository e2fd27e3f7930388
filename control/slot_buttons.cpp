// SPDX-License-Identifier: MIT
#include "control/control_win.h"
#include "results/accumulation_store.h"

namespace {

void advance_meta_idx() {
  meta_idx += 1;
  if (meta_idx > 3 || meta_idx < 0)
    meta_idx = 0;
}

} // namespace

// A pinned slot button shows FL_DOWN_BOX, a free one FL_ENGRAVED_BOX. At most one is pinned;
// pinning selects its slot at once, and unpinning rotates on from the slot after it.
void reset_result_cb(Fl_Widget* button, void* control_window) {
  if (!button || !control_window)
    return;
  auto* panel = static_cast<ControlWin*>(control_window);
  if (button->box() != FL_DOWN_BOX) {
    button->box(FL_DOWN_BOX);
  } else {
    button->box(FL_ENGRAVED_BOX);
    meta_limit = -1;
    advance_meta_idx();
  }
  // Pinning one button while another is pinned frees the other without advancing the slot.
  for (int i = 0; i < 4; ++i) {
    Fl_Button* b = panel->slot_buttons[i];
    if (b != button)
      b->box(FL_ENGRAVED_BOX);
    else if (b->box() == FL_DOWN_BOX)
      meta_limit = meta_idx = i;
    b->redraw();
  }
}
