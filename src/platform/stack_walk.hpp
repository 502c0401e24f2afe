#pragma once

// The stack walk of the calling thread on Linux, for the traceback of an
// error report.

#include <cstdint>
#include <string>
#include <vector>

namespace sshsum {

// One active call: the module that holds its code address and the address
// relative to that module's load address (what `addr2line -e MODULE`
// takes; absolute addresses change from run to run under address-space
// randomisation).
struct StackFrame {
  std::string module;     // file name of the module, without its folder
  std::uintptr_t address; // relative to the module's load address
};

struct StackWalk {
  std::vector<StackFrame> frames; // innermost first
  bool complete = false;          // reached the outermost frame
};

// The most frames one walk lists; a deeper stack ends the walk early.
inline constexpr int kMaxStackFrames = 256;

// Walks the stack of the calling thread, innermost call first, leaving out
// the walk's own frame and the `skip` frames of its callers. A code address
// that belongs to no known module is listed with the module "Unknown" and
// its absolute address.
StackWalk walk_stack(int skip);

// Makes the first walk ready (the unwinder is loaded on first use, which
// may allocate): called at start-up so that a walk made when memory has
// run out still works.
void prepare_stack_walk();

} // namespace sshsum
