// SPDX-License-Identifier: MIT
// An ensemble: every run in a process of its own, started as the very command line that --plan
// prints for it, so that a planned run and a direct one write the same bytes.
#include "ensemble/ensemble_commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "ensemble/ensemble_merge.h"
#include "ensemble/ensemble_options.h"
#include "ensemble/manifest.h"
#include "ensemble/plan.h"
#include "ensemble/progress_line.h"
#include "ensemble/workers.h"
#include "fileio/atomic_file.h"
#include "fileio/folder_claim.h"
#include "fileio/regular_file.h"
#include "tools/standard_streams.h"

int online_processors() {
  const long n = sysconf(_SC_NPROCESSORS_ONLN);
  return n < 1 ? 1 : n > 256 ? 256 : static_cast<int>(n);
}

namespace {

std::string absolute_path(const std::string& path) {
  char buf[PATH_MAX];
  if (path == "/proc/self/exe") {
    const ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : path;
  }
  return realpath(path.c_str(), buf) != nullptr ? std::string(buf) : path;
}

// Returns 0 when DIR may be used, or the exit status after a one-line message.
int usable(const std::string& dir, bool force) {
  bool empty = false;
  std::string error;
  if (!folder_is_empty(dir, &empty, &error)) {
    report_error(error);
    return 1;
  }
  if (!empty && !force) {
    report_error(dir + " is not empty (--force uses it all the same)");
    return 2;
  }
  return 0;
}

// Creates a folder of DIR's own, in place of whatever else stands at its name: a link would send
// every file in it elsewhere. False with a one-line message.
bool make_subfolder(const std::string& path, std::string* error) {
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
    unlink(path.c_str());
  if (mkdir(path.c_str(), 0777) == 0 || errno == EEXIST)
    return true;
  *error = "cannot create " + path + ": " + std::strerror(errno);
  return false;
}

// Creates DIR, claims it and creates DIR/runs. DIR is checked before the claim, so that a full
// folder is refused with nothing left in it, and again once claimed, since another ensemble may
// have filled it meanwhile. Returns 0, or the exit status after a one-line message.
int prepare_dir(const std::string& dir, bool force, FolderClaim* claim) {
  if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
    report_error("cannot create " + dir + ": " + std::strerror(errno));
    return 1;
  }
  if (const int status = usable(dir, force))
    return status;
  std::string error;
  if (!claim->take(dir, &error)) {
    report_error(error);
    return 1;
  }
  if (const int status = usable(dir, force))
    return status;
  if (make_subfolder(dir + "/runs", &error))
    return 0;
  report_error(error);
  return 1;
}

Plan make_plan(const EnsembleOptions& o) {
  Plan plan;
  plan.program = absolute_path("/proc/self/exe");
  plan.dir = absolute_path(o.out);
  plan.seed = o.seed;
  plan.runs = o.runs;
  plan.fixed = o.fixed;
  for (const VariedOption& v : o.varied)
    plan.varied_names.push_back(v.name);
  plan.points = cartesian_points(o.varied);
  plan.plot = o.plot;
  plan.plot_days = o.plot_days;
  return plan;
}

std::string run_name(const Plan& plan, long long index) {
  const int run = plan.run_of(index);
  return "run (" + std::to_string(plan.point_of(index)) + ", " + std::to_string(run) +
         ") with seed " + std::to_string(plan.seed_of(run));
}

// A worker killed outright cannot remove its unfinished files, and one that failed late may have
// written one run file and not the other; the parent removes both and their temporaries, so that
// a failed run leaves DIR/runs as a rerun of its command would find it.
void remove_run_files(const Plan& plan, long long index) {
  for (const char* ext : {"csv", "txt"})
    remove_with_temporaries(plan.run_file(plan.point_of(index), plan.run_of(index), ext));
}

int stopped_by(int sig) {
  report_error(std::string("stopped by ") + (sig == SIGINT ? "SIGINT" : "SIGTERM") +
               "; no summary written");
  return 128 + sig;
}

