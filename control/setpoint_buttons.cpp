// SPDX-License-Identifier: MIT
#include "control/control_win.h"
#include "control/policy_event.h"

namespace {

// Every press opens a further editor, even on a schedule that already has one open; the last
// "Use" or "Cancel" wins. The editor shows itself and releases itself when it finishes.
void open_editor(void* data, const char* schedule) {
  if (!data)
    return;
  const ScheduleRow& row = *find_schedule(schedule);
  new PolicyEvent(row.title, &(static_cast<ControlWin*>(data)->*row.policy));
}

} // namespace

void lazy_cb(Fl_Widget*, void* data) {
  open_editor(data, "inactivity-schedule");
}

void quarantine_cb(Fl_Widget*, void* data) {
  open_editor(data, "quarantine-schedule");
}

void vaccination_cb(Fl_Widget*, void* data) {
  open_editor(data, "vaccination-schedule");
}
