// SPDX-License-Identifier: MIT
#include "app/start_arguments.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sim/world.h"

namespace {

const char kUsage[] =
    "Usage: epidemic_sim [POPULATION [INACTIVITY]]\n"
    "Starts the epidemic simulator. POPULATION (365000) and INACTIVITY, in percent, only set\n"
    "start-up values: every run reads its values from the control panel.\n"
    "  -h, --help     this text\n"
    "  --version      the program's name and version\n";

// A number keeps its old reading (atoi), a negative one included; anything else that starts
// with a dash is an option.
bool is_option(const char* arg) {
  return arg[0] == '-' && !std::isdigit(static_cast<unsigned char>(arg[1]));
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

int read_start_arguments(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h"))
      return print(kUsage);
    if (!std::strcmp(arg, "--version"))
      return print("epidemic_sim " EPI_VERSION "\n");
    if (is_option(arg)) {
      // Only the first line of whatever was typed: the message stays on one line.
      std::fprintf(stderr, "epidemic_sim: unknown option %.*s (see --help)\n",
                   static_cast<int>(std::strcspn(arg, "\r\n")), arg);
      return 2;
    }
  }
  if (argc > 1)
    init_pop = std::atoi(argv[1]);
  if (argc > 2)
    sit_still = std::atoi(argv[2]);
  return -1;
}
