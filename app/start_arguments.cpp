// SPDX-License-Identifier: MIT
#include "app/start_arguments.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "sim/world.h"
#include "text/quoted_text.h"

namespace {

const char kUsage[] =
    "Usage: epidemic_sim [POPULATION [INACTIVITY]] [FILE]\n"
    "Starts the epidemic simulator. POPULATION (365000) and INACTIVITY, in percent, only set\n"
    "start-up values: every run reads its values from the control panel.\n"
    "FILE, a setup file, fills the control panel; a seed it holds seeds the first run.\n"
    "  -h, --help     this text\n"
    "  --version      the program's name and version\n";
const char kVersion[] = "epidemic_sim " EPI_VERSION "\n";

// A number keeps its old reading (atoi), a negative one included; anything else that starts
// with a dash is an option.
bool is_option(const char* arg) {
  return arg[0] == '-' && !std::isdigit(static_cast<unsigned char>(arg[1]));
}

// An optional sign, then digits only: read with atoi, as ever. Anything else but an option names
// a setup file.
bool is_number(const char* arg) {
  const char* digits = arg + (arg[0] == '-' || arg[0] == '+');
  return *digits != '\0' && std::strspn(digits, "0123456789") == std::strlen(digits);
}

// --help's or --version's text, or nullptr for any other argument.
const char* text_asked(const char* arg) {
  if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h"))
    return kUsage;
  return !std::strcmp(arg, "--version") ? kVersion : nullptr;
}

// The first two numbers set the start-up population and inactivity percent; a third is ignored.
void store_numbers(int argc, char** argv) {
  int numbers = 0;
  for (int i = 1; i < argc; ++i) {
    if (!is_number(argv[i]))
      continue;
    if (numbers == 0)
      init_pop = std::atoi(argv[i]);
    else if (numbers == 1)
      sit_still = std::atoi(argv[i]);
    ++numbers;
  }
}

} // namespace

// Every message quotes what was typed or read through quoted(), so it is one visible line as
// epidemic_batch prints it.
bool read_start_arguments(int argc, char** argv, StartArguments* start, std::string* error) {
  const char* file = nullptr;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if ((start->text = text_asked(arg)))
      return true;
    if (is_option(arg)) {
      *error = "unknown option " + quoted(arg) + " (see --help)";
      return false;
    }
    if (!is_number(arg) && file) {
      *error =
          "one setup file at most: " + quoted(file, kWholePath) + " and " + quoted(arg, kWholePath);
      return false;
    }
    if (!is_number(arg))
      file = arg;
  }
  store_numbers(argc, argv);
  if (file && !read_setup(file, &start->setup, error))
    return false;
  start->has_setup = file != nullptr;
  return true;
}
