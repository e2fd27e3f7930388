#pragma once
#include <sys/types.h>

#include <csignal>
#include <string>
#include <vector>

// The processes that run an ensemble's runs, one run each. While a Workers object lives, SIGCHLD,
// SIGINT and SIGTERM are blocked and taken synchronously by wait(), so that a stop request can
// never interrupt the parent halfway through writing a file; each worker starts with the
// program's own signal mask and default handlers.
class Workers {
public:
  Workers();
  ~Workers();
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  // Starts argv[0] with argv, its stdout on /dev/null and its stderr shared; `tag` comes back
  // with its end.
  bool start(const std::vector<std::string>& argv, long long tag, std::string* error);

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

private:
  struct Child {
    pid_t pid;
    long long tag;
  };
  void reap(std::vector<End>* ended, bool block);

  std::vector<Child> running_;
  sigset_t old_mask_;
  sigset_t waited_;
  struct sigaction old_child_action_;
};