// The exit status of a merge whose finish failed: the stop signal's if one ended it.
int finish_failed(const Workers& children, const std::string& error) {
  if (const int sig = children.stop_signal())
    return stopped_by(sig);
  report_error(error);
  return 1;
}

// Tops the workers up to `jobs`, in run order.
bool start_runs(const Plan& plan, int jobs, Workers* workers, long long* started) {
  std::string error;
  for (; *started < plan.total() && workers->running() < jobs; ++*started) {
    const long long i = *started;
    const int point = plan.point_of(i), run = plan.run_of(i);
    // A run follows a link at its file names, as at any name its user gives; here they are
    // DIR's own, so whatever stands there goes first.
    for (const char* ext : {"csv", "txt"})
      unlink(plan.run_file(point, run, ext).c_str());
    if (!workers->start(plan.run_command(point, run), i, &error)) {
      report_error(error);
      return false;
    }
  }
  return true;
}

// Starts the runs, at most `jobs` at once, and merges each as soon as every run before it is
// merged, so the output is the same whatever order the runs end in. A failed run stops the
// merging, not the runs: the others still leave their files for a later --merge.
int run_all(const Plan& plan, const EnsembleOptions& o) {
  const long long total = plan.total();
  Workers workers;
  EnsembleMerge merge(plan, stdout);
  std::string error;
  if (!merge.open(&error)) {
    report_error(error);
    return 1;
  }
  ProgressLine progress(stderr, !o.quiet && isatty(2) == 1, total);
  std::vector<char> ok(static_cast<size_t>(total), 0);
  long long started = 0, merged = 0, ended = 0;
  bool failed = false;
  while (ended < total) {
    if (!start_runs(plan, o.jobs, &workers, &started))
      return 1;
    std::vector<Workers::End> ends;
    if (const int sig = workers.wait(progress.enabled() ? 100 : 1000, &ends)) {
      workers.stop_all();
      progress.clear();
      return stopped_by(sig);
    }
    for (const Workers::End& e : ends) {
      ++ended;
      ok[static_cast<size_t>(e.tag)] = e.ok;
      if (!e.ok) {
        progress.clear();
        report_error(run_name(plan, e.tag) + " failed: " + e.why);
        remove_run_files(plan, e.tag);
        failed = true;
      }
    }
    for (; !failed && merged < total && ok[static_cast<size_t>(merged)]; ++merged)
      if (!merge.add_run(merged, &error)) {
        report_error(error);
        failed = true;
      }
    progress.update(ended);
  }
  progress.clear();
  std::vector<Workers::End> none;
  if (const int sig = workers.wait(0, &none))
    return stopped_by(sig);
  if (failed) {
    report_error("no summary written: rerun the failed runs' commands from --plan, then --merge");
    return 1;
  }
  return merge.finish(&workers, &error) ? 0 : finish_failed(workers, error);
}

// Names the first run files that are missing or no regular file, as they are found, then counts
// the rest: a folder may lack millions. Returns the exit status, 0 when all are there.
int check_run_files(const Plan& plan, Workers* stop_watch) {
  constexpr long long kNamed = 10;
  long long missing = 0;
  std::string error;
  std::vector<Workers::End> none;
  for (long long i = 0; i < plan.total(); ++i) {
    if (const int sig = stop_watch->wait(0, &none))
      return stopped_by(sig);
    for (const char* ext : {"csv", "txt"})
      if (!can_read_regular_file(plan.run_file(plan.point_of(i), plan.run_of(i), ext), &error) &&
          ++missing <= kNamed)
        report_error(error);
  }
  if (missing > kNamed)
    report_error("and " + std::to_string(missing - kNamed) +
                 " more run files missing or unreadable");
  return missing > 0 ? 1 : 0;
}

