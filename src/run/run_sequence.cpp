#include "run/run_sequence.hpp"

#include <cstdio>

namespace sshsum {

int run_program() {
  std::fputs("sshsum: the run sequence is being built; no stage runs yet.\n",
             stderr);
  return 1;
}

} // namespace sshsum
