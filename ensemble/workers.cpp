// SPDX-License-Identifier: MIT
#include "ensemble/workers.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include <cerrno>
#include <cstring>
#include <ctime>

extern char** environ;

namespace {

std::string describe(int status) {
  if (WIFEXITED(status))
    return "exit status " + std::to_string(WEXITSTATUS(status));
  const int sig = WTERMSIG(status);
  const char* name = strsignal(sig);
  return "killed by signal " + std::to_string(sig) + " (" + (name ? name : "?") + ")";
}

} // namespace

Workers::Workers() {
  sigemptyset(&waited_);
  sigaddset(&waited_, SIGCHLD);
  sigaddset(&waited_, SIGINT);
  sigaddset(&waited_, SIGTERM);
  sigprocmask(SIG_BLOCK, &waited_, &old_mask_);
  // An ignored SIGCHLD, which a parent may hand down, would have the kernel reap the workers
  // before their exit status could be read.
  struct sigaction child_default {};
  child_default.sa_handler = SIG_DFL;
  sigaction(SIGCHLD, &child_default, &old_child_action_);
}

Workers::~Workers() {
  stop_all();
  sigaction(SIGCHLD, &old_child_action_, nullptr);
  // Once a stop signal has come, the program is on its way out and tells why after this object
  // is gone: a second one, as timeout(1) sends to its child and again to the group, must not
  // kill it before it does.
  sigset_t mask = old_mask_;
  if (stop_signal_ != 0) {
    sigaddset(&mask, SIGINT);
    sigaddset(&mask, SIGTERM);
  }
  sigprocmask(SIG_SETMASK, &mask, nullptr);
}

bool Workers::start(const std::vector<std::string>& argv, long long tag, std::string* error,
                    const Place& place) {
  std::vector<char*> args;
  for (const std::string& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawnattr_setsigmask(&attr, &old_mask_);
  posix_spawnattr_setsigdefault(&attr, &waited_);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  // The child's standard streams, which the spawn opens for it: the one place outside fileio/
  // that opens a file.
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  if (!place.err_file.empty())
    posix_spawn_file_actions_addopen(&files, 2, place.err_file.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (!place.dir.empty())
    posix_spawn_file_actions_addchdir_np(&files, place.dir.c_str());
  // The parent's output files and its claim on DIR stay out of every child, so that nothing
  // waits on a descriptor a child keeps, and a child that outlives the parent holds no claim.
  posix_spawn_file_actions_addclosefrom_np(&files, 3);

  pid_t pid = 0;
  const int err = posix_spawnp(&pid, args[0], &files, &attr, args.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attr);
  if (err != 0) {
    *error = "cannot start " + argv[0] + ": " + std::strerror(err);
    return false;
  }
  running_.push_back({pid, tag});
  return true;
}

bool Workers::call(const std::function<int()>& body, long long tag, std::string* error, int in_fd) {
  // Whatever the parent's streams hold must not reach a file twice.
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) {
    *error = std::string("cannot start a run: ") + std::strerror(errno);
    return false;
  }
  if (pid > 0) {
    running_.push_back({pid, tag});
    return true;
  }
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  for (const int sig : {SIGINT, SIGTERM, SIGCHLD})
    sigaction(sig, &default_action, nullptr);
  sigprocmask(SIG_SETMASK, &old_mask_, nullptr);
  const int null_fd = open("/dev/null", O_WRONLY);
  if (null_fd < 0 || dup2(null_fd, 1) < 0 || (in_fd >= 0 && dup2(in_fd, 0) < 0))
    _exit(127);
  close_range(3, ~0U, 0);
  try {
    _exit(body());
  } catch (...) {
    _exit(1);
  }
}

int Workers::wait(int timeout_ms, std::vector<End>* ended) {
  timespec timeout{timeout_ms / 1000, (timeout_ms % 1000) * 1000000L};
  const int sig = sigtimedwait(&waited_, nullptr, &timeout);
  reap(ended, false);
  if (sig != SIGINT && sig != SIGTERM)
    return 0;
  stop_signal_ = sig;
  return sig;
}

void Workers::stop_all() {
  for (const Child& c : running_)
    kill(c.pid, SIGTERM);
  std::vector<End> ignored;
  reap(&ignored, true);
}

void Workers::reap(std::vector<End>* ended, bool block) {
  for (size_t i = 0; i < running_.size();) {
    int status = 0;
    const pid_t got = waitpid(running_[i].pid, &status, block ? 0 : WNOHANG);
    if (got == 0 || (got < 0 && errno == EINTR)) {
      ++i;
      continue;
    }
    // A worker that cannot be waited for is lost, not finished: its files are not to be trusted.
    const bool ok = got > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    ended->push_back({running_[i].tag, ok, got > 0 ? describe(status) : std::strerror(errno)});
    running_.erase(running_.begin() + static_cast<long>(i));
  }
}
