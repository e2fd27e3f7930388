// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "ensemble/plan.h"

// manifest.txt: what --merge needs to know of an ensemble, as data only. One record per line,
// its fields separated by tabs, with backslash, tab and control characters escaped:
//   epidemic_batch-manifest  2
//   command  WORD  WORD ...      the command that made DIR, for the reader
//   seed  S
//   runs  N
//   plot  SERIES,...             --plot, when given
//   plot-days  N                 --plot-days, when given
//   fixed  --NAME  VALUE         a run option every run is given
//   varied  NAME                 in the order of the columns
//   point  VALUE  VALUE ...      one per point, in point order
//   digest  HEX                  of every line above, so that an edit shows

// Writes DIR/manifest.txt whole or not at all.
bool write_manifest(const Plan& plan, const std::string& command, std::string* error);

// Reads DIR/manifest.txt into *plan; plan->dir becomes `dir` and plan->program stays empty.
// Only a manifest as write_manifest writes it passes: each line as the writer makes it, every
// line but the command as the command gives it, and the digest of them all. False with
// "PATH:LINE: REASON" otherwise.
bool read_manifest(const std::string& dir, Plan* plan, std::string* error);
