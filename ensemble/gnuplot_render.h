// SPDX-License-Identifier: MIT
#pragma once
// A plot rendered by gnuplot from a script and data left in an output set's folder, so that a
// reader can restyle it and render it again. No shell ever sees the folder: gnuplot starts
// without one, in the set's folder as its working directory, and the script names its files
// relative to it.
#include <string>

#include "ensemble/workers.h"
#include "fileio/file_set.h"

// A gnuplot single-quoted string of `text` on one line: nothing inside is special but the quote,
// written twice, and control characters become spaces.
std::string gnuplot_quoted(const std::string& text);

// Runs "gnuplot SCRIPT" as one of `children` in the set's folder (its members closed first) and
// waits for it or for a stop signal, which ends it; then checks that it wrote `png` there whole,
// width x height. False with a one-line reason: gnuplot's own last line of stderr when it failed.
bool render_with_gnuplot(FileSet* set, Workers* children, const std::string& script,
                         const std::string& png, int width, int height, std::string* error);
