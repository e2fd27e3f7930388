// SPDX-License-Identifier: MIT
// The program itself, driven through the display server.
#include "tests/support/gui_run_fixture.h"

#include <X11/Xlib.h>

#include <cstring>

#include "tests/tools/batch_process.h"

static Display* display = nullptr;

// The mapped top-level window of that title, or 0 if none shows within that many 20 ms waits.
static Window shown(const char* title, int tries = 500) {
  Window root, parent, *kids = nullptr, found = 0;
  unsigned count = 0;
  for (; tries > 0 && !found; --tries, usleep(20000)) {
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &kids, &count);
    for (unsigned i = 0; i < count; ++i) {
      char* name = nullptr;
      XWindowAttributes a;
      if (XFetchName(display, kids[i], &name) && !std::strcmp(name, title) &&
          XGetWindowAttributes(display, kids[i], &a) && a.map_state == IsViewable)
        found = kids[i];
      XFree(name);
    }
    XFree(kids);
  }
  return found;
}

// What the server would send for a left click in that window.
static void click(Window w, int x, int y) {
  XEvent e{};
  e.xbutton = {ButtonPress, 0, True, display, w, w, 0, CurrentTime, x, y, 0, 0, 0, Button1, True};
  XSendEvent(display, w, True, ButtonPressMask, &e);
  e.xbutton.type = ButtonRelease;
  e.xbutton.state = Button1Mask;
  XSendEvent(display, w, True, ButtonReleaseMask, &e);
  XFlush(display);
}

// Starts the program, clicks Start (and Stop), closes it once its charts show; what it printed.
static std::string run_program(const std::string& args, bool stop) {
  display = XOpenDisplay(nullptr);
  if (!display)
    return "no display";
  // A window listed a moment ago may be gone when asked about: not one of ours, not an error.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  // Bounded in time, so that it never outlives a test that failed halfway.
  std::FILE* out = popen(("exec timeout -s KILL 60 " SIM_BINARY " " + args).c_str(), "r");
  const Window control = shown("Control"); // the clicks below find it or nothing follows
  EXPECT_FALSE(shown("Test", 1)) << "the arena window waits for a run";
  click(control, 50, 20); // "Start"
  if (stop) {
    EXPECT_TRUE(shown("Test"));
    click(control, 170, 20); // "Stop"
  }
  EXPECT_TRUE(shown("Charts"));
  XKillClient(display, control); // its connection cut, the program ends
  XCloseDisplay(display);
  char text[4096] = "";
  EXPECT_GT(std::fread(text, 1, sizeof text - 1, out), 0u);
  pclose(out);
  return text;
}

// The run reads the panel's population, not the start-up one.
TEST(Program, StartShowsTheArenaAndStopTheChartsWithOneReportLine) {
  const std::string text = run_program("", true);
  EXPECT_TRUE(is_report_line(text, "50000", "3.200000")) << text;
}

// A seeded setup file named on the command line: the first Start is the batch runner's run.
TEST(Program, ASeededSetupFileAtStartUpRunsAsTheBatchRunnerRunsIt) {
  const std::string path = temp_path("startup.toml");
  ASSERT_EQ(write_setup(path, small_seeded_setup(400, 40, 31)), "");
  const Result batch_run = batch("--setup " + path);
  ASSERT_EQ(batch_run.status, 0) << batch_run.err;
  const std::string text = run_program(path, false);
  EXPECT_TRUE(is_report_line(text, "400", "25.000000")) << text;
  EXPECT_EQ(text, batch_run.out);
  std::remove(path.c_str());
}
