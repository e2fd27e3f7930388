// SPDX-License-Identifier: MIT
#pragma once
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

// A program started from the GUI, watched without ever blocking the event loop: its state is
// polled (waitpid with WNOHANG) from a timer, and its stderr read from a pipe that never blocks.
// It leads a process group of its own, so that whatever it starts can be found and ended with it.
// The batch runner's Workers suit a tool that waits; a GUI must neither block signals for the
// whole process nor sleep in a wait.
class ChildProcess {
public:
  ChildProcess() = default;
  ~ChildProcess(); // stops the program if it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts argv[0] (a path) with argv, stdin and stdout on /dev/null, stderr into the pipe, its
  // group `niceness` steps below this process's priority. False with "cannot start PATH: REASON"
  // in *error.
  bool start(const std::vector<std::string>& argv, std::string* error, int niceness = 0);
  // Reads what stderr holds and reaps the program if it has ended; true while it runs.
  bool poll();
  bool running() const { return pid_ > 0 && !ended_; }
  bool ended() const { return ended_; }
  // Once ended: 0 for exit status 0.
  bool succeeded() const { return ended_ && status_ == 0; }
  // The last line the program wrote on stderr (or how it ended, if it wrote none).
  std::string last_error_line() const;
  // Asks the program to stop (SIGTERM); poll() kills its whole group once `grace_ms` have gone.
  void request_stop(int grace_ms = 3000);
  // True once the program has ended and no process of its group is left.
  bool gone() const;
  // Stops it as request_stop() does and waits until gone(), polling: for the program's end.
  void stop();
  pid_t group() const { return pid_; }

private:
  void read_stderr();

  pid_t pid_ = -1;
  int err_fd_ = -1;
  bool ended_ = false;
  int status_ = 0;     // the raw wait status
  int priority_ = 0;   // of the group
  std::string stderr_; // its last few KiB
  bool stopping_ = false, killed_ = false;
  std::chrono::steady_clock::time_point kill_at_;
};
