// SPDX-License-Identifier: MIT
#pragma once
#include <sys/types.h>

#include <csignal>
#include <functional>
#include <string>
#include <vector>

// The processes that run an ensemble's runs, one run each, and gnuplot. While a Workers object
// lives, SIGCHLD, SIGINT and SIGTERM are blocked and taken synchronously by wait(), so that a stop
// request can never interrupt the parent halfway through writing a file; each child starts with
// the program's own signal mask and default handlers.
class Workers {
public:
  Workers();
  ~Workers();
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  // Where a child runs: its working folder and the file its stderr goes to (created or
  // truncated); empty for the parent's own.
  struct Place {
    std::string dir, err_file;
  };
  // Starts argv[0] (looked up in PATH when it has no slash) with argv, its stdout on /dev/null,
  // no other descriptor of the parent's but stdin and stderr; `tag` comes back with its end.
  bool start(const std::vector<std::string>& argv, long long tag, std::string* error,
             const Place& place = {});

  // Runs `body` in a forked copy of this process, which exits with what it returns: runs of the
  // engine without the cost of starting a program, for callers that run many short ones. The
  // child starts as start() starts a program (signal mask, default handlers, stdout on /dev/null,
  // no other descriptor but stdin and stderr), its stdin on `in_fd` when given, and ends without
  // flushing the parent's streams.
  bool call(const std::function<int()>& body, long long tag, std::string* error, int in_fd = -1);

  struct End {
    long long tag;
    bool ok;         // exit status 0
    std::string why; // else "exit status N" or "killed by signal N (NAME)"
  };
  // Waits at most timeout_ms for workers to end or for a stop signal, and reaps every worker
  // that has ended. Returns the stop signal (SIGINT, SIGTERM), or 0.
  int wait(int timeout_ms, std::vector<End>* ended);

  // Sends SIGTERM to every worker still running and reaps them all.
  void stop_all();
  int running() const { return static_cast<int>(running_.size()); }
  // The stop signal a wait() has returned, or 0: whoever gave up on it still knows why.
  int stop_signal() const { return stop_signal_; }

private:
  struct Child {
    pid_t pid;
    long long tag;
  };
  void reap(std::vector<End>* ended, bool block);

  std::vector<Child> running_;
  int stop_signal_ = 0;
  sigset_t old_mask_;
  sigset_t waited_;
  struct sigaction old_child_action_;
};