// The setup's text without the swept keys in [run], which a comment on top names instead: the
// ensemble has no one value of theirs (a reader takes the panel's first value, as for any key
// left out), and points/ holds each point's.
std::string swept_setup_text(const Setup& setup, const std::vector<VariedOption>& varied) {
  std::string text = setup_text(setup), names;
  const size_t run = text.find("\n[run]\n");
  for (const VariedOption& v : varied) {
    names += (names.empty() ? "" : ", ") + v.name;
    const size_t at = text.find("\n" + v.name + " = ", run);
    if (run != std::string::npos && at != std::string::npos && at < text.find("\n[", run + 1))
      text.erase(at + 1, text.find('\n', at + 1) - at);
  }
  return "# swept, see points/: " + names + "\n" + text;
}

// A write error is met again, with its reason, by the commit.
bool write_text(const std::string& path, const std::string& text, std::string* error) {
  AtomicFile file(path, AtomicFile::Links::kReplace);
  if (!file.open(error))
    return false;
  std::fputs(text.c_str(), file.stream());
  return file.commit(error);
}

// DIR/setup.toml: the values every run starts from, ready to open in the simulator. Nothing reads
// it again; the manifest holds what the runs and a merge need.
bool write_dir_setup(const EnsembleOptions& o, std::string* error) {
  Setup setup = described_setup(o);
  setup.has_seed = true;
  const std::string path = o.out + "/setup.toml";
  if (!o.varied.empty())
    return write_text(path, swept_setup_text(setup, o.varied), error);
  *error = write_setup(path, setup, AtomicFile::Links::kReplace);
  return error->empty();
}

// DIR/points/P.toml: point P's whole setup, seeded as its run 0, so that the simulator opens
// the point and a single run of it reproduces that run.
bool write_point_setups(const EnsembleOptions& o, const Plan& plan, std::string* error) {
  if (!make_subfolder(o.out + "/points", error))
    return false;
  for (size_t p = 0; p < plan.points.size(); ++p) {
    BatchOptions point = o.single;
    std::string checked; // every varied value was checked as the option was read
    for (size_t v = 0; v < plan.varied_names.size(); ++v)
      take_run_option(plan.varied_names[v], plan.points[p][v], &point, &checked);
    Setup setup = described_setup(o);
    setup.params = point.params;
    setup.has_seed = true;
    setup.seed = plan.seed_of(0);
    *error = write_setup(o.out + "/points/" + std::to_string(p) + ".toml", setup,
                         AtomicFile::Links::kReplace);
    if (!error->empty())
      return false;
  }
  return true;
}

} // namespace

int merge_ensemble(const std::string& dir) {
  Plan plan;
  std::string error;
  if (!read_manifest(dir, &plan, &error)) {
    report_error(error);
    return 1;
  }
  FolderClaim claim;
  if (!claim.take(dir, &error)) {
    report_error(error);
    return 1;
  }
  // No worker runs here; the object only holds SIGINT and SIGTERM until a run is merged whole.
  Workers stop_watch;
  if (const int status = check_run_files(plan, &stop_watch))
    return status;
  EnsembleMerge merge(plan, stdout);
  if (!merge.open(&error)) {
    report_error(error);
    return 1;
  }
  std::vector<Workers::End> none;
  for (long long i = 0; i < plan.total(); ++i) {
    if (const int sig = stop_watch.wait(0, &none))
      return stopped_by(sig);
    if (!merge.add_run(i, &error)) {
      report_error(error);
      return 1;
    }
  }
  return merge.finish(&stop_watch, &error) ? 0 : finish_failed(stop_watch, error);
}

int run_ensemble(const EnsembleOptions& o, const std::vector<std::string>& command) {
  FolderClaim claim;
  if (const int status = prepare_dir(o.out, o.force, &claim))
    return status;
  const Plan plan = make_plan(o);
  std::string error;
  if (!write_manifest(plan, shell_line(command), &error) || !write_dir_setup(o, &error) ||
      !write_point_setups(o, plan, &error)) {
    report_error(error);
    return 1;
  }
  if (!o.plan)
    return run_all(plan, o);
  for (long long i = 0; i < plan.total(); ++i)
    std::printf("%s\n", shell_line(plan.run_command(plan.point_of(i), plan.run_of(i))).c_str());
  return 0;
}
