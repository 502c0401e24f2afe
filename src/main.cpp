#include "run/run_sequence.hpp"

int main() { return sshsum::run_program(); }
