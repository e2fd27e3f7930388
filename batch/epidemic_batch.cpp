// SPDX-License-Identifier: MIT
// The headless batch runner's front: reads the command line once, then runs one epidemic, an
// ensemble of runs in worker processes, a plan, a merge or a fit.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "ensemble/ensemble_commands.h"
#include "ensemble/ensemble_options.h"
#include "fit/fit_command.h"
#include "single_run/single_run.h"
#include "single_run/standard_streams.h"

namespace {

int save_setup(const EnsembleOptions& o) {
  std::string error;
  if (write_setup(o.save_setup, described_setup(o), &error))
    return 0;
  report_error(error);
  return 1;
}

// Tells why an ensemble command failed and gives the exit status: 2 for a DIR that holds
// something, 128 + the signal that stopped it, otherwise 1.
int failure_status(const EnsembleFailure& failure) {
  report_error(failure.message);
  if (failure.stop_signal != 0)
    return 128 + failure.stop_signal;
  return failure.bad_usage ? 2 : 1;
}

// Returns the exit status: 2 for bad usage, otherwise the chosen run's.
int dispatch(int argc, char** argv) {
  const std::vector<std::string> command(argv, argv + argc);
  EnsembleOptions o;
  std::string error;
  if (!parse_ensemble_options(argc, argv, static_cast<uint32_t>(std::time(nullptr)),
                              online_processors(), &o, &error)) {
    report_error(error);
    return 2;
  }
  if (o.help || o.version) {
    std::fputs(o.help ? batch_usage().c_str() : kBatchVersionLine, stdout);
    return 0;
  }
  if (!o.save_setup.empty())
    return save_setup(o);
  EnsembleFailure failure;
  if (!o.merge.empty())
    return merge_ensemble(o.merge, &failure) ? 0 : failure_status(failure);
  if (!o.fit.empty())
    return run_fit(o, &failure) ? 0 : failure_status(failure);
  if (is_single_run(o))
    return run_single(o.single);
  return run_ensemble(o, command, &failure) ? 0 : failure_status(failure);
}

} // namespace

int main(int argc, char** argv) {
  if (!claim_standard_streams()) {
    report_error("cannot write standard output: Bad file descriptor");
    return 1;
  }
  const int status = dispatch(argc, argv);
  std::string error;
  if (!finish_standard_output(&error)) {
    report_error(error);
    return 1;
  }
  return status;
}
