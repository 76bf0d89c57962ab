// The first way: ioperm() for the one port, then the processor's in and out instructions. An I/O
// instruction without the kernel's permission kills the process with SIGSEGV, even as root, so none
// is executed unless ioperm() granted that port. Processors without I/O instructions have no such
// way.

#include <cerrno>

#include "ways.hpp"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>

namespace port_access {
namespace {

class Instructions final : public Way {
 public:
  void write(std::uint16_t port, std::uint8_t byte) const override { outb(byte, port); }
  std::uint8_t read(std::uint16_t port) const override { return inb(port); }
};

constexpr Instructions kInstructions;

}  // namespace

const Way* instructions_to(std::uint16_t port) {
  return ioperm(port, 1, 1) == 0 ? &kInstructions : nullptr;
}

}  // namespace port_access

#else

namespace port_access {

const Way* instructions_to(std::uint16_t) {
  errno = ENOSYS;
  return nullptr;
}

}  // namespace port_access

#endif
