#include "platform/stack_walk.hpp"

#include <dlfcn.h>
#include <execinfo.h>
#include <unistd.h>

namespace sshsum {

namespace {

// The file name of the running executable, for the main program's frames
// when the dynamic linker knows the module by no name.
std::string executable_name() {
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0)
    return "Unknown";
  return std::string(path, static_cast<std::size_t>(n));
}

std::string base_name(const std::string &path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

__attribute__((noinline)) StackWalk walk_stack(int skip) {
  void *addresses[kMaxStackFrames];
  // backtrace fills the return addresses of the active calls, innermost
  // first, starting with this function's own.
  const int count = ::backtrace(addresses, kMaxStackFrames);
  StackWalk walk;
  // A walk that filled every slot may have stopped before the outermost
  // frame; one that found no frame did not start.
  walk.complete = count > 0 && count < kMaxStackFrames;
  for (int i = 1 + skip; i < count; ++i) {
    const auto address = reinterpret_cast<std::uintptr_t>(addresses[i]);
    Dl_info info{};
    StackFrame frame;
    if (::dladdr(addresses[i], &info) != 0 && info.dli_fbase != nullptr) {
      const std::string path = info.dli_fname != nullptr && *info.dli_fname
                                   ? std::string(info.dli_fname)
                                   : executable_name();
      frame.module = base_name(path);
      frame.address =
          address - reinterpret_cast<std::uintptr_t>(info.dli_fbase);
    } else {
      frame.module = "Unknown";
      frame.address = address;
    }
    walk.frames.push_back(std::move(frame));
  }
  return walk;
}

void prepare_stack_walk() {
  void *addresses[1];
  ::backtrace(addresses, 1);
}

} // namespace sshsum
