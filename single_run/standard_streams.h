// SPDX-License-Identifier: MIT
#pragma once
#include <string>

// Puts /dev/null on any of descriptors 0, 1 and 2 that the program was started without, so that
// no file opened later takes their number and receives text meant for a terminal. Returns false
// when standard output was among them: the output would be lost.
bool claim_standard_streams();

// Flushes standard output. False, with "cannot write standard output: REASON" in *error, when
// any of it could not be written.
bool finish_standard_output(std::string* error);

// "epidemic_batch: MESSAGE" on stderr, on one line whatever the message holds.
void report_error(const std::string& message);
