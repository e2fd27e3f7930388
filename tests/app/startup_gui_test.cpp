// SPDX-License-Identifier: MIT
// The program itself, driven through the display server.
#include "tests/support/gui_run_fixture.h"

#include <X11/Xlib.h>
#include <poll.h>

#include <cstring>
#include <set>

static Display* display = nullptr;
static std::set<std::string> mapped; // the titles of the windows the program has shown

// Waits until the program shows a window of that title; 0 if 30 seconds pass without an event.
static Window shown(const std::string& title) {
  pollfd server{ConnectionNumber(display), POLLIN, 0};
  for (XEvent e; XPending(display) || poll(&server, 1, 30000) > 0;) {
    XNextEvent(display, &e);
    char* name = nullptr;
    if (e.type != MapNotify || !XFetchName(display, e.xmap.window, &name))
      continue;
    const std::string seen = name;
    XFree(name);
    if (mapped.insert(seen), seen == title)
      return e.xmap.window;
  }
  return 0;
}

// A left click in the middle of the button of that label, where a panel built here holds it.
static void click(Window control, const char* label) {
  const ControlWin twin(nullptr, 800, 700);
  const Fl_Widget* b = labelled(twin, label);
  ASSERT_NE(b, nullptr) << label;
  const int x = b->x() + b->w() / 2, y = b->y() + b->h() / 2;
  for (int type : {ButtonPress, ButtonRelease}) {
    const unsigned held = type == ButtonPress ? 0 : Button1Mask;
    XEvent e{};
    e.xbutton = {type, 0, True, display, control, control, 0,   CurrentTime,
                 x,    y, 0,    0,       held,    Button1, True};
    XSendEvent(display, control, True, held ? ButtonReleaseMask : ButtonPressMask, &e);
  }
  XFlush(display);
}

// A seeded setup file named on the command line fills the panel, schedule included: the first
// Start, clicked once the panel shows, is the batch runner's run, not one of start-up values.
TEST(Program, ASeededSetupFileAtStartUpRunsAsTheBatchRunnerRunsIt) {
  const std::string path = temp_path("startup.toml");
  ::Setup s = small_seeded_setup(400, 40, 31);
  s.params.infection_length = 12; // long enough for the schedule to move its peak
  std::string error;
  ASSERT_TRUE(parse_schedule(*find_schedule("inactivity-schedule"), "1:60,9:0",
                             &s.schedules.lazy_policy, &error));
  s.schedules.lazy_policy_on = 1;
  ASSERT_TRUE(write_setup(path, s, &error)) << error;
  const Result batch_run = batch("--setup " + path);
  ASSERT_EQ(batch_run.status, 0) << batch_run.err;
  ASSERT_NE(display = XOpenDisplay(nullptr), nullptr);
  // A window mapped a moment ago may be gone when asked its name: not an error of ours.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask); // told of each map
  // Bounded in time, so that it never outlives a test that failed halfway.
  std::FILE* out = popen(("exec timeout -s KILL 60 " SIM_BINARY " " + path).c_str(), "r");
  const Window control = shown("Control"); // the click below finds it or nothing follows
  EXPECT_EQ(mapped.count("Test"), 0u) << "the arena window waits for a run";
  click(control, "Start");
  EXPECT_TRUE(shown("Test") && shown("Charts"));
  XKillClient(display, control); // its connection cut, the program ends
  XCloseDisplay(display);
  char text[4096] = "";
  EXPECT_GT(std::fread(text, 1, sizeof text - 1, out), 0u); // until the program's end
  pclose(out);
  EXPECT_TRUE(is_report_line(text, "400", "25.000000")) << text;
  EXPECT_EQ(text, batch_run.out);
  std::remove(path.c_str());
}
