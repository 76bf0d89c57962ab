// failing-ioctl: preloaded into the tool, makes the one ioctl() request that FAILING_IOCTL names
// (PPCLAIM, PPWDATA or PPRDATA) fail with EIO, as the kernel's driver does when the port goes
// away: the library must say so and end the run, never report a transfer that did not happen.
// Every other request goes through.

#include <dlfcn.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

unsigned long failing_request() {
  const char* name = std::getenv("FAILING_IOCTL");
  if (name == nullptr) return 0;
  if (std::strcmp(name, "PPCLAIM") == 0) return PPCLAIM;
  if (std::strcmp(name, "PPWDATA") == 0) return PPWDATA;
  if (std::strcmp(name, "PPRDATA") == 0) return PPRDATA;
  return 0;
}

}  // namespace

extern "C" int ioctl(int descriptor, unsigned long request, ...) {
  va_list arguments;
  va_start(arguments, request);
  void* argument = va_arg(arguments, void*);
  va_end(arguments);
  if (request == failing_request()) {
    errno = EIO;
    return -1;
  }
  using Ioctl = int (*)(int, unsigned long, ...);
  static const auto next = reinterpret_cast<Ioctl>(dlsym(RTLD_NEXT, "ioctl"));
  return next(descriptor, request, argument);
}
