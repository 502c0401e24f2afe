#pragma once

namespace sshsum {

// The whole program: the fixed sequence of stages, run once. Returns the
// exit status of a complete run (a failing stage ends the process itself).
int run_program();

} // namespace sshsum
