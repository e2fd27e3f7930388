// SPDX-License-Identifier: MIT
#include "ensemble_window/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>

extern char** environ;

namespace {

// Enough for the last lines of a runner that tells each failed run before its failure.
constexpr std::size_t kKeptStderr = 4096;

std::string describe(int status) {
  if (WIFEXITED(status))
    return "exit status " + std::to_string(WEXITSTATUS(status));
  return "killed by signal " + std::to_string(WTERMSIG(status));
}

} // namespace

ChildProcess::~ChildProcess() {
  if (!gone())
    stop();
  if (err_fd_ >= 0)
    close(err_fd_);
}

bool ChildProcess::start(const std::vector<std::string>& argv, std::string* error, int niceness) {
  priority_ = getpriority(PRIO_PROCESS, 0) + niceness;
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
    *error = "cannot start " + argv[0] + ": " + std::strerror(errno);
    return false;
  }
  std::vector<char*> args;
  for (const std::string& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // Its own group, with the default mask and handlers whatever the toolkit set.
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (const int sig : {SIGINT, SIGTERM, SIGCHLD, SIGPIPE})
    sigaddset(&defaults, sig);
  posix_spawnattr_setflags(&attr,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  // The child's standard streams, which the spawn opens for it, as the batch runner's workers'.
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&files, pipe_fds[1], 2);
  // The display connection and every file of the GUI stay out of the child.
  posix_spawn_file_actions_addclosefrom_np(&files, 3);
  const int err = posix_spawn(&pid_, args[0], &files, &attr, args.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attr);
  close(pipe_fds[1]);
  if (err != 0) {
    close(pipe_fds[0]);
    pid_ = -1;
    *error = "cannot start " + argv[0] + ": " + std::strerror(err);
    return false;
  }
  err_fd_ = pipe_fds[0];
  fcntl(err_fd_, F_SETFL, O_NONBLOCK);
  setpriority(PRIO_PGRP, static_cast<id_t>(pid_), priority_);
  return true;
}

void ChildProcess::read_stderr() {
  char buf[1024];
  ssize_t n = 0;
  while (err_fd_ >= 0 && (n = read(err_fd_, buf, sizeof buf)) > 0)
    stderr_.append(buf, static_cast<std::size_t>(n));
  if (stderr_.size() > kKeptStderr)
    stderr_.erase(0, stderr_.size() - kKeptStderr);
}

bool ChildProcess::poll() {
  if (pid_ > 0 && stopping_ && !killed_ && std::chrono::steady_clock::now() >= kill_at_) {
    kill(-pid_, SIGKILL);
    killed_ = true;
  }
  if (pid_ <= 0 || ended_)
    return false;
  // Again at every look: a process the program started before the first call took its
  // priority from it, but one started between spawn and that call did not.
  setpriority(PRIO_PGRP, static_cast<id_t>(pid_), priority_);
  read_stderr();
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) != pid_)
    return true;
  read_stderr(); // what it wrote last, now that it has gone
  ended_ = true;
  status_ = status;
  return false;
}

std::string ChildProcess::last_error_line() const {
  std::string text = stderr_;
  while (!text.empty() && text.back() == '\n')
    text.pop_back();
  const std::size_t start = text.rfind('\n');
  text = start == std::string::npos ? text : text.substr(start + 1);
  return text.empty() && ended_ ? describe(status_) : text;
}

// kill(-group, 0) finds a process of the group as long as one is left, a zombie included.
bool ChildProcess::gone() const {
  return pid_ <= 0 || (ended_ && kill(-pid_, 0) != 0 && errno == ESRCH);
}

// The runner ends its own workers and reaps them on SIGTERM; only what outlives the grace time
// is killed outright, the whole group at once.
void ChildProcess::request_stop(int grace_ms) {
  if (pid_ <= 0 || stopping_)
    return;
  stopping_ = true;
  kill_at_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(grace_ms);
  if (!ended_)
    kill(pid_, SIGTERM);
}

void ChildProcess::stop() {
  request_stop();
  // A killed worker's zombie is its new parent's to reap: past this, it is no longer ours to wait.
  const auto give_up = kill_at_ + std::chrono::seconds(2);
  while (!gone() && std::chrono::steady_clock::now() < give_up) {
    poll();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}
