// The program itself, driven through the display server.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

namespace {
Display* display = nullptr;

// Asks again every 20 ms until the answer is not 0, for up to 10 seconds.
template <typename Ask> auto poll(Ask ask) {
  auto got = ask();
  for (int t = 0; t < 500 && !got; ++t, usleep(20000))
    got = ask();
  return got;
}

// The mapped top-level window of that title, or 0.
Window shown(const char* title) {
  Window root, parent, *kids = nullptr, found = 0;
  unsigned count = 0;
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
  return found;
}

// What the server would send for a left click in "Control".
void click(int x, int y) {
  const Window w = shown("Control");
  XEvent e{};
  e.xbutton = {ButtonPress, 0, True, display, w, w, 0, CurrentTime, x, y, 0, 0, 0, Button1, True};
  XSendEvent(display, w, True, ButtonPressMask, &e);
  e.xbutton.type = ButtonRelease;
  e.xbutton.state = Button1Mask;
  XSendEvent(display, w, True, ButtonReleaseMask, &e);
  XFlush(display);
}
} // namespace

TEST(Program, StartShowsTheArenaAndStopTheChartsWithOneReportLine) {
  display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  // A window listed a moment ago may be gone when asked about: not one of ours, not an error.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  std::FILE* out = std::tmpfile();
  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlives a test that failed halfway
    dup2(fileno(out), STDOUT_FILENO);
    execl(SIM_BINARY, SIM_BINARY, static_cast<char*>(nullptr));
    _exit(127);
  }
  EXPECT_TRUE(poll([] { return shown("Control"); }));
  EXPECT_FALSE(shown("Test")) << "the arena window waits for a run";
  click(50, 20); // "Start"
  EXPECT_TRUE(poll([] { return shown("Test"); }));
  click(170, 20); // "Stop"
  EXPECT_TRUE(poll([] { return shown("Charts"); }));
  std::string text(4096, '\0');
  text.resize(static_cast<size_t>(std::max<ssize_t>(0, pread(fileno(out), &text[0], 4096, 0))));
  // The run reads the panel's population, not the start-up one; the status line depends on how
  // far the run got.
  const size_t area = text.find(" AREA: 3.200000\n");
  EXPECT_TRUE(text.rfind("50000: ", 0) == 0 && area + 16 == text.size()) << text;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  std::fclose(out);
  XCloseDisplay(display);
}
