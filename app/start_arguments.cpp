// SPDX-License-Identifier: MIT
#include "app/start_arguments.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <string>

#include "setup/setup_file.h"
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

// Every message quotes what was typed or read through quoted(), so it is one visible line as
// epidemic_batch prints it.
int refuse(const std::string& message) {
  std::fprintf(stderr, "epidemic_sim: %s\n", message.c_str());
  return 2;
}

int print(const char* text) {
  errno = 0;
  if (std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0)
    return 0;
  std::fprintf(stderr, "epidemic_sim: cannot write standard output: %s\n",
               std::strerror(errno != 0 ? errno : EIO));
  return 1;
}

} // namespace

int read_start_arguments(int argc, char** argv, Setup* setup, bool* has_setup) {
  *has_setup = false;
  const char* file = nullptr;
  int numbers = 0;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h"))
      return print(kUsage);
    if (!std::strcmp(arg, "--version"))
      return print("epidemic_sim " EPI_VERSION "\n");
    if (is_option(arg))
      return refuse("unknown option " + quoted(arg) + " (see --help)");
    if (!is_number(arg) && file)
      return refuse("one setup file at most: " + quoted(file, kWholePath) + " and " +
                    quoted(arg, kWholePath));
    if (!is_number(arg))
      file = arg;
  }
  for (int i = 1; i < argc; ++i) {
    if (!is_number(argv[i]))
      continue;
    if (numbers == 0)
      init_pop = std::atoi(argv[i]);
    else if (numbers == 1)
      sit_still = std::atoi(argv[i]);
    ++numbers;
  }
  if (file) {
    std::string error;
    if (!read_setup(file, setup, &error))
      return refuse(error);
    *has_setup = true;
  }
  return -1;
}
