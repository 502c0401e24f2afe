// Minimal error path; the full report (message table, traceback, environment
// switches) replaces it.
#include "io/errors.hpp"

#include "io/units.hpp"

#include <cstdio>
#include <cstdlib>

namespace sshsum {

void raise_io_error(const UnitRecord &unit, int number) {
  std::fprintf(stderr, "forrtl: severe (%d): unit %d, file %s\n", number,
               unit.number, unit.file_name.c_str());
  std::_Exit(number);
}

void raise_error(int number) {
  std::fprintf(stderr, "forrtl: severe (%d)\n", number);
  std::_Exit(number);
}

int finish_run() { return 0; }

void add_termination_hook(void (*)()) {}

} // namespace sshsum
