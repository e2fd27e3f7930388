// SPDX-License-Identifier: MIT
// Each worker holds one end of a socket pair as its stdin: it reads a request a line,
// "INDEX<TAB>SEED<TAB>NAME=VALUE...", runs it into run-INDEX.csv and answers "INDEX STATUS".
// The socket's end of file, when this side closes it, ends the worker.
#include "fit/seed_runs.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fileio/atomic_file.h"
#include "fileio/regular_file.h"
#include "sim/schedules.h"
#include "sim/world.h"
#include "single_run/single_run.h"

namespace {

// How long to wait for a reply before looking for a stop signal or a worker's end again.
constexpr int kPollMs = 100;
constexpr std::size_t kMostRequest = 1 << 16;

bool write_all(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n <= 0)
      return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::vector<std::string> split(const std::string& line, char at) {
  std::vector<std::string> parts(1);
  for (const char c : line)
    if (c == at)
      parts.emplace_back();
    else
      parts.back().push_back(c);
  return parts;
}

// One request: the run's options, its seed and its CSV; -1 on a request this side never sends.
int serve_one(const BatchOptions& base, const std::string& folder, const std::string& line) {
  const std::vector<std::string> parts = split(line, '\t');
  if (parts.size() < 2)
    return -1;
  BatchOptions one = base;
  std::string error;
  for (std::size_t i = 2; i < parts.size(); ++i) {
    const std::size_t eq = parts[i].find('=');
    if (eq == std::string::npos ||
        !take_run_option(parts[i].substr(0, eq), parts[i].substr(eq + 1), &one, &error))
      return -1;
  }
  one.seed = static_cast<uint32_t>(std::strtoul(parts[1].c_str(), nullptr, 10));
  one.csv_path = folder + "/run-" + parts[0] + ".csv";
  one.report_path.clear();
  reset_engine_state();
  reset_schedules();
  const int status = run_single(one);
  // A run takes SIGINT and SIGTERM to end itself; between runs they end the worker at once.
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  return status;
}

int serve(const BatchOptions& base, const std::string& folder) {
  std::string pending;
  char buffer[4096];
  for (;;) {
    const std::size_t end = pending.find('\n');
    if (end != std::string::npos) {
      const std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      const int status = serve_one(base, folder, line);
      if (status < 0 || !write_all(0, split(line, '\t')[0] + " " + std::to_string(status) + "\n"))
        return 1;
      continue;
    }
    const ssize_t n = read(0, buffer, sizeof buffer);
    if (n <= 0 || pending.size() > kMostRequest)
      return n == 0 ? 0 : 1;
    pending.append(buffer, static_cast<std::size_t>(n));
  }
}

} // namespace

SeedRuns::SeedRuns(Workers* workers, const BatchOptions& base, std::string folder, int jobs)
    : workers_(workers), base_(base), folder_(std::move(folder)), jobs_(std::max(1, jobs)) {}

SeedRuns::~SeedRuns() {
  end_workers();
}

// An idle worker ends at its socket's end of file; whichever has not yet is stopped.
void SeedRuns::end_workers() {
  for (const Worker& w : pool_)
    close(w.fd);
  pool_.clear();
  workers_->stop_all();
}

std::string SeedRuns::csv_path(int index) const {
  return folder_ + "/run-" + std::to_string(index) + ".csv";
}

bool SeedRuns::start_workers(std::string* error) {
  while (static_cast<int>(pool_.size()) < jobs_) {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
      *error = std::string("cannot start a run's worker: ") + std::strerror(errno);
      return false;
    }
    const BatchOptions& base = base_;
    const std::string& folder = folder_;
    const bool started = workers_->call([&base, &folder] { return serve(base, folder); },
                                        static_cast<long long>(pool_.size()), error, ends[1]);
    close(ends[1]);
    if (!started) {
      close(ends[0]);
      return false;
    }
    Worker w;
    w.fd = ends[0];
    pool_.push_back(w);
  }
  return true;
}

