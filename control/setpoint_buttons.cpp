// SPDX-License-Identifier: MIT
#include "control/control_win.h"
#include "control/policy_event.h"

// Every press opens a further editor, even on a schedule that already has one open; the last
// "Use" or "Cancel" wins. The editor shows itself and releases itself when it finishes.
void lazy_cb(Fl_Widget*, void* data) {
  if (!data)
    return;
  new PolicyEvent("Inactivity", &static_cast<ControlWin*>(data)->lazy_policy);
}

void quarantine_cb(Fl_Widget*, void* data) {
  if (!data)
    return;
  new PolicyEvent("Quarantine", &static_cast<ControlWin*>(data)->quarantine_policy);
}
