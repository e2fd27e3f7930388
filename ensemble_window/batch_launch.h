// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// Where an ensemble started from the window goes, and the command that makes it.

// $XDG_DATA_HOME/epidemic-sim/ensembles, or ~/.local/share/epidemic-sim/ensembles when
// XDG_DATA_HOME is unset, empty or relative (as the XDG base directory rules say).
std::string ensembles_folder();

// Creates the folders of `path` that are missing (as mkdir -p, each private as the XDG rules
// ask). False with "cannot create PATH: REASON" in *error.
bool make_folders(const std::string& path, std::string* error);

// Creates a new folder in `parent` named by the local date and time of `when`
// ("2026-12-07_20-15-03"; "-2", "-3", ... appended when that name is taken). Its path in *made,
// or false with "cannot create PATH: REASON" in *error.
bool make_dated_folder(const std::string& parent, std::time_t when, std::string* made,
                       std::string* error);

// The batch runner of this installation: epidemic_batch in the folder of the running program.
std::string installed_batch_runner();

// What the window asks of the batch runner.
struct EnsembleRequest {
  std::string runner; // the program's path
  std::string setup;  // the setup file, written from the panel
  std::string out;    // the new folder
  int runs = 20;
  int jobs = 1;
  std::string vary;   // a run parameter's name, or empty for none
  std::string values; // its LIST as --vary takes it
};
std::vector<std::string> batch_command(const EnsembleRequest& request);
