// The first way: ioperm() for the ports of a transfer, then the processor's in and out
// instructions. An I/O instruction without the kernel's permission kills the process with SIGSEGV,
// even as root, so none is executed unless ioperm() granted every port it touches. Processors
// without I/O instructions have no such way.

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

// Whether ioperm() has granted this process any port.
bool granted = false;

bool grant(std::uint16_t port, unsigned count) {
  if (ioperm(port, count, 1) != 0) return false;
  granted = true;
  return true;
}

}  // namespace

const Way* instructions_to(std::uint16_t port) { return grant(port, 1) ? &kInstructions : nullptr; }

bool wide_instructions_to(std::uint16_t port, unsigned width) { return grant(port, width); }

void write_wide(std::uint16_t port, unsigned width, std::uint32_t value) {
  if (width == 2) {
    outw(static_cast<std::uint16_t>(value), port);
  } else {
    outl(value, port);
  }
}

std::uint32_t read_wide(std::uint16_t port, unsigned width) {
  return width == 2 ? inw(port) : inl(port);
}

// Asking for port 0 and giving it back again touches no port.
bool instructions_open() {
  if (granted) return true;
  if (ioperm(0, 1, 1) != 0) return false;
  ioperm(0, 1, 0);
  return true;
}

}  // namespace port_access

#else

namespace port_access {

const Way* instructions_to(std::uint16_t) {
  errno = ENOSYS;
  return nullptr;
}

bool wide_instructions_to(std::uint16_t, unsigned) {
  errno = ENOSYS;
  return false;
}

void write_wide(std::uint16_t, unsigned, std::uint32_t) {}

std::uint32_t read_wide(std::uint16_t, unsigned) { return 0; }

bool instructions_open() { return false; }

}  // namespace port_access

#endif
