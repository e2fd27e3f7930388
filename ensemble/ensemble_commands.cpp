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
#include "single_run/standard_streams.h"

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

// False, with `message` as the failure's line.
bool fail(const std::string& message, EnsembleFailure* failure) {
  failure->message = message;
  return false;
}

// True when DIR may be used: it holds nothing yet, or --force says to use it all the same.
bool usable(const std::string& dir, bool force, EnsembleFailure* failure) {
  bool empty = false;
  if (!folder_is_empty(dir, &empty, &failure->message))
    return false;
  if (empty || force)
    return true;
  failure->bad_usage = true;
  return fail(dir + " is not empty (--force uses it all the same)", failure);
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

// Creates DIR, claims it and creates DIR/runs.
bool prepare_dir(const std::string& dir, bool force, FolderClaim* claim, EnsembleFailure* failure) {
  return claim_out_dir(dir, force, claim, failure) &&
         make_subfolder(dir + "/runs", &failure->message);
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

bool stopped_by(int sig, EnsembleFailure* failure) {
  failure->stop_signal = sig;
  return fail(std::string("stopped by ") + (sig == SIGINT ? "SIGINT" : "SIGTERM") +
                  "; no summary written",
              failure);
}

// Writes the summary of the merged runs; a stop signal that ended it is the failure, if one did.
bool finish(EnsembleMerge* merge, Workers* children, EnsembleFailure* failure) {
  std::string error;
  if (merge->finish(children, &error))
    return true;
  if (const int sig = children->stop_signal())
    return stopped_by(sig, failure);
  return fail(error, failure);
}

// Tops the workers up to `jobs`, in run order.
bool start_runs(const Plan& plan, int jobs, Workers* workers, long long* started,
                std::string* error) {
  for (; *started < plan.total() && workers->running() < jobs; ++*started) {
    const long long i = *started;
    const int point = plan.point_of(i), run = plan.run_of(i);
    // A run follows a link at its file names, as at any name its user gives; here they are
    // DIR's own, so whatever stands there goes first.
    for (const char* ext : {"csv", "txt"})
      unlink(plan.run_file(point, run, ext).c_str());
    if (!workers->start(plan.run_command(point, run), i, error))
      return false;
  }
  return true;
}

// Tells each failed run as it ends, then drops its files; true when all ended well.
bool note_ends(const Plan& plan, const std::vector<Workers::End>& ends, ProgressLine* progress,
               std::vector<char>* ok) {
  bool all_ok = true;
  for (const Workers::End& e : ends) {
    (*ok)[static_cast<size_t>(e.tag)] = e.ok;
    if (!e.ok) {
      progress->clear();
      report_error(run_name(plan, e.tag) + " failed: " + e.why);
      remove_run_files(plan, e.tag);
      all_ok = false;
    }
  }
  return all_ok;
}

// Starts the runs, at most `jobs` at once, and merges each as soon as every run before it is
// merged, so the output is the same whatever order the runs end in. A failed run stops the
// merging, not the runs: the others still leave their files for a later --merge. Each failed run
// is told as it ends, the failure that follows from it last.
bool run_all(const Plan& plan, const EnsembleOptions& o, EnsembleFailure* failure) {
  const long long total = plan.total();
  Workers workers;
  EnsembleMerge merge(plan, stdout);
  if (!merge.start(&failure->message))
    return false;
  ProgressLine progress(stderr, !o.quiet && isatty(2) == 1, total);
  std::vector<char> ok(static_cast<size_t>(total), 0);
  long long started = 0, merged = 0, ended = 0;
  bool failed = false;
  std::string error;
  while (ended < total) {
    if (!start_runs(plan, o.jobs, &workers, &started, &failure->message))
      return false;
    std::vector<Workers::End> ends;
    if (const int sig = workers.wait(progress.enabled() ? 100 : 1000, &ends)) {
      workers.stop_all();
      progress.clear();
      return stopped_by(sig, failure);
    }
    ended += static_cast<long long>(ends.size());
    failed = !note_ends(plan, ends, &progress, &ok) || failed;
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
    return stopped_by(sig, failure);
  if (failed)
    return fail("no summary written: rerun the failed runs' commands from --plan, then --merge",
                failure);
  return finish(&merge, &workers, failure);
}

// Names the first run files that are missing or no regular file, as they are found, then counts
// the rest: a folder may lack millions. The last line is the failure: the last file named, or
// the count of the rest.
bool check_run_files(const Plan& plan, Workers* stop_watch, EnsembleFailure* failure) {
  constexpr long long kNamed = 10;
  long long missing = 0;
  std::string error, last; // `last` is told once another line follows it
  std::vector<Workers::End> none;
  for (long long i = 0; i < plan.total(); ++i) {
    if (const int sig = stop_watch->wait(0, &none)) {
      if (!last.empty())
        report_error(last);
      return stopped_by(sig, failure);
    }
    for (const char* ext : {"csv", "txt"})
      if (!can_read_regular_file(plan.run_file(plan.point_of(i), plan.run_of(i), ext), &error) &&
          ++missing <= kNamed) {
        if (!last.empty())
          report_error(last);
        last = error;
      }
  }
  if (missing == 0)
    return true;
  if (missing <= kNamed)
    return fail(last, failure);
  report_error(last);
  return fail("and " + std::to_string(missing - kNamed) + " more run files missing or unreadable",
              failure);
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
  return write_setup(path, setup, error, AtomicFile::Links::kReplace);
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
    if (!write_setup(o.out + "/points/" + std::to_string(p) + ".toml", setup, error,
                     AtomicFile::Links::kReplace))
      return false;
  }
  return true;
}

} // namespace

// DIR is checked before the claim, so that a full folder is refused with nothing left in it, and
// again once claimed, since another program may have filled it meanwhile.
bool claim_out_dir(const std::string& dir, bool force, FolderClaim* claim,
                   EnsembleFailure* failure) {
  if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST)
    return fail("cannot create " + dir + ": " + std::strerror(errno), failure);
  return usable(dir, force, failure) && claim->take(dir, &failure->message) &&
         usable(dir, force, failure);
}

bool merge_ensemble(const std::string& dir, EnsembleFailure* failure) {
  Plan plan;
  FolderClaim claim;
  if (!read_manifest(dir, &plan, &failure->message) || !claim.take(dir, &failure->message))
    return false;
  // No worker runs here; the object only holds SIGINT and SIGTERM until a run is merged whole.
  Workers stop_watch;
  if (!check_run_files(plan, &stop_watch, failure))
    return false;
  EnsembleMerge merge(plan, stdout);
  if (!merge.start(&failure->message))
    return false;
  std::vector<Workers::End> none;
  for (long long i = 0; i < plan.total(); ++i) {
    if (const int sig = stop_watch.wait(0, &none))
      return stopped_by(sig, failure);
    if (!merge.add_run(i, &failure->message))
      return false;
  }
  return finish(&merge, &stop_watch, failure);
}

bool run_ensemble(const EnsembleOptions& o, const std::vector<std::string>& command,
                  EnsembleFailure* failure) {
  FolderClaim claim;
  if (!prepare_dir(o.out, o.force, &claim, failure))
    return false;
  const Plan plan = make_plan(o);
  std::string* error = &failure->message;
  if (!write_manifest(plan, shell_line(command), error) || !write_dir_setup(o, error) ||
      !write_point_setups(o, plan, error))
    return false;
  if (!o.plan)
    return run_all(plan, o, failure);
  for (long long i = 0; i < plan.total(); ++i)
    std::printf("%s\n", shell_line(plan.run_command(plan.point_of(i), plan.run_of(i))).c_str());
  return true;
}