// Reads an ended run's CSV, which it wrote whole or not at all, then removes it.
bool SeedRuns::take(int index, int status, uint32_t first_seed,
                    std::vector<std::vector<DayFigures>>* rows, std::string* error) {
  const std::string path = csv_path(index);
  const std::string seed = std::to_string(first_seed + static_cast<uint32_t>(index));
  std::string text, why = "exit status " + std::to_string(status);
  const bool ok =
      status == 0 && read_regular_file(path, daily_csv_bytes(base_.max_days + 1LL), &text, &why);
  remove_with_temporaries(path);
  if (!ok) {
    *error = "the run with seed " + seed + " failed: " + why;
    return false;
  }
  const long long lines = std::count(text.begin(), text.end(), '\n') - 1;
  std::vector<DayFigures>& mine = (*rows)[static_cast<std::size_t>(index)];
  if (read_daily_csv(
          text, lines, [&mine](const DailyRow& r) { mine.push_back(r.figures); }, &why))
    return true;
  *error = path + ":" + why;
  return false;
}

// Takes the whole reply lines a worker has sent.
bool SeedRuns::collect(Worker& w, uint32_t first_seed, std::vector<std::vector<DayFigures>>* rows,
                       int* ended, std::string* error) {
  char buffer[256];
  const ssize_t n = read(w.fd, buffer, sizeof buffer);
  if (n <= 0) {
    *error = "a run's worker ended unasked";
    return false;
  }
  w.pending.append(buffer, static_cast<std::size_t>(n));
  for (std::size_t end; (end = w.pending.find('\n')) != std::string::npos;) {
    const std::vector<std::string> reply = split(w.pending.substr(0, end), ' ');
    w.pending.erase(0, end + 1);
    const int index = reply.size() == 2 ? std::atoi(reply[0].c_str()) : -1;
    if (index < 0 || index >= static_cast<int>(rows->size())) {
      *error = "a run's worker answered out of turn";
      return false;
    }
    w.busy = false;
    ++*ended;
    if (!take(index, std::atoi(reply[1].c_str()), first_seed, rows, error))
      return false;
  }
  return true;
}

bool SeedRuns::stop(std::string* error) {
  end_workers();
  if (const int sig = workers_->stop_signal())
    *error = std::string("stopped by ") + (sig == SIGINT ? "SIGINT" : "SIGTERM");
  return false;
}

bool SeedRuns::run(const RunWords& words, uint32_t first_seed, int count,
                   std::vector<std::vector<DayFigures>>* rows, std::string* error) {
  rows->assign(static_cast<std::size_t>(count), {});
  if (!start_workers(error))
    return stop(error);
  std::string options;
  for (const auto& [name, value] : words)
    options += "\t" + name + "=" + value;
  int next = 0, ended = 0;
  while (ended < count) {
    for (Worker& w : pool_)
      if (!w.busy && next < count) {
        // Unsigned arithmetic wraps modulo 2^32, as an ensemble's seeds do.
        const uint32_t seed = first_seed + static_cast<uint32_t>(next);
        if (!write_all(w.fd,
                       std::to_string(next++) + "\t" + std::to_string(seed) + options + "\n")) {
          *error = "a run's worker ended unasked";
          return stop(error);
        }
        w.busy = true;
      }
    std::vector<pollfd> fds;
    for (const Worker& w : pool_)
      fds.push_back({w.fd, POLLIN, 0});
    poll(fds.data(), fds.size(), kPollMs);
    std::vector<Workers::End> gone;
    if (workers_->wait(0, &gone) != 0)
      return stop(error);
    if (!gone.empty()) {
      *error = "a run's worker ended: " + gone[0].why;
      return stop(error);
    }
    for (std::size_t i = 0; i < pool_.size(); ++i)
      if (fds[i].revents != 0 && !collect(pool_[i], first_seed, rows, &ended, error))
        return stop(error);
  }
  return true;
}
