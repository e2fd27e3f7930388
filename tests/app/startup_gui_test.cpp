// The program itself: start-up shows only "Control"; "Start" shows the arena; "Stop" opens
// "Charts" and prints one report line; "Quit" leaves the program running while "Charts" is open,
// and closing that ends it.
#include "tests/support/gui_run_fixture.h"

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

namespace {

class Program : public ::testing::Test {
protected:
  void SetUp() override {
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    out = std::tmpfile();
    pid = fork();
    if (pid == 0) {
      dup2(fileno(out), STDOUT_FILENO);
      execl(SIM_BINARY, SIM_BINARY, static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  void TearDown() override {
    if (waitpid(pid, &status, WNOHANG) == 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    std::fclose(out);
    XCloseDisplay(display);
  }

  // The mapped top-level window of that title, or 0.
  Window shown(const char* title) {
    Window root, parent, *kids = nullptr, found = 0;
    unsigned count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &kids, &count);
    for (unsigned i = 0; i < count && !found; ++i) {
      char* name = nullptr;
      XWindowAttributes a;
      if (XFetchName(display, kids[i], &name) && std::strcmp(name, title) == 0 &&
          XGetWindowAttributes(display, kids[i], &a) && a.map_state == IsViewable)
        found = kids[i];
      XFree(name);
    }
    XFree(kids);
    return found;
  }
  bool wait_shown(const char* title, bool want = true) {
    for (int i = 0; i < 1000; ++i, usleep(20000))
      if ((shown(title) != 0) == want)
        return true;
    return false;
  }
  // What the server would send for a left click, or for the window manager's close box.
  void click(int x, int y) {
    XEvent e{};
    e.xbutton = {ButtonPress,
                 0,
                 True,
                 display,
                 shown("Control"),
                 DefaultRootWindow(display),
                 0,
                 CurrentTime,
                 x,
                 y,
                 0,
                 0,
                 0,
                 Button1,
                 True};
    XSendEvent(display, e.xbutton.window, True, ButtonPressMask, &e);
    e.xbutton.type = ButtonRelease;
    e.xbutton.state = Button1Mask;
    XSendEvent(display, e.xbutton.window, True, ButtonReleaseMask, &e);
    XFlush(display);
  }
  void close_box(const char* title) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = shown(title);
    e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, e.xclient.window, False, NoEventMask, &e);
    XFlush(display);
  }
  std::string output() {
    std::string text(4096, '\0');
    text.resize(static_cast<size_t>(std::max<ssize_t>(0, pread(fileno(out), &text[0], 4096, 0))));
    return text;
  }

  Display* display = nullptr;
  std::FILE* out = nullptr;
  pid_t pid = -1;
  int status = 0;
};

} // namespace

TEST_F(Program, StartStopQuitAndCloseTheCharts) {
  ASSERT_TRUE(wait_shown("Control"));
  EXPECT_FALSE(shown("Test")) << "the arena window waits for a run";
  click(50, 20); // "Start"
  ASSERT_TRUE(wait_shown("Test"));
  usleep(300000);
  EXPECT_EQ(output(), "");

  click(170, 20); // "Stop"
  ASSERT_TRUE(wait_shown("Charts"));
  int days = 0;
  EXPECT_TRUE(is_report_line(output(), 50000, "3.200000", &days)) << output();

  click(390, 20); // "Quit"
  ASSERT_TRUE(wait_shown("Control", false));
  EXPECT_FALSE(shown("Test"));
  usleep(200000);
  EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0) << "an open \"Charts\" keeps the program going";

  close_box("Charts");
  for (int i = 0; i < 500 && waitpid(pid, &status, WNOHANG) == 0; ++i)
    usleep(20000);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}
