// SPDX-License-Identifier: MIT
// The headless batch runner's front: one run, or an ensemble of runs in worker processes.
#include <string>

#include "ensemble/ensemble_main.h"
#include "ensemble/ensemble_options.h"
#include "tools/single_run.h"
#include "tools/standard_streams.h"

int main(int argc, char** argv) {
  if (!claim_standard_streams()) {
    report_error("cannot write standard output: Bad file descriptor");
    return 1;
  }
  const int status =
      names_ensemble_option(argc, argv) ? ensemble_main(argc, argv) : single_main(argc, argv);
  std::string error;
  if (!finish_standard_output(&error)) {
    report_error(error);
    return 1;
  }
  return status;
}
