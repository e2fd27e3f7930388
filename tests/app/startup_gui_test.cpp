// SPDX-License-Identifier: MIT
// The program itself, driven through the display server.
#include "tests/support/gui_run_fixture.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstring>
#include <string>

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

TEST(Program, StartShowsTheArenaAndStopTheChartsWithOneReportLine) {
  display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  // A window listed a moment ago may be gone when asked about: not one of ours, not an error.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  // Bounded in time, so that it never outlives a test that failed halfway.
  std::FILE* out = popen("exec timeout -s KILL 60 " SIM_BINARY, "r");
  const Window control = shown("Control"); // the clicks below find it or nothing follows
  EXPECT_FALSE(shown("Test", 1)) << "the arena window waits for a run";
  click(control, 50, 20); // "Start"
  EXPECT_TRUE(shown("Test"));
  click(control, 170, 20); // "Stop"
  EXPECT_TRUE(shown("Charts"));
  XKillClient(display, control); // its connection cut, the program ends
  XCloseDisplay(display);
  char text[4096] = "";
  EXPECT_GT(std::fread(text, 1, sizeof text - 1, out), 0u);
  pclose(out);
  // The run reads the panel's population, not the start-up one.
  EXPECT_TRUE(is_report_line(text, "50000", "3.200000")) << text;
}

// A setup file named on the command line fills the panel; its seed makes the first Start the
// batch runner's run of the same file.
TEST(Program, ASeededSetupFileAtStartUpRunsAsTheBatchRunnerRunsIt) {
  const std::string path = TEST_BINARY_DIR "/startup_" + std::to_string(getpid()) + ".toml";
  const ::Setup s = small_seeded_setup(400, 40, 31);
  ASSERT_EQ(write_setup(path, s), "");
  const Result batch_run = batch("--setup " + path);
  ASSERT_EQ(batch_run.status, 0) << batch_run.err;
  display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  std::FILE* out = popen(("exec timeout -s KILL 60 " SIM_BINARY " " + path).c_str(), "r");
  const Window control = shown("Control");
  click(control, 50, 20); // "Start"; the run ends by itself and its charts show
  EXPECT_TRUE(shown("Charts"));
  XKillClient(display, control);
  XCloseDisplay(display);
  char text[4096] = "";
  EXPECT_GT(std::fread(text, 1, sizeof text - 1, out), 0u);
  pclose(out);
  EXPECT_TRUE(is_report_line(text, "400", "25.000000")) << text;
  EXPECT_EQ(text, batch_run.out);
  std::remove(path.c_str());
}
